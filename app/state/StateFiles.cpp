#include "state/StateFiles.h"

#include <cwctype>

#include "system/Paths.h"
#include "text/LineFile.h"

namespace state {

std::optional<std::wstring> read(const std::wstring& file) {
    return text::readFirstLine(sys::inProgramFolder(file));
}

sys::Cause write(const std::wstring& file, std::wstring_view value) {
    const std::wstring path = sys::inProgramFolder(file);
    if (const uint32_t error = text::writeLine(path, value)) return sys::cannotWrite(path, error);
    return std::nullopt;
}

bool isLight(const std::optional<std::wstring>& themeValue) {
    return !themeValue || *themeValue == LightTheme;
}

bool isLightTheme() {
    return isLight(read(ThemeColors));
}

bool readsAsOne(std::wstring_view value) {
    size_t i = 0, end = value.size();
    while (i < end && std::iswspace(value[i])) ++i;
    while (end > i && std::iswspace(value[end - 1])) --end;
    value = value.substr(i, end - i);
    if (!value.empty() && value[0] == L'+') value.remove_prefix(1);

    // Digits, at most one point, then an optional exponent; nothing else.
    size_t pos = 0;
    auto digits = [&] {
        const size_t from = pos;
        while (pos < value.size() && value[pos] >= L'0' && value[pos] <= L'9') ++pos;
        return pos - from;
    };
    const size_t whole = digits();
    const std::wstring_view integral = value.substr(0, pos);
    size_t fraction = 0;
    std::wstring_view fractional;
    if (pos < value.size() && value[pos] == L'.') {
        ++pos;
        const size_t from = pos;
        fraction = digits();
        fractional = value.substr(from, fraction);
    }
    if (whole + fraction == 0) return false;
    long exponent = 0;
    if (pos < value.size() && (value[pos] == L'e' || value[pos] == L'E')) {
        ++pos;
        bool negative = false;
        if (pos < value.size() && (value[pos] == L'+' || value[pos] == L'-')) negative = value[pos++] == L'-';
        const size_t from = pos;
        if (digits() == 0 || pos - from > 6) return false;
        exponent = std::stol(std::wstring(value.substr(from, pos - from)));
        if (negative) exponent = -exponent;
    }
    if (pos != value.size()) return false;

    // Significant digits with the point moved by the exponent must read exactly "1".
    std::wstring mantissa = std::wstring(integral) + std::wstring(fractional);
    long point = static_cast<long>(integral.size()) + exponent;
    size_t lead = mantissa.find_first_not_of(L'0');
    if (lead == std::wstring::npos) return false;
    const size_t last = mantissa.find_last_not_of(L'0');
    return lead == last && mantissa[lead] == L'1' && point == static_cast<long>(lead) + 1;
}

bool firstRunComplete() {
    const auto flag = read(FirstRun);
    return flag && readsAsOne(*flag);
}

bool aiRequested() {
    return read(AiRequest) == AiWanted;
}

}  // namespace state
