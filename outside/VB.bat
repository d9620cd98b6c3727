@echo off
rem Checks the outside items that Orvane relies on to render scores and says plainly what
rem is there: the note samples wav\0.wav to wav\7.wav, the joiner wav\wavjoin.exe and
rem outputWAV.bat. Python is optional: where Python 3.6 or later is installed it renders
rem the scores, otherwise the joiner does. Exit code 0 when everything is in place, 1 otherwise.
rem Each line is said in Chinese (GBK, as a Chinese console reads it), then in English.
setlocal
cd /d "%~dp0"
set PROBLEMS=0

py -3 -c "import sys; sys.exit(sys.version_info < (3, 6))" >nul 2>&1
if not errorlevel 1 goto python_found
python -c "import sys; sys.exit(sys.version_info < (3, 6))" >nul 2>&1
if not errorlevel 1 goto python_found
echo Python：未安装，这没有关系。乐谱由自带的合成程序 wav\wavjoin.exe 生成WAV文件。
echo Python: not installed, which is fine. Scores are rendered by the built-in joiner wav\wavjoin.exe.
goto samples
:python_found
echo Python：已找到3.6或更高的版本，由它把乐谱生成WAV文件。
echo Python 3.6 or later: found. It renders scores to WAV files.

:samples
rem One command after each test: cmd under Wine runs the rest of a bracketed block anyway.
for %%n in (0 1 2 3 4 5 6 7) do if not exist wav\%%n.wav echo 缺少音符采样 wav\%%n.wav，请重新安装奥文Orvane。
for %%n in (0 1 2 3 4 5 6 7) do if not exist wav\%%n.wav echo MISSING: note sample wav\%%n.wav. Reinstall Orvane.
for %%n in (0 1 2 3 4 5 6 7) do if not exist wav\%%n.wav set PROBLEMS=1
if not exist wav\wavjoin.exe echo 缺少合成程序 wav\wavjoin.exe，请重新安装奥文Orvane。
if not exist wav\wavjoin.exe echo MISSING: the joiner wav\wavjoin.exe. Reinstall Orvane.
if not exist wav\wavjoin.exe set PROBLEMS=1
if not exist outputWAV.bat echo 缺少生成WAV文件的批处理文件 outputWAV.bat，请重新安装奥文Orvane。
if not exist outputWAV.bat echo MISSING: outputWAV.bat, which renders scores. Reinstall Orvane.
if not exist outputWAV.bat set PROBLEMS=1
if %PROBLEMS%==0 echo 音符采样、合成程序和 outputWAV.bat 都已就位：奥文Orvane需要的一切都在。
if %PROBLEMS%==0 echo Note samples, joiner and outputWAV.bat: found. Everything Orvane needs is in place.
if %PROBLEMS%==1 pause
exit /b %PROBLEMS%
