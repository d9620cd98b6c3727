#include "editor/Rendering.h"

#include <windows.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "editor/FormEditor.h"
#include "forms/Program.h"
#include "state/Notification.h"
#include "system/Paths.h"

namespace rendering {

std::wstring outputFolder = L"C:\\Orvane\\OutputWAV";

namespace {

// Exit codes of outputWAV.bat.
constexpr uint32_t kNoPython = 2, kMissingItems = 3;

using FileStamps = std::vector<std::pair<std::wstring, unsigned long long>>;

// The WAV files of a folder with the times they were last written.
FileStamps wavFiles(const std::wstring& folder) {
    FileStamps files;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*.wav").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return files;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const FILETIME& time = found.ftLastWriteTime;
        files.emplace_back(found.cFileName,
                           (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return files;
}

struct Watch {
    bool running = false;
    sys::Started batch;
    FileStamps before;  // the output folder when the batch file started
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

std::wstring causeOfFailure(uint32_t code, bool landed) {
    std::wstring missing;
    for (wchar_t d = L'0'; d <= L'7'; ++d) {
        const std::wstring sample = std::wstring(1, d) + L".wav";
        if (!sys::exists(sys::inProgramFolder(L"wav\\" + sample)))
            missing += (missing.empty() ? L"" : L"、") + sample;
    }
    if (code == kNoPython)
        return L"找不到 Python 3.6 或更高版本的解释器。请先安装 Python（程序文件夹中的 python.exe "
               L"是它的安装程序），然后再试。";
    if (!missing.empty())
        return L"缺少音符采样 " + missing + L"（应在 " + sys::inProgramFolder(L"wav") +
               L" 中）。请重新安装奥文Orvane。";
    if (code == kMissingItems)
        return L"outputWAV.bat 找不到生成脚本或音符采样（" + sys::inProgramFolder(L"wav") + L"）。";
    if (code != 0)
        return L"Python 运行生成脚本 wav\\wav.py 时出错（退出代码 " + std::to_wstring(code) + L"）" +
               (landed ? L"，输出文件夹中的新文件可能不完整" : L"") +
               L"。请检查音符采样 0.wav 到 7.wav 是否完好。";
    return L"outputWAV.bat 已运行结束，但输出文件夹 " + outputFolder + L" 中没有出现新的WAV文件。";
}

}  // namespace

bool running() {
    return watch().running;
}

sys::Started start(const std::wstring& batch) {
    watch().before = wavFiles(outputFolder);
    sys::Started started = sys::system().startHidden(batch);
    if (!started) return started;
    watch().running = true;
    watch().batch = started;
    ui::startProgramTimer(200, check);
    return started;
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
    const bool succeeded = landed && *code == 0;
    if (auto* editor = ui::find<FormEditor>()) editor->renderingEnded(succeeded);
    if (succeeded)
        state::postNotification(L"生成成功", L"生成的wav文件已为您保存在C:\\Orvane\\OutputWAV中");
    else
        sys::message(L"没有生成WAV文件：" + causeOfFailure(*code, landed), sys::Icon::Error);
}

}  // namespace rendering
