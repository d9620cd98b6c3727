#include "text/Gbk.h"

#include <windows.h>

#include "system/Failure.h"
#include "system/Paths.h"

namespace text {

namespace {

constexpr UINT kGbk = 936;

[[noreturn]] void conversionFailed(const wchar_t* direction) {
    throw sys::Failure(std::wstring(L"无法") + direction + L"：" + sys::describe(GetLastError()));
}

// Whether code page 936 holds the text (a character, or a whole score at once) exactly.
bool storable(std::wstring_view text) {
    BOOL defaulted = FALSE;
    const int length = WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, text.data(),
                                           static_cast<int>(text.size()), nullptr, 0, nullptr, &defaulted);
    return length > 0 && !defaulted;
}

}  // namespace

std::string toGbk(std::wstring_view wide) {
    if (wide.empty()) return {};
    const int length = static_cast<int>(wide.size());
    const int needed = WideCharToMultiByte(kGbk, 0, wide.data(), length, nullptr, 0, "?", nullptr);
    if (needed <= 0) conversionFailed(L"把文字转换为GBK编码");
    std::string bytes(static_cast<size_t>(needed), '\0');
    if (WideCharToMultiByte(kGbk, 0, wide.data(), length, bytes.data(), needed, "?", nullptr) != needed)
        conversionFailed(L"把文字转换为GBK编码");
    return bytes;
}

std::wstring fromGbk(std::string_view bytes) {
    if (bytes.empty()) return {};
    const int length = static_cast<int>(bytes.size());
    const int needed = MultiByteToWideChar(kGbk, 0, bytes.data(), length, nullptr, 0);
    if (needed <= 0) conversionFailed(L"读取GBK编码的文字");
    std::wstring wide(static_cast<size_t>(needed), L'\0');
    if (MultiByteToWideChar(kGbk, 0, bytes.data(), length, wide.data(), needed) != needed)
        conversionFailed(L"读取GBK编码的文字");
    return wide;
}

std::wstring outsideGbk(std::wstring_view wide) {
    std::wstring found;
    // Most texts fit whole: one call instead of one a character on a long score.
    if (wide.empty() || storable(wide)) return found;
    for (size_t i = 0; i < wide.size();) {
        const bool pair = IS_HIGH_SURROGATE(wide[i]) && i + 1 < wide.size() && IS_LOW_SURROGATE(wide[i + 1]);
        const std::wstring_view character = wide.substr(i, pair ? 2 : 1);
        if (!storable(character) && found.find(character) == std::wstring::npos) found += character;
        i += character.size();
    }
    return found;
}

}  // namespace text
