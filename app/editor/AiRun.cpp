#include "editor/AiRun.h"

#include <windows.h>

#include "state/Notification.h"
#include "system/Paths.h"
#include "system/System.h"
#include "text/LineFile.h"

namespace ai {

namespace {

// When an ordinary file was last written, in the system's time; nothing when there is none.
std::optional<unsigned long long> lastWritten(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return (static_cast<unsigned long long>(data.ftLastWriteTime.dwHighDateTime) << 32) |
           data.ftLastWriteTime.dwLowDateTime;
}

// FAT volumes keep write times to two seconds. A result of an earlier run is older
// than that: every run takes about four seconds.
constexpr unsigned long long kWriteTimeSlack = 2 * 10'000'000ull;

}  // namespace

Outcome compose() {
    const unsigned long long before = sys::system().fileTimeNow();
    const sys::Started model = sys::system().startHidden(sys::inProgramFolder(L"Ai.bat"));
    state::postNotification(L"Ai思考中", L"请等待大约3秒");
    sys::system().sleep(3000);

    const std::wstring result = sys::inProgramFolder(L"output\\output.sop");
    const auto written = lastWritten(result);
    const bool fresh = written && *written + kWriteTimeSlack >= before;
    uint32_t error = 0;
    const auto lines = fresh ? text::readLines(result, &error) : std::nullopt;
    if (!lines) {
        return {std::nullopt, !model     ? sys::cannotStart(L"Ai.bat", model.error)
                              : !written ? L"没有找到结果文件 " + result + L"。"
                              : !fresh   ? L"结果文件 " + result + L" 仍是之前留下的乐谱。"
                                       : L"无法读取结果文件 " + result + L"：" + sys::describe(error)};
    }
    std::wstring score;
    for (const std::wstring& line : *lines) score += line + L"\r\n";
    return {score, {}};
}

}  // namespace ai
