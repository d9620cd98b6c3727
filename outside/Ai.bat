@echo off
rem Runs the OrvaneX melody model, which writes a new score into output\output.sop
rem beside this file. Orvane starts it without arguments and reads the score about
rem three seconds later. ORVANEX_SEED, when set, makes the piece repeatable.
setlocal
set "ORVANEX=%~dp0OrvaneX\orvanex.py"

rem Under Wine there is no Windows Python: the host's python3 runs the model.
if exist "%windir%\system32\winepath.exe" goto wine

where py >nul 2>nul
if errorlevel 1 goto python
py -3 "%ORVANEX%"
goto end

:python
where python >nul 2>nul
if errorlevel 1 goto missing
python "%ORVANEX%"
rem 9009: the command is only the store's placeholder for Python.
if errorlevel 9009 goto missing
goto end

:wine
if not exist "Z:\usr\bin\python3" goto missing
rem The host's python3 takes a quoted argument with spaces with its quotes and starts
rem in a folder of its own, so the model is found from this folder's Windows path,
rem through the folders Wine keeps for its drives, by code without spaces.
set "ORVANEX_HOME=%~dp0."
start /wait /unix /usr/bin/python3 -c "o=__import__('os');h=o.environ['ORVANEX_HOME'];p=o.environ.get('WINEPREFIX')or(o.path.expanduser('~/.wine'));o.chdir(o.path.join(o.path.realpath(o.path.join(p,'dosdevices',h[:2].lower())),*h[3:].split(chr(92))));__import__('runpy').run_path('OrvaneX/orvanex.py',run_name='__main__')"
goto end

:missing
echo 未找到 Python，OrvaneX 无法作曲。请先安装 Python 3，再试一次。
echo Python was not found, so OrvaneX cannot compose. Install Python 3 and try again.
pause
:end
endlocal
