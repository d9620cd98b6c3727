#include "forms/Fonts.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace ui {

namespace {

int CALLBACK faceFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;  // one is enough
}

bool installed(const std::wstring& face) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    wcsncpy_s(wanted.lfFaceName, face.c_str(), _TRUNCATE);
    bool found = false;
    const sys::WindowDc screen(nullptr);
    EnumFontFamiliesExW(screen, &wanted, faceFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

}  // namespace

// 黑体 and the other supplemental Chinese faces are missing from most Windows 10 and 11
// installed in another language, and GDI's own choice for a missing face may draw no
// Chinese at all. 微软雅黑 is on every Windows 10 and 11.
std::wstring faceFor(const std::wstring& wanted) {
    static std::map<std::wstring, bool> known;
    const auto isInstalled = [](const std::wstring& face) {
        const auto found = known.find(face);
        return found != known.end() ? found->second : known[face] = installed(face);
    };
    return isInstalled(wanted) || !isInstalled(kFallbackFace) ? wanted : kFallbackFace;
}

// Chinese face names need the GB2312 character set to find a font with the glyphs.
HFONT createFont(const Font& font, double pixelsPerInch) {
    const int height = -std::max(
        1, static_cast<int>(std::lround(font.points * kTwipsPerPoint * pixelsPerInch / kTwipsPerInch)));
    return CreateFontW(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, faceFor(font.face).c_str());
}

sys::Font narrowedFont(HDC dc, HFONT font, const std::wstring& line, int width) {
    const auto widthIn = [&](HFONT drawn) {
        sys::Selection selected(dc, drawn);
        SIZE size{};
        GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size);
        return size.cx;
    };
    const LONG natural = widthIn(font);
    if (natural <= width) return {};
    TEXTMETRICW metrics{};
    {
        sys::Selection selected(dc, font);
        GetTextMetricsW(dc, &metrics);
    }
    LOGFONTW face{};
    GetObjectW(font, sizeof face, &face);
    face.lfWidth = std::max<LONG>(1, MulDiv(metrics.tmAveCharWidth, width, natural));
    sys::Font narrow(CreateFontIndirectW(&face));
    while (widthIn(narrow) > width && face.lfWidth > 1) {
        --face.lfWidth;
        narrow.reset(CreateFontIndirectW(&face));
    }
    return narrow;
}

}  // namespace ui
