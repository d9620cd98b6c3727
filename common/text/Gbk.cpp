#include "text/Gbk.h"

#include <windows.h>

namespace text {

namespace {
constexpr UINT kGbk = 936;
}

std::string toGbk(std::wstring_view wide) {
    if (wide.empty()) return {};
    const int length = static_cast<int>(wide.size());
    const int needed = WideCharToMultiByte(kGbk, 0, wide.data(), length, nullptr, 0, "?", nullptr);
    std::string bytes(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(kGbk, 0, wide.data(), length, bytes.data(), needed, "?", nullptr);
    return bytes;
}

std::wstring fromGbk(std::string_view bytes) {
    if (bytes.empty()) return {};
    const int length = static_cast<int>(bytes.size());
    const int needed = MultiByteToWideChar(kGbk, 0, bytes.data(), length, nullptr, 0);
    std::wstring wide(static_cast<size_t>(needed), L'\0');
    MultiByteToWideChar(kGbk, 0, bytes.data(), length, wide.data(), needed);
    return wide;
}

}  // namespace text
