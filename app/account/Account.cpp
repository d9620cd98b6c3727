#include "account/Account.h"

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

sys::Cause store(std::wstring_view userName, std::wstring_view password) {
    const std::wstring userPath = sys::inProgramFolder(UserFile);
    if (const uint32_t error = text::writeLine(userPath, userName)) return sys::cannotWrite(userPath, error);
    if (const uint32_t error = text::writeBytes(passwordPath(), scramble(password) + "\r\n"))
        return sys::cannotWrite(passwordPath(), error);
    return std::nullopt;
}

sys::Cause refusal(std::wstring_view userName, std::wstring_view password) {
    // Stored, such a character would become "?": "😀😀" and "🎵🎵" would be one password.
    if (const std::wstring refused = text::outsideGbk(userName); !refused.empty())
        return L"用户名中不能使用这些字符：" + refused + Allowed;
    if (!text::outsideGbk(password).empty()) return L"密码中有无法保存的字符（例如表情符号）。" + Allowed;
    return std::nullopt;
}

Check checkPassword(std::wstring_view typed) {
    auto stored = text::readBytes(passwordPath());
    if (!stored) return Check::ReadFailure;
    if (stored->ends_with("\r\n")) stored->resize(stored->size() - 2);
    return *stored == scramble(typed) ? Check::Pass : Check::Fail;
}

}  // namespace account
