#include "state/Notification.h"

#include "forms/Program.h"
#include "install/FormE.h"
#include "install/ProgramFiles.h"
#include "system/Paths.h"
#include "system/System.h"
#include "text/LineFile.h"

namespace state {

namespace {

enum class Outcome { Started, NoticeMissing, Failed };

Outcome post(const std::wstring& title, const std::wstring& text) {
    for (const auto& [file, line] :
         {std::pair{install::NoticeTitle, title}, std::pair{install::NoticeText, text}}) {
        const std::wstring path = sys::inProgramFolder(file);
        if (const uint32_t error = text::writeLine(path, line)) {
            sys::message(L"无法写入通知文件 " + path + L"：" + sys::describe(error), sys::Icon::Error);
            return Outcome::Failed;
        }
    }
    const std::wstring notice = sys::inProgramFolder(install::NoticeProgram);
    if (!sys::exists(notice)) return Outcome::NoticeMissing;
    if (const sys::Started started = sys::start(notice); !started) {
        sys::message(sys::cannotStart(notice, started.error), sys::Icon::Error);
        return Outcome::Failed;
    }
    return Outcome::Started;
}

}  // namespace

bool postNotification(const std::wstring& title, const std::wstring& text) {
    return post(title, text) == Outcome::Started;
}

bool postNotification(const std::wstring& title, const std::wstring& text, ui::Form& requester) {
    const Outcome outcome = post(title, text);
    if (outcome == Outcome::NoticeMissing) {
        install::reportMissing(requester);
    }
    return outcome == Outcome::Started;
}

}  // namespace state
