@echo off
rem Runs the OrvaneX melody model, which writes a new score into output\output.sop
rem beside this file. Orvane starts it without arguments and reads the score about
rem three seconds later. ORVANEX_SEED, when set, makes the piece repeatable.
setlocal
set "ORVANEX=%~dp0OrvaneX\OrvaneX.exe"
if not exist "%ORVANEX%" goto missing
"%ORVANEX%"
rem The model has said what went wrong: keep the window open for the reader.
if errorlevel 1 goto failed
goto end

:missing
echo 未找到 OrvaneX\OrvaneX.exe，无法创作。请重新安装奥文Orvane。
echo OrvaneX\OrvaneX.exe was not found, so nothing was composed. Reinstall Orvane.
:failed
pause
endlocal
exit /b 1

:end
endlocal
