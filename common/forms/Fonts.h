// The fonts of labels and text boxes: the face asked for where the system has it, at
// the window's scale, and a narrower cut of it where a line must fit a box.
#pragma once

#include <windows.h>

#include <string>

#include "forms/Table.h"
#include "system/Scoped.h"

namespace ui {

// The face a font is drawn in: the one asked for where the system has it, else one
// that every Windows 10 and 11 has.
constexpr wchar_t kFallbackFace[] = L"微软雅黑";
std::wstring faceFor(const std::wstring& wanted);

// The font at `pixelsPerInch` (the window's DPI times its fit).
HFONT createFont(const Font& font, double pixelsPerInch);

// A fitted label draws each line within its box less this gap at the right (twips).
constexpr int kFittedGap = 30;

// Nothing where `font` fits `line` into `width` pixels; otherwise the same face
// narrowed until the line fits.
sys::Font narrowedFont(HDC dc, HFONT font, const std::wstring& line, int width);

}  // namespace ui
