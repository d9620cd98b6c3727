// The rows a window's table is made of: each control with its place in twips, its
// look and its handler, and the builders and modifiers a table is written with.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "system/Scoped.h"

namespace ui {

class Form;
using Handler = void (Form::*)();

// The design's unit, the twip: 1440 to the inch, 20 to the point, 15 to the pixel at 96 dpi.
constexpr int kTwipsPerInch = 1440;
constexpr int kTwipsPerPoint = 20;
constexpr int kTwipsPerPixel = 15;

// A rectangle in twips.
struct Twips {
    int left = 0, top = 0, width = 0, height = 0;
};
constexpr Twips px(int left, int top, int width, int height) {
    return {left * kTwipsPerPixel, top * kTwipsPerPixel, width * kTwipsPerPixel, height * kTwipsPerPixel};
}

// Centred on the screen; at its top-left corner; at a fixed place of the screen, or
// at the bottom-right corner where that place is not wholly on the screen. Always
// inside the work area (the screen without the task bar).
enum class Start { Centred, TopLeft, Fixed };
enum class Frame { None, SizableTool };
enum class Kind { Picture, Label, ClickArea, TextBox, Timer };
// What assistive technology calls a click area: a button, or a link to another window.
enum class Role { Button, Link };

struct Font {
    std::wstring face = L"宋体";
    double points = 9;
    bool bold = false;
};

// A GDI object a control makes for its window and deletes with it. A row of the table
// copied into a new window carries no object: each window makes its own.
template <class T>
struct ControlObject : sys::GdiObject<T> {
    ControlObject() = default;
    ControlObject(const ControlObject&) : sys::GdiObject<T>() {}
    ControlObject& operator=(const ControlObject&) {
        this->reset();
        return *this;
    }
};

struct Control {
    std::wstring name;
    Kind kind = Kind::Picture;
    Twips bounds;
    bool visible = true;
    Handler handler = nullptr;  // click of a click area, tick of a timer
    // Click area and text box: the name a screen reader reads, as the picture shows it
    // (the area's drawn label, the box's label beside it).
    std::wstring accessibleName;
    Role role = Role::Button;
    bool cross = false;  // click area: the window's close cross, reached last by Tab

    int picture = 0;  // resource id of the picture's PNG
    std::wstring text;
    Font font;
    COLORREF color = RGB(0, 0, 0);
    COLORREF back = RGB(255, 255, 255);

    bool autoSize = false;  // label: grows with its text, one line
    int cutAt = 0;        // auto-size label: where it is cut off (twips from the window's left), 0: the edge
    bool opaque = false;  // label: painted on its back colour, not on what lies beneath
    bool wordWrap = false;  // label: wraps inside its box, the rest cut off
    bool fitLines = false;  // label: a line wider than the box is drawn narrower to fit, 2 px to spare
    bool multiLine = false, readOnly = false, scrollBars = false;
    wchar_t passwordChar = 0;
    std::wstring hoverText;  // text box: the tooltip shown while the mouse rests on it
    unsigned interval = 0;   // timer, in milliseconds
    bool enabled = true;     // timer: ticks while its window is loaded

    // Filled while the window lives.
    unsigned changes = 0;  // text box: counts the changes of its text, by the user or setText
    HWND edit = nullptr;
    ControlObject<HFONT> hfont;
    ControlObject<HBRUSH> brush;
    ControlObject<HBITMAP> scaled;  // picture: drawn at the window's scale, kept until it changes
};

// The builders a control table is made of.
Control picture(std::wstring name, Twips bounds, int pictureId, bool visible = true);
Control label(std::wstring name, Twips bounds, std::wstring text, Font font, COLORREF color);
Control textBox(std::wstring name, Twips bounds, std::wstring text, Font font, COLORREF color, COLORREF back);
Control hiddenText(std::wstring name, std::wstring value);

// Modifiers for a row of the table: wrapped(label(...)) and the like.
Control wrapped(Control label);                   // wraps inside its box, the rest cut off
Control autoSized(Control label, int cutAt = 0);  // one line, cut at cutAt twips or the edge
Control opaque(Control label, COLORREF back);     // painted on its own background
Control fitted(Control label);                    // each line narrowed to the box's width
Control multiLine(Control box);
Control hoverText(Control box, std::wstring text);  // a tooltip on the text box
Control labelled(Control box, std::wstring label);  // the text box's drawn label, for screen readers
Control link(Control area);                         // a click area that opens another window or text
Control cross(Control area);                        // the window's close cross

// A text box that lies in a white input frame drawn in the window's picture, in both
// themes: dark ink on white, no border of its own.
inline Control entryBox(std::wstring name, Twips bounds, std::wstring text, Font font,
                        wchar_t passwordChar = 0) {
    Control box =
        textBox(std::move(name), bounds, std::move(text), font, RGB(40, 44, 58), RGB(255, 255, 255));
    box.passwordChar = passwordChar;
    return box;
}

// A drawn button; `spoken` is its label as the user reads it in the picture.
template <class F>
Control clickArea(std::wstring name, Twips bounds, void (F::*click)(), std::wstring spoken = {}) {
    Control c;
    c.name = std::move(name);
    c.kind = Kind::ClickArea;
    c.bounds = bounds;
    c.handler = static_cast<Handler>(click);
    c.accessibleName = std::move(spoken);
    return c;
}

template <class F>
Control timer(std::wstring name, unsigned interval, void (F::*tick)(), bool enabled = true) {
    Control c;
    c.name = std::move(name);
    c.kind = Kind::Timer;
    c.interval = interval;
    c.enabled = enabled;
    c.handler = static_cast<Handler>(tick);
    return c;
}

struct FormLayout {
    std::wstring caption;
    Start start = Start::Centred;
    Twips bounds;  // size, and the position of a fixed window
    Frame frame = Frame::None;
    // false: a pop-up that shows without taking the focus from the window in front,
    // and without a task-bar button.
    bool takesFocus = true;
    // Above every window that is not topmost, for as long as it is shown, even where the
    // platform lets a window that comes to the front cover it. Clicks pass through it to
    // the window beneath: staying on top, it never hides a button.
    bool topmost = false;
    bool icon = true;
    // Esc closes the window as the system's close does (a window of text to read).
    bool escapeCloses = false;
    // Announced to assistive technology as a notification when it shows.
    bool alert = false;
    COLORREF back = RGB(255, 255, 255);
    std::vector<Control> controls;
};

}  // namespace ui
