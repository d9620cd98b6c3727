#include "editor/Rendering.h"

#include <windows.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "forms/Program.h"
#include "install/ProgramFiles.h"
#include "system/Paths.h"
#include "system/Scoped.h"
#include "text/Gbk.h"
#include "text/LineFile.h"

namespace rendering {

std::wstring outputFolder = install::OutputFolder;

namespace {

// The joining script (the design's TextY): joins the frames of the listed note samples (mono, 16-bit,
// 44100 Hz) into one WAV file named after the moment it runs. 29 lines, 924 characters.
const std::wstring kJoiningScript =
    L"import wave\r\n"
    L"import os\r\n"
    L"from datetime import datetime\r\n"
    L"\r\n"
    L"output_dir = r'" +
    install::OutputFolder +
    L"'\r\n"
    L"\r\n"
    L"if not os.path.exists(output_dir):\r\n"
    L"    os.makedirs(output_dir)\r\n"
    L"\r\n"
    L"files = ['0.wav', '1.wav', '2.wav', '3.wav', '4.wav', '5.wav', '6.wav', '7.wav']\r\n"
    L"\r\n"
    L"n_channels = 1\r\n"
    L"sampwidth = 2\r\n"
    L"framerate = 44100\r\n"
    L"\r\n"
    L"data_list = []\r\n"
    L"for file in [FFFFFFFFFFF]:\r\n"
    L"    with wave.open(file, 'rb') as w:\r\n"
    L"        if w.getnchannels() == n_channels and w.getsampwidth() == sampwidth and "
    L"w.getframerate()==framerate:\r\n"
    L"         data_list.append(w.readframes(w.getnframes()))\r\n"
    L"current_time = datetime.now().strftime('%Y%m%d_%H%M%S')\r\n"
    L"output_filename = os.path.join(output_dir, f'WAV_{current_time}.wav')\r\n"
    L"\r\n"
    L"with wave.open(output_filename, 'wb') as output_file:\r\n"
    L"    output_file.setnchannels(n_channels)\r\n"
    L"    output_file.setsampwidth(sampwidth)\r\n"
    L"    output_file.setframerate(framerate)\r\n"
    L"    for data in data_list:\r\n"
    L"        output_file.writeframes(data)\r\n";

using FileStamps = std::vector<std::pair<std::wstring, unsigned long long>>;

// The WAV files of a folder with the times they were last written.
FileStamps wavFiles(const std::wstring& folder) {
    FileStamps files;
    WIN32_FIND_DATAW found;
    const sys::Search search(FindFirstFileW((folder + L"\\*.wav").c_str(), &found));
    if (!search) return files;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const FILETIME& time = found.ftLastWriteTime;
        files.emplace_back(found.cFileName,
                           (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    } while (FindNextFileW(search, &found));
    return files;
}

struct Watch {
    bool running = false;
    sys::Started batch;
    FileStamps before;  // the output folder when the batch file started
    Ended ended = nullptr;
};

Watch& watch() {
    static Watch only;
    return only;
}

bool newFileLanded() {
    const FileStamps& before = watch().before;
    for (const auto& file : wavFiles(outputFolder))
        if (std::find(before.begin(), before.end(), file) == before.end()) return true;
    return false;
}

// The exit code of outputWAV.bat is the joiner's or Python's; any other code is unknown,
// and the message names the step.
std::wstring causeOfFailure(uint32_t code, bool landed) {
    const std::wstring samples = sys::inProgramFolder(install::SampleFolder);
    std::wstring missing;
    for (wchar_t d = L'0'; d <= L'7'; ++d) {
        const std::wstring sample = std::wstring(1, d) + L".wav";
        if (!sys::exists(samples + L"\\" + sample)) missing += (missing.empty() ? L"" : L"、") + sample;
    }
    if (!missing.empty())
        return L"缺少音符采样 " + missing + L"（应在 " + samples + L" 中）。请重新安装奥文Orvane。";
    if (code == install::JoinerMissing)
        return L"outputWAV.bat 找不到生成脚本或合成程序 wavjoin.exe（应在 " + samples +
               L" 中）。请重新安装奥文Orvane。";
    if (code == install::JoinerUnreadable)
        return L"合成程序 wavjoin.exe 无法读取音符采样或生成脚本。请检查 " + samples +
               L" 中的 0.wav 到 7.wav 是否完好，或重新安装奥文Orvane。";
    if (code == install::JoinerNotWritten)
        return L"无法在输出文件夹 " + outputFolder + L" 中写入WAV文件。请检查磁盘空间和该文件夹的权限。";
    const std::wstring incomplete = landed ? L"，输出文件夹中的新文件可能不完整" : L"";
    if (code == install::PythonFailed)
        return L"Python运行生成脚本 wav\\wav.py 时出错（退出代码1）" + incomplete +
               L"。请检查音符采样 0.wav 到 7.wav 是否完好。";
    if (code != install::JoinerWritten)
        return L"生成WAV文件时出错（退出代码" + std::to_wstring(code) + L"）" + incomplete + L"。";
    return L"outputWAV.bat 已运行结束，但输出文件夹 " + outputFolder + L" 中没有出现新的WAV文件。";
}

// Starts the batch file and watches it; what the start gave.
sys::Started start(const std::wstring& batch, Ended ended) {
    watch().before = wavFiles(outputFolder);
    watch().ended = ended;
    sys::Started started = sys::system().startHidden(batch);
    if (!started) return started;
    watch().running = true;
    watch().batch = started;
    ui::startProgramTimer(200, check);
    return started;
}

}  // namespace

std::wstring noteDigits(std::wstring_view score) {
    std::wstring digits;
    for (const wchar_t c : score)
        if (c >= L'0' && c <= L'7') digits += c;
    return digits;
}

std::wstring sampleList(std::wstring_view digits) {
    std::wstring list;
    for (const wchar_t d : digits) {
        if (!list.empty()) list += L", ";
        list += L"files[";
        list += d;
        list += L"]";
    }
    return list;
}

std::wstring joiningScript(std::wstring_view scriptTemplate, std::wstring_view list) {
    const std::wstring_view placeholder = L"FFFFFFFFFFF";
    std::wstring script;
    size_t from = 0;
    for (size_t at = scriptTemplate.find(placeholder); at != std::wstring_view::npos;
         at = scriptTemplate.find(placeholder, from)) {
        script.append(scriptTemplate.substr(from, at - from)).append(list);
        from = at + placeholder.size();
    }
    return script.append(scriptTemplate.substr(from));
}

sys::Cause render(std::wstring_view score, Ended ended) {
    const std::wstring wavFolder = sys::inProgramFolder(install::SampleFolder);
    const DWORD attributes = GetFileAttributesW(wavFolder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        if (!CreateDirectoryW(wavFolder.c_str(), nullptr))
            return L"无法创建文件夹 " + wavFolder + L"：" + sys::describe(GetLastError());
    }
    const std::wstring script = sys::inProgramFolder(install::JoiningScript);
    const std::wstring text = joiningScript(kJoiningScript, sampleList(noteDigits(score)));
    if (const uint32_t error = text::writeBytes(script, text::toGbk(text) + "\r\n"))
        return L"无法写入生成脚本 " + script + L"：" + sys::describe(error);

    const std::wstring batch = sys::inProgramFolder(install::RenderBatch);
    if (!sys::exists(batch))
        return L"找不到批处理文件 outputWAV.bat（" + batch +
               L"）。它把音符采样连成WAV文件：装有Python时由Python运行生成脚本，"
               L"否则由自带的合成程序 wavjoin.exe 完成。请重新安装奥文Orvane。";
    // The outcome is posted once the batch file has ended, by the program: the editor
    // may close meanwhile.
    if (const sys::Started started = start(batch, ended); !started)
        return L"无法启动批处理文件 outputWAV.bat：" + sys::describe(started.error);
    return std::nullopt;
}

bool running() {
    return watch().running;
}

void check() {
    Watch& w = watch();
    if (!w.running) return ui::stopProgramTimer(check);
    const auto code = sys::system().exitCode(w.batch);
    if (!code) return;
    // Done before anything is shown: the timer ticks on while a message box is up.
    w.running = false;
    w.batch = {};
    ui::stopProgramTimer(check);

    const bool landed = newFileLanded();
    const sys::Cause failure =
        landed && *code == install::JoinerWritten ? sys::Cause() : sys::Cause(causeOfFailure(*code, landed));
    if (w.ended) w.ended(failure);
}

}  // namespace rendering
