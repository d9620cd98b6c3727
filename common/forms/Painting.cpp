// Drawing a form: its pictures and labels, which are no windows of their own, painted
// in the order of the table, and the fonts of its labels and text boxes at its scale.
#include "forms/Form.h"

#include <algorithm>

#include "forms/Fonts.h"
#include "forms/Pictures.h"

namespace ui {

// A one-line text box shows one line of its font. Where the face draws taller than the
// box (a family with a tall ascent such as 微软雅黑, or another that stands in for a
// missing face), the font is made a pixel smaller at a time until the line fits, rather
// than having its lower part cut off.
HFONT Form::fontFor(const Control& c) const {
    sys::Font font(createFont(c.font, dpi_ * fit_));
    if (c.kind != Kind::TextBox || c.multiLine) return font.release();
    const int room = toPixels(c.bounds.height);
    LOGFONTW face{};
    GetObjectW(font, sizeof face, &face);
    const sys::WindowDc screen(nullptr);
    for (;;) {
        TEXTMETRICW metrics{};
        {
            sys::Selection selected(screen, font);
            GetTextMetricsW(screen, &metrics);
        }
        if (metrics.tmHeight <= room || face.lfHeight >= -1) return font.release();
        ++face.lfHeight;  // the character height, negative: one pixel less
        font.reset(CreateFontIndirectW(&face));
    }
}

// The picture that alone makes what the window draws, where it covers all of it.
const Control* Form::wholeWindowPicture(SIZE client) const {
    const Control* picture = nullptr;
    for (const Control& c : layout_.controls) {
        if (!c.visible || (c.kind != Kind::Picture && c.kind != Kind::Label)) continue;
        if (picture || c.kind != Kind::Picture) return nullptr;
        picture = &c;
    }
    if (!picture) return nullptr;
    const RECT r = pixelRect(picture->name);
    const SIZE shown = shownSize(*picture);
    return r.left <= 0 && r.top <= 0 && r.left + shown.cx >= client.cx && r.top + shown.cy >= client.cy
               ? picture
               : nullptr;
}

void Form::drawFitted(HDC dc, const Control& c, RECT r) const {
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    for (size_t from = 0; from <= c.text.size() && r.top < r.bottom;) {
        size_t end = c.text.find(L"\r\n", from);
        if (end == std::wstring::npos) end = c.text.size();
        const std::wstring line = c.text.substr(from, end - from);
        if (!line.empty()) {
            const sys::Font narrow = narrowedFont(dc, c.hfont, line, r.right - r.left - toPixels(kFittedGap));
            sys::Selection selected(dc, narrow ? narrow.get() : c.hfont.get());
            TextOutW(dc, r.left, r.top, line.c_str(), static_cast<int>(line.size()));
        }
        r.top += metrics.tmHeight;
        from = end + 2;
    }
}

void Form::paint(HDC dc) {
    const SIZE size = clientSize();
    const Control* whole = wholeWindowPicture(size);
    // A picture the program carries ready to draw (the splash) goes to the screen from
    // the program file, a band of rows at a time: no decoder, no bitmap to make first.
    // One already loaded (the menu, the pop-up) is copied as it is.
    if (whole && !whole->scaled) {
        const RECT r = pixelRect(whole->name);
        if (drawReady(dc, whole->picture, {r.left, r.top}, shownSize(*whole))) return;
    }
    // Every picture is loaded before anything is drawn: one that fails stops the paint
    // before it starts, never halfway. Each is kept at the window's scale until it changes.
    for (Control& c : layout_.controls)
        if (c.kind == Kind::Picture && c.visible && !c.scaled) c.scaled.reset(loadPicture(c.picture, shownSize(c)));
    if (whole && whole->scaled) {
        // One picture over the whole window (the pop-up) goes straight to the screen:
        // a back buffer would copy it twice more, about 10 ms at 2x under Wine.
        const RECT r = pixelRect(whole->name);
        const sys::MemoryDc source = sys::memoryDcLike(dc);
        sys::Selection selected(source, whole->scaled);
        BitBlt(dc, r.left, r.top, size.cx - r.left, size.cy - r.top, source, 0, 0, SRCCOPY);
        return;
    }
    const sys::Canvas canvas(dc, size);
    paintAll(canvas, size);
    BitBlt(dc, 0, 0, size.cx, size.cy, canvas, 0, 0, SRCCOPY);
}

// The picture's size on the screen: its size at 1x at the window's scale.
SIZE Form::shownSize(const Control& c) const {
    const SIZE picture = pictureSize(c.picture);
    return {toPixels(picture.cx * kTwipsPerPixel), toPixels(picture.cy * kTwipsPerPixel)};
}

// The window's back colour, then its pictures and labels in the order of the table.
void Form::paintAll(HDC dc, SIZE size) {
    const RECT all{0, 0, size.cx, size.cy};
    FillRect(dc, &all, sys::Brush(CreateSolidBrush(layout_.back)));
    SetBkMode(dc, TRANSPARENT);
    for (const Control& c : layout_.controls) {
        if (!c.visible) continue;
        if (c.kind == Kind::Label) drawLabel(dc, c, size);
        if (c.kind != Kind::Picture || !c.scaled) continue;
        // The picture at the window's scale, drawn once and kept; a picture larger
        // than the window is cut off at its edge.
        const RECT r = pixelRect(c.name);
        const SIZE shown = shownSize(c);
        const sys::MemoryDc source = sys::memoryDcLike(dc);
        sys::Selection selected(source, c.scaled);
        BitBlt(dc, r.left, r.top, shown.cx, shown.cy, source, 0, 0, SRCCOPY);
    }
}

void Form::drawLabel(HDC dc, const Control& c, SIZE client) const {
    RECT r = pixelRect(c.name);
    if (c.opaque) FillRect(dc, &r, sys::Brush(CreateSolidBrush(c.back)));
    sys::Selection selected(dc, c.hfont);
    SetTextColor(dc, c.color);
    UINT format = DT_NOPREFIX | DT_LEFT | DT_TOP;
    if (c.autoSize) {
        format |= DT_SINGLELINE;
        r.right = c.cutAt ? toPixels(c.cutAt) : client.cx;  // grows with its text up to the cut
    } else {
        format |= c.wordWrap ? DT_WORDBREAK | DT_EDITCONTROL : 0;
    }
    IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    if (c.fitLines)
        drawFitted(dc, c, r);
    else
        DrawTextW(dc, c.text.c_str(), static_cast<int>(c.text.size()), &r, format);
    SelectClipRgn(dc, nullptr);
}

// Wine shows a window's painting on screen only when its thread waits: a wait of no
// time that takes no message ends it.
void Form::paintNow() {
    if (!window_) return;
    RedrawWindow(window_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    GdiFlush();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
}

}  // namespace ui
