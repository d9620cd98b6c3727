@echo off
rem Runs the OrvaneX melody model, which writes a new score into output\output.sop
rem beside this file. Orvane starts it without arguments and reads the score about
rem three seconds later. ORVANEX_SEED, when set, makes the piece repeatable.
rem With the mode "continue" the model writes instead what follows the score that
rem the editor left in output\context.sop (the notes before its caret).
setlocal
set "ORVANEX=%~dp0OrvaneX\OrvaneX.exe"
if not exist "%ORVANEX%" goto missing
if "%~1"=="" goto compose
if /i "%~1"=="continue" goto continue
echo Ai.bat: unknown mode "%~1" (none, or continue).
goto failed

:continue
"%ORVANEX%" --continue "%~dp0output\context.sop"
goto done

:compose
"%ORVANEX%"
:done
rem Orvane starts this file without a window and tells the user when no new score
rem comes, so a failure only sets the exit code: a pause would wait unseen forever.
if errorlevel 1 goto failed
goto end

:missing
echo 未找到 OrvaneX\OrvaneX.exe，无法创作。请重新安装奥文Orvane。
echo OrvaneX\OrvaneX.exe was not found, so nothing was composed. Reinstall Orvane.
:failed
endlocal
exit /b 1

:end
endlocal
