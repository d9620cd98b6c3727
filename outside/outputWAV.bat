@echo off
rem Renders a score: the joining script wav\wav.py, which the editor has just written,
rem becomes a WAV file in C:\Orvane\OutputWAV. Where Python 3.6 or later is installed it
rem runs the script (the launcher py -3, then python); otherwise our own joiner
rem wav\wavjoin.exe writes the same file. The exit code is the one of what ran: Python
rem 0 or 1 (the script failed); wavjoin 0 written, 3 the script or a sample is missing,
rem 4 one of them cannot be read, 5 the output cannot be written. 3 also when the wav
rem folder or the joiner is missing.
setlocal
if not exist "%~dp0wav\*" goto no_folder
cd /d "%~dp0wav"

rem Asking for the version also rules out the store's placeholder python: given
rem arguments, it only says how to get Python from the store and exits with 9009.
py -3 -c "import sys; sys.exit(sys.version_info < (3, 6))" >nul 2>&1
if not errorlevel 1 goto run_launcher
python -c "import sys; sys.exit(sys.version_info < (3, 6))" >nul 2>&1
if not errorlevel 1 goto run_python
if not exist "%~dp0wav\wavjoin.exe" goto no_joiner
"%~dp0wav\wavjoin.exe"
exit /b %errorlevel%

:run_launcher
py -3 wav.py
exit /b %errorlevel%

:run_python
python wav.py
exit /b %errorlevel%

:no_folder
echo 缺少存放音符采样的文件夹 wav，它应在 %~dp0 中。
echo The folder wav, with the note samples, is missing from %~dp0
exit /b 3
:no_joiner
echo 既没有Python 3.6或更高的版本，也没有合成程序 wav\wavjoin.exe，请重新安装奥文Orvane。
echo Neither Python 3.6 or later nor the joiner wav\wavjoin.exe is there. Reinstall Orvane.
exit /b 3
