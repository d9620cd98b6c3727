// A form's controls while its window lives: the edit controls of its text boxes, and
// what a window asks of any control by name (its text, visibility, colours, place).
#include "forms/Form.h"

#include <commctrl.h>

#include <algorithm>

#include "forms/Accessible.h"
#include "forms/Fonts.h"
#include "system/Failure.h"
#include "system/Paths.h"
#include "system/System.h"

namespace ui {

namespace {

// A tooltip owned by the window, so that it goes with it. The common controls load with
// the first one: a window without text boxes never waits for them.
void addHoverText(HWND window, HWND box, const std::wstring& text) {
    static const bool loaded = [] {
        const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
        return InitCommonControlsEx(&controls);
    }();
    (void)loaded;
    HWND tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window,
                                   nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!tooltip) throw sys::Failure(L"无法创建提示文字“" + text + L"”：" + sys::describe(GetLastError()));
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(box);
    tool.lpszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace

void Form::createControls() {
    for (size_t i = 0; i < layout_.controls.size(); ++i) {
        Control& c = layout_.controls[i];
        if (c.kind == Kind::Timer) continue;  // started once the window has loaded
        if (c.kind == Kind::Label) c.hfont.reset(createFont(c.font, dpi_ * fit_));
        // A hidden text without a size is a value the window keeps, never seen: it needs
        // no edit control, whose class and font hold up a program's first window.
        if (c.kind != Kind::TextBox || (!c.visible && c.bounds.width == 0 && c.bounds.height == 0)) continue;
        c.edit = createTextBox(i);
        if (!c.accessibleName.empty()) nameTextBox(c.edit);
        if (!c.hoverText.empty()) addHoverText(window_, c.edit, c.hoverText);
        c.hfont.reset(fontFor(c));
        c.brush.reset(CreateSolidBrush(c.back));
        SendMessageW(c.edit, WM_SETFONT, reinterpret_cast<WPARAM>(c.hfont.get()), FALSE);
        SendMessageW(c.edit, EM_SETLIMITTEXT, 0, 0);  // no length limit
        if (c.passwordChar) SendMessageW(c.edit, EM_SETPASSWORDCHAR, c.passwordChar, 0);
        SetWindowTextW(c.edit, c.text.c_str());
    }
}

// The edit control of the table's row `index`, whose control id is index + 1.
HWND Form::createTextBox(size_t index) {
    const Control& c = layout_.controls[index];
    // Visible boxes that take input are tab stops, in the order of the table.
    DWORD style = WS_CHILD | (c.visible ? WS_VISIBLE : 0) | (c.visible && !c.readOnly ? WS_TABSTOP : 0);
    if (c.multiLine) {
        style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | ES_NOHIDESEL;
        if (c.scrollBars) style |= WS_VSCROLL | WS_HSCROLL | ES_AUTOHSCROLL;
    } else {
        style |= ES_AUTOHSCROLL;
    }
    if (c.readOnly) style |= ES_READONLY;
    if (c.passwordChar) style |= ES_PASSWORD;
    const HWND edit = CreateWindowExW(0, L"EDIT", L"", style, toPixels(c.bounds.left), toPixels(c.bounds.top),
                                      toPixels(c.bounds.width), toPixels(c.bounds.height), window_,
                                      reinterpret_cast<HMENU>(index + 1), GetModuleHandleW(nullptr), nullptr);
    if (!edit)
        throw sys::Failure(L"无法创建窗口“" + layout_.caption + L"”的文本框 " + c.name + L"：" +
                           sys::describe(GetLastError()));
    return edit;
}

void Form::keepTexts() {
    for (Control& c : layout_.controls)
        if (c.edit) c.text = text(c.name);  // the last text stays readable after unload
}

void Form::releaseControls() {
    for (Control& c : layout_.controls) {
        c.edit = nullptr;  // destroyed with the window
        c.hfont.reset();
        c.brush.reset();
        c.scaled.reset();
    }
}

Control& Form::control(const std::wstring& name) {
    for (Control& c : layout_.controls)
        if (c.name == name) return c;
    throw sys::Failure(L"窗口“" + layout_.caption + L"”中没有名为 " + name + L" 的控件");
}

const Control& Form::control(const std::wstring& name) const {
    return const_cast<Form*>(this)->control(name);
}

bool Form::visible(const std::wstring& name) const {
    return control(name).visible;
}

void Form::setVisible(const std::wstring& name, bool visible) {
    Control& c = control(name);
    if (c.visible == visible) return;
    c.visible = visible;
    if (c.edit) ShowWindow(c.edit, visible ? SW_SHOW : SW_HIDE);
    if (window_) InvalidateRect(window_, nullptr, FALSE);
}

std::wstring Form::text(const std::wstring& name) const {
    const Control& c = control(name);
    if (!c.edit) return c.text;
    std::wstring value(static_cast<size_t>(GetWindowTextLengthW(c.edit)) + 1, L'\0');
    value.resize(static_cast<size_t>(GetWindowTextW(c.edit, value.data(), static_cast<int>(value.size()))));
    return value;
}

void Form::readText(const std::wstring& name, const std::function<void(std::wstring_view)>& read) const {
    const Control& c = control(name);
    if (c.edit && c.multiLine) {
        // The edit control's own buffer; copying it out costs milliseconds per megabyte.
        if (HLOCAL buffer = reinterpret_cast<HLOCAL>(SendMessageW(c.edit, EM_GETHANDLE, 0, 0))) {
            const size_t length = static_cast<size_t>(GetWindowTextLengthW(c.edit));
            if (const auto* characters = static_cast<const wchar_t*>(LocalLock(buffer))) {
                read({characters, length});
                LocalUnlock(buffer);
                return;
            }
        }
    }
    read(text(name));
}

void Form::setText(const std::wstring& name, const std::wstring& text) {
    Control& c = control(name);
    c.text = text;
    // An edit control's text ends at a NUL, and what follows would be gone at the next
    // read (a score saved again would lose it): in a text box each NUL stands as a space.
    if (c.kind == Kind::TextBox) std::replace(c.text.begin(), c.text.end(), L'\0', L' ');
    ++c.changes;  // a multi-line edit control reports no change for WM_SETTEXT
    if (c.edit) SetWindowTextW(c.edit, c.text.c_str());
    if (window_ && c.kind == Kind::Label) InvalidateRect(window_, nullptr, FALSE);
    if (c.kind == Kind::TextBox) TextBox_Change(name);
}

std::vector<size_t> Form::visibleLineStarts(const std::wstring& name) const {
    const Control& c = control(name);
    std::vector<size_t> starts;
    if (!c.edit) return starts;
    const RECT box = pixelRect(name);
    TEXTMETRICW metrics{};
    {
        const sys::WindowDc dc(c.edit);
        sys::Selection selected(dc, c.hfont);
        GetTextMetricsW(dc, &metrics);
    }
    const LRESULT first = SendMessageW(c.edit, EM_GETFIRSTVISIBLELINE, 0, 0);
    const LRESULT count = SendMessageW(c.edit, EM_GETLINECOUNT, 0, 0);
    const LRESULT rows = (box.bottom - box.top) / std::max<LONG>(1, metrics.tmHeight);
    for (LRESULT row = first; row < count && row <= first + rows; ++row) {
        const LRESULT start = SendMessageW(c.edit, EM_LINEINDEX, static_cast<WPARAM>(row), 0);
        if (start < 0) break;
        starts.push_back(static_cast<size_t>(start));
    }
    return starts;
}

void Form::setTimerEnabled(const std::wstring& name, bool enabled) {
    Control& c = control(name);
    c.enabled = enabled;
    if (!window_) return;
    const UINT_PTR id = static_cast<UINT_PTR>(&c - layout_.controls.data()) + 1;
    if (enabled)
        SetTimer(window_, id, c.interval, nullptr);
    else
        KillTimer(window_, id);
}

void Form::setColors(const std::wstring& name, COLORREF color, COLORREF back) {
    Control& c = control(name);
    c.color = color;
    c.back = back;
    if (c.brush) c.brush.reset(CreateSolidBrush(back));
    if (c.edit) InvalidateRect(c.edit, nullptr, TRUE);
    if (window_) InvalidateRect(window_, nullptr, FALSE);
}

void Form::showThemePicture(bool light) {
    setVisible(L"Image1", light);
    setVisible(L"Image2", !light);
}

RECT Form::pixelRect(const std::wstring& name) const {
    const Twips& b = control(name).bounds;
    return {toPixels(b.left), toPixels(b.top), toPixels(b.left + b.width), toPixels(b.top + b.height)};
}

}  // namespace ui
