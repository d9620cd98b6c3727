@echo off
rem Renders a score: runs Python 3.6 or later on the joining script wav\wav.py inside
rem the folder wav, which holds the note samples 0.wav to 7.wav that the script names.
rem Exit codes, read by the editor: 0 the script ran, 2 no Python 3.6 or later,
rem 3 the script or a note sample is missing, anything else the script failed.
setlocal
if not exist "%~dp0wav\*" goto no_folder
cd /d "%~dp0wav"
if not exist wav.py goto no_script
rem (One command after each test: cmd under Wine runs the rest of a bracketed block anyway.)
for %%n in (0 1 2 3 4 5 6 7) do if not exist %%n.wav echo Note sample wav\%%n.wav is missing.
for %%n in (0 1 2 3 4 5 6 7) do if not exist %%n.wav goto no_samples

rem On Windows: the Python launcher, then python on PATH.
py -3 -c "import sys; sys.exit(sys.version_info < (3, 6))" >nul 2>&1
if not errorlevel 1 goto run_launcher
python -c "import sys; sys.exit(sys.version_info < (3, 6))" >nul 2>&1
if not errorlevel 1 goto run_python
rem Under Wine there is no Windows Python, but the host has one.
if exist Z:\usr\bin\python3 goto run_host
goto no_python

:run_launcher
py -3 wav.py
if errorlevel 1 exit /b 4
exit /b 0

:run_python
python wav.py
if errorlevel 1 exit /b 4
exit /b 0

:run_host
rem The host program runs apart from this batch file (start cannot wait for it):
rem run_on_host.py leaves wine_done.txt with its exit status when it ends.
del wine_done.txt >nul 2>&1
set "ORVANE_WAV=%CD%"
start /unix /usr/bin/python3 -c "import os;p=os.environ['ORVANE_WAV'];os.chdir(os.path.join(os.path.realpath(os.path.join(os.environ.get('WINEPREFIX') or os.path.expanduser('~/.wine'),'dosdevices',p[:2].lower())),p[3:].replace(chr(92),'/')));exec(open('run_on_host.py').read())"
set WAITED=0
:wait_host
if exist wine_done.txt goto host_done
set /a WAITED+=1
if %WAITED% gtr 300 goto host_timeout
ping -n 2 127.0.0.1 >nul
goto wait_host
:host_done
set /p STATUS=<wine_done.txt
del wine_done.txt >nul 2>&1
exit /b %STATUS%
:host_timeout
echo Python did not finish wav\wav.py within five minutes.
exit /b 4

:no_folder
echo The folder wav, with the note samples, is missing from %~dp0
exit /b 3
:no_script
echo The joining script wav\wav.py is missing: render the score from the editor.
exit /b 3
:no_samples
echo Reinstall Orvane to get the note samples back.
exit /b 3
:no_python
echo Python 3.6 or later is missing. Install it (python.exe in the program folder is its
echo installer, or see python.org), then render the score again.
exit /b 2
