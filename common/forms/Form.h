// The forms layer: a borderless top-level window whose pictures, labels and click
// areas are windowless (painted and hit-tested by the window itself), with real edit
// controls for text boxes and timers. Each window declares its controls in one table;
// geometry is stored in twips and converted at the window's DPI.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

class Form;
using Handler = void (Form::*)();

// A rectangle in twips (1440 to the inch, 15 to the pixel at 96 dpi).
struct Twips {
    int left = 0, top = 0, width = 0, height = 0;
};
constexpr Twips px(int left, int top, int width, int height) {
    return {left * 15, top * 15, width * 15, height * 15};
}

enum class Start { Centred, TopLeft, Fixed };
enum class Frame { None, SizableTool };
enum class Kind { Picture, Label, ClickArea, TextBox, Timer };

struct Font {
    std::wstring face = L"宋体";
    double points = 9;
    bool bold = false;
};

struct Control {
    std::wstring name;
    Kind kind = Kind::Picture;
    Twips bounds;
    bool visible = true;
    Handler handler = nullptr;  // click of a click area, tick of a timer

    int picture = 0;  // resource id of the picture's PNG
    std::wstring text;
    Font font;
    COLORREF color = RGB(0, 0, 0);
    COLORREF back = RGB(255, 255, 255);

    bool autoSize = false;  // label: grows with its text, one line
    int cutAt = 0;        // auto-size label: where it is cut off (twips from the window's left), 0: the edge
    bool opaque = false;  // label: painted on its back colour, not on what lies beneath
    bool wordWrap = false;  // label: wraps inside its box, the rest cut off
    bool multiLine = false, readOnly = false, scrollBars = false, border = false;
    wchar_t passwordChar = 0;
    std::wstring hoverText;  // text box: the tooltip shown while the mouse rests on it
    unsigned interval = 0;   // timer, in milliseconds

    // Filled while the window lives.
    unsigned changes = 0;  // text box: counts the changes of its text, by the user or setText
    HWND edit = nullptr;
    HFONT hfont = nullptr;
    HBRUSH brush = nullptr;
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
Control multiLine(Control box);
Control hoverText(Control box, std::wstring text);  // a tooltip on the text box

template <class F>
Control clickArea(std::wstring name, Twips bounds, void (F::*click)()) {
    Control c;
    c.name = std::move(name);
    c.kind = Kind::ClickArea;
    c.bounds = bounds;
    c.handler = static_cast<Handler>(click);
    return c;
}

template <class F>
Control timer(std::wstring name, unsigned interval, void (F::*tick)(), bool enabled = true) {
    Control c;
    c.name = std::move(name);
    c.kind = Kind::Timer;
    c.interval = interval;
    c.visible = enabled;
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
    bool icon = true;
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

    // Creates the window (hidden), runs Form_Load and starts its timers.
    void load();
    // Shows the loaded window at its start position, or brings it to the front.
    void bringUp();
    // Destroys the window; the program ends once no window is left.
    void unload();

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
    // The text and back colours of a label or a text box.
    void setColors(const std::wstring& name, COLORREF color, COLORREF back);

    // The window sizing rule: the window takes the size of the picture.
    void fitToPicture(const std::wstring& name);
    // Image1 (light artwork) or Image2 (dark artwork), never both.
    void showThemePicture(bool light);

    // Pixels of the window's DPI.
    int toPixels(int twips) const;
    RECT pixelRect(const std::wstring& name) const;
    SIZE clientSize() const;

    // Runs a control's handler as a click or a tick would (tests, keyboard).
    void fire(const std::wstring& name);

protected:
    explicit Form(const FormLayout& layout);
    virtual void Form_Load() {}

private:
    friend LRESULT CALLBACK formProcedure(HWND, UINT, WPARAM, LPARAM);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void createControls();
    void startTimers();
    void keepTexts();
    void releaseControls();
    void paint(HDC dc);
    int hitTest(POINT point) const;

    FormLayout layout_;
    HWND window_ = nullptr;
    int dpi_ = 96;
    int pressed_ = -1;
    bool shown_ = false;
};

}  // namespace ui
