@echo off
rem Checks the outside items that Orvane relies on to render scores: Python 3.6 or
rem later and the note samples wav\0.wav to wav\7.wav, and says plainly what is missing.
rem Exit code 0 when everything is in place, 1 otherwise.
setlocal
cd /d "%~dp0"
set PROBLEMS=0

py -3 -c "import sys; sys.exit(sys.version_info < (3, 6))" >nul 2>&1
if not errorlevel 1 goto python_found
python -c "import sys; sys.exit(sys.version_info < (3, 6))" >nul 2>&1
if not errorlevel 1 goto python_found
if exist Z:\usr\bin\python3 goto python_found
echo MISSING: Python 3.6 or later. Orvane needs it to render scores to WAV files.
echo          Install it with python.exe in this folder (or from python.org).
set PROBLEMS=1
goto samples
:python_found
echo Python 3.6 or later: found.

:samples
rem One command after each test: cmd under Wine runs the rest of a bracketed block anyway.
for %%n in (0 1 2 3 4 5 6 7) do if not exist wav\%%n.wav echo MISSING: note sample wav\%%n.wav. Reinstall Orvane.
for %%n in (0 1 2 3 4 5 6 7) do if not exist wav\%%n.wav set PROBLEMS=1
if not exist outputWAV.bat echo MISSING: outputWAV.bat, which renders scores. Reinstall Orvane.
if not exist outputWAV.bat set PROBLEMS=1
if %PROBLEMS%==0 echo Note samples and outputWAV.bat: found. Everything Orvane needs is in place.
if %PROBLEMS%==1 pause
exit /b %PROBLEMS%
