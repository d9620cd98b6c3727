#include "account/Account.h"

#include "forms/Program.h"
#include "system/Paths.h"
#include "system/System.h"
#include "text/Gbk.h"
#include "text/LineFile.h"

namespace account {

namespace {

// A lead byte of code page 936 opens a double-byte character when a trail byte follows.
bool isLeadByte(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}

const std::wstring Allowed = L"\n请改用汉字、字母、数字或常用符号。";

// What was written before stays; the program cannot go on with half an account.
bool unwritable(const std::wstring& path, uint32_t error) {
    sys::message(L"无法写入文件 " + path + L"：" + sys::describe(error), sys::Icon::Error);
    ui::endNow();
    return false;
}

}  // namespace

std::string scramble(std::wstring_view password) {
    std::string bytes = text::toGbk(password);
    for (size_t i = 0; i < bytes.size(); ++i) {
        // toGbk yields whole characters, so a lead byte is always followed by its trail.
        if (isLeadByte(static_cast<unsigned char>(bytes[i])) && i + 1 < bytes.size()) ++i;
        bytes[i] = static_cast<char>(bytes[i] ^ ScrambleKey);
    }
    return bytes;
}

std::wstring passwordPath() {
    return sys::inProgramFolder(PasswordFile);
}

bool store(std::wstring_view userName, std::wstring_view password) {
    const std::wstring userPath = sys::inProgramFolder(UserFile);
    if (const uint32_t error = text::writeLine(userPath, userName)) return unwritable(userPath, error);
    if (const uint32_t error = text::writeBytes(passwordPath(), scramble(password) + "\r\n"))
        return unwritable(passwordPath(), error);
    return true;
}

bool create(std::wstring_view userName, std::wstring_view password) {
    if (userName.empty()) {
        sys::message(L"用户名不可为空");
        return false;
    }
    // Stored, such a character would become "?": "😀😀" and "🎵🎵" would be one password.
    // The password's characters are not repeated in the message: the settings mask them.
    if (const std::wstring refused = text::outsideGbk(userName); !refused.empty()) {
        sys::message(L"用户名中不能使用这些字符：" + refused + Allowed, sys::Icon::Exclamation);
        return false;
    }
    if (!text::outsideGbk(password).empty()) {
        sys::message(L"密码中有无法保存的字符（例如表情符号）。" + Allowed, sys::Icon::Exclamation);
        return false;
    }
    return store(userName, password);
}

Check checkPassword(std::wstring_view typed) {
    auto stored = text::readBytes(passwordPath());
    if (!stored) return Check::ReadFailure;
    if (stored->ends_with("\r\n")) stored->resize(stored->size() - 2);
    return *stored == scramble(typed) ? Check::Pass : Check::Fail;
}

}  // namespace account
