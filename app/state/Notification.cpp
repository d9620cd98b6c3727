#include "state/Notification.h"

#include "install/ProgramFiles.h"
#include "system/Paths.h"
#include "system/System.h"
#include "text/LineFile.h"

namespace state {

sys::Cause postNotification(const std::wstring& title, const std::wstring& text) {
    for (const auto& [file, line] :
         {std::pair{install::NoticeTitle, title}, std::pair{install::NoticeText, text}}) {
        const std::wstring path = sys::inProgramFolder(file);
        if (const uint32_t error = text::writeLine(path, line))
            return L"无法写入通知文件 " + path + L"：" + sys::describe(error);
    }
    const std::wstring notice = sys::inProgramFolder(install::NoticeProgram);
    if (!sys::exists(notice)) return std::nullopt;
    if (const sys::Started started = sys::start(notice); !started)
        return sys::cannotStart(notice, started.error);
    return std::nullopt;
}

}  // namespace state
