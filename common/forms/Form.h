// The forms layer: a borderless top-level window whose pictures, labels and click
// areas are windowless (painted and hit-tested by the window itself), with real edit
// controls for text boxes and timers. Each window declares its controls in one table;
// geometry is stored in twips and converted at the DPI of the window's monitor, times
// the factor that fits the window into that monitor's work area.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "system/Scoped.h"

namespace ui {

class Form;
struct Monitor;
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

// The face a font is drawn in: the one asked for where the system has it, else one
// that every Windows 10 and 11 has.
constexpr wchar_t kFallbackFace[] = L"微软雅黑";
std::wstring faceFor(const std::wstring& wanted);

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

class Form {
public:
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    HWND hwnd() const { return window_; }
    bool loaded() const { return window_ != nullptr; }
    const std::wstring& caption() const { return layout_.caption; }
    bool isAlert() const { return layout_.alert; }

    // Creates the window (hidden), runs Form_Load and starts its timers.
    void load();
    // Shows the loaded window at its start position, or brings it to the front.
    void bringUp();
    // Destroys the window; the program ends once no window is left.
    void unload();

    const std::vector<Control>& controls() const { return layout_.controls; }
    Control& control(const std::wstring& name);
    const Control& control(const std::wstring& name) const;
    bool visible(const std::wstring& name) const;
    void setVisible(const std::wstring& name, bool visible);
    std::wstring text(const std::wstring& name) const;
    // Hands the text to `read` where a multi-line text box keeps it, without a copy:
    // a text of megabytes is read in well under a millisecond.
    void readText(const std::wstring& name, const std::function<void(std::wstring_view)>& read) const;
    void setText(const std::wstring& name, const std::wstring& text);
    void setTimerEnabled(const std::wstring& name, bool enabled);
    // A multi-line text box: the character index at which each line on screen starts,
    // from the top of the box down to its bottom or the end of the text.
    std::vector<size_t> visibleLineStarts(const std::wstring& name) const;
    // How wide a fitted label draws one line of its text, in pixels.
    int drawnWidth(const std::wstring& name, const std::wstring& line) const;
    // The text and back colours of a label or a text box.
    void setColors(const std::wstring& name, COLORREF color, COLORREF back);

    // The window sizing rule: the window takes the size of the picture.
    void fitToPicture(const std::wstring& name);
    // Image1 (light artwork) or Image2 (dark artwork), never both.
    void showThemePicture(bool light);
    // From Form_Load: runs `work` once the window is up and painted, for what would
    // hold up its first paint (starting another program takes a tenth of a second). The
    // window's timers start after it, as after the rest of the loading.
    void afterShown(std::function<void()> work);

    // Pixels of the window's DPI and fit.
    int toPixels(int twips) const;
    // Pixels per pixel of the design (at 96 dpi): the monitor's DPI times the fit.
    double scale() const { return dpi_ / 96.0 * fit_; }
    RECT pixelRect(const std::wstring& name) const;
    SIZE clientSize() const;

    // Runs a control's handler as a click or a tick would (tests).
    void fire(const std::wstring& name);
    // A key pressed anywhere in the window, before the control with the focus sees it
    // (the message loop, tests). Returns whether the window took it.
    bool pressKey(UINT key, bool ctrl) { return Form_KeyDown(key, ctrl); }
    // The user asks the window to close (Alt+F4), as the system's close does.
    void requestClose() { Form_QueryUnload(); }

    // Keyboard (Focus.cpp). The items Tab reaches, as indexes of controls(): visible
    // click areas and text boxes in the order of the table, the close cross last.
    std::vector<size_t> focusOrder() const;
    // The item with the keyboard focus, or -1; a click area holds it while the window
    // itself has the system's focus.
    int focusedItem() const;
    void focusItem(size_t index);
    // A navigation key pressed in the window or one of its text boxes (`target`): Tab,
    // Shift+Tab, the arrows, Enter and Space, Esc. Returns whether the window took it.
    bool navigate(HWND target, UINT key, bool shift);
    // Whether the focus cue shows: the window has the focus on a click area and the
    // keyboard has been used in it.
    bool focusCueShown() const;
    // Runs a click area's handler as assistive technology asks (Accessible.cpp): posted,
    // so that the caller is answered before a message box or another window appears.
    void postDefaultAction(size_t index);

protected:
    explicit Form(const FormLayout& layout);
    virtual void Form_Load() {}
    // A key for the whole window; false leaves it to the control with the focus.
    virtual bool Form_KeyDown(UINT /*key*/, bool /*ctrl*/) { return false; }
    // Alt+F4 and the system's close: the window unloads unless it says otherwise.
    virtual void Form_QueryUnload() { unload(); }
    // The text of a text box changed, by the user, setText or a message to its control.
    virtual void TextBox_Change(const std::wstring& /*name*/) {}

private:
    friend LRESULT CALLBACK formProcedure(HWND, UINT, WPARAM, LPARAM);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void createControls();
    HFONT fontFor(const Control& c) const;
    void startTimers();
    void keepTexts();
    void releaseControls();
    void paint(HDC dc);
    const Control* wholeWindowPicture(SIZE client) const;
    void drawFitted(HDC dc, const Control& c, RECT r) const;
    int hitTest(POINT point) const;
    // Scaling: the monitor's DPI and the fit into its work area, then every font, text
    // box and picture again at that scale.
    void scaleTo(int dpi, const Monitor& monitor);
    void layOut();
    SIZE frameSize() const;
    SIZE windowSize() const;
    void keepOnTop();
    void takeFocus();
    void showFocusCues();
    void drawFocusCue(HDC dc) const;
    LRESULT accessibleObject(WPARAM flags, LPARAM objectId);
    void raiseOpened() const;

    FormLayout layout_;
    HWND window_ = nullptr;
    HWND opener_ = nullptr;  // a tool window: the window it was opened from
    int dpi_ = 96;
    double fit_ = 1;
    HWND lastFront_ = nullptr;  // topmost: the foreground window at the last look
    DWORD raiseUntil_ = 0;      // topmost: raised again until this tick count
    int pressed_ = -1;
    int focused_ = -1;  // index of the item with the keyboard focus
    // UISF_HIDEFOCUS as WM_UPDATEUISTATE last told it since the window was made: under
    // Wine the window keeps no UI state of its own to ask for (WM_QUERYUISTATE).
    bool cuesHidden_ = true;
    bool shown_ = false;
    std::vector<std::function<void()>> afterShown_;
};

// The form a window belongs to (itself or one of its controls), or nothing.
Form* formOf(HWND window);

}  // namespace ui
