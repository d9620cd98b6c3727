// The forms layer: a borderless top-level window whose pictures, labels and click
// areas are windowless (painted and hit-tested by the window itself), with real edit
// controls for text boxes and timers. Each window declares its controls in one table
// (Table.h); geometry is stored in twips and converted at the DPI of the window's
// monitor, times the factor that fits the window into that monitor's work area.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "forms/Table.h"

namespace ui {

struct Monitor;

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
    // Paints what changed and hands it to the screen now, handling no click or key in
    // between: for a window whose thread is about to be held, or that times from when
    // it is seen.
    void paintNow();

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
    // Messages.cpp: each message the window answers has a handler of its own. A reply is
    // the answer to the message, or nothing where the system's default answers it.
    using Reply = std::optional<LRESULT>;
    using Route = Reply (Form::*)(WPARAM, LPARAM);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    Reply onPaint(WPARAM, LPARAM);
    Reply onEraseBackground(WPARAM, LPARAM);
    Reply onPress(WPARAM, LPARAM);
    Reply onClick(WPARAM, LPARAM);
    Reply onSetCursor(WPARAM, LPARAM hit);
    Reply onDpiChanged(WPARAM dpi, LPARAM suggested);
    Reply onShown(WPARAM, LPARAM);
    Reply onTimer(WPARAM id, LPARAM);
    Reply onCommand(WPARAM command, LPARAM);
    Reply onSetFocus(WPARAM, LPARAM);
    Reply onUiState(WPARAM state, LPARAM);
    Reply onKillFocus(WPARAM, LPARAM);
    Reply onGetObject(WPARAM flags, LPARAM objectId);
    Reply onDefaultAction(WPARAM index, LPARAM);
    Reply onControlColour(WPARAM dc, LPARAM control);
    Reply onClose(WPARAM, LPARAM);
    Reply onActivate(WPARAM state, LPARAM);
    Reply onRaiseOpened(WPARAM, LPARAM);
    int hitTest(POINT point) const;

    // Controls.cpp: the edit controls and fonts made with the window and released with it.
    void createControls();
    HWND createTextBox(size_t index);
    void keepTexts();
    void releaseControls();
    // Painting.cpp.
    HFONT fontFor(const Control& c) const;
    void paint(HDC dc);
    void paintAll(HDC dc, SIZE size);
    const Control* wholeWindowPicture(SIZE client) const;
    SIZE shownSize(const Control& c) const;
    void drawLabel(HDC dc, const Control& c, SIZE client) const;
    void drawFitted(HDC dc, const Control& c, RECT r) const;
    // Form.cpp. Scaling: the monitor's DPI and the fit into its work area, then every
    // font, text box and picture again at that scale.
    void scaleTo(int dpi, const Monitor& monitor);
    void layOut();
    SIZE frameSize() const;
    SIZE windowSize() const;
    void createWindow();
    void startTimers();
    void keepOnTop();
    // Focus.cpp.
    void takeFocus();
    void showFocusCues();
    void drawFocusCue(HDC dc) const;
    int nearestToward(UINT key, int current, const std::vector<size_t>& order) const;
    void raiseOpened() const;
    void raiseOpenedSoon() const;

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
