#include "editor/AiRun.h"

#include <windows.h>

#include "install/ProgramFiles.h"
#include "state/Notification.h"
#include "system/Paths.h"
#include "system/System.h"
#include "text/Gbk.h"
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

// How often the run looks again once the designed wait is over.
constexpr unsigned kLookAgain = 250;

bool writtenSince(const std::wstring& path, unsigned long long since) {
    const auto written = lastWritten(path);
    return written && *written + kWriteTimeSlack >= since;
}

// The model writes its result through the common writer, which moves a finished file
// over the old one: a result written since the start is whole, never half written.
Outcome run(const std::wstring& mode, const Waiting& waiting) {
    const unsigned long long before = sys::system().fileTimeNow();
    const sys::Started model = sys::system().startHidden(sys::inProgramFolder(install::AiBatch), mode);
    sys::tell(state::postNotification(L"Ai思考中", L"请等待大约3秒"));
    sys::system().sleep(kWait);

    const std::wstring result = sys::inProgramFolder(install::AiResult);
    unsigned waited = kWait;
    while (model && !writtenSince(result, before) && waited < kLongestWait &&
           !sys::system().exitCode(model)) {
        if (waiting) waiting(waited);
        sys::system().sleep(kLookAgain);
        waited += kLookAgain;
    }
    const auto written = lastWritten(result);
    // Without a model started, whatever lies there is from before.
    const bool fresh = model && written && *written + kWriteTimeSlack >= before;
    uint32_t error = 0;
    const auto lines = fresh ? text::readLines(result, &error) : std::nullopt;
    if (!lines) {
        return {std::nullopt, !model     ? sys::cannotStart(install::AiBatch, model.error)
                              : !written ? L"没有找到结果文件 " + result + L"。"
                              : !fresh   ? L"结果文件 " + result + L" 仍是之前留下的乐谱。"
                                       : L"无法读取结果文件 " + result + L"：" + sys::describe(error)};
    }
    std::wstring score;
    for (const std::wstring& line : *lines) score += line + L"\r\n";
    return {score, {}};
}

}  // namespace

Outcome compose(const Waiting& waiting) {
    return run({}, waiting);
}

Outcome continueFrom(std::wstring_view context, const Waiting& waiting) {
    const std::wstring folder = sys::inProgramFolder(install::AiFolder);
    const std::wstring request = sys::inProgramFolder(install::AiContext);
    uint32_t error = 0;
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        error = GetLastError();
    if (!error) error = text::writeBytes(request, text::toGbk(context));
    if (error) return {std::nullopt, L"无法写出续写的乐谱 " + request + L"：" + sys::describe(error)};
    return run(L"continue", waiting);
}

}  // namespace ai
