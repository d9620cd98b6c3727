#include "forms/Form.h"

#include <windowsx.h>

#include <commctrl.h>

#include "forms/Pictures.h"
#include "forms/Program.h"
#include "system/Failure.h"
#include "system/Paths.h"
#include "system/System.h"

namespace ui {

namespace {

constexpr wchar_t kFormClass[] = L"OrvaneForm";
constexpr int kProgramIcon = 1;

Control base(std::wstring name, Kind kind, Twips bounds) {
    Control c;
    c.name = std::move(name);
    c.kind = kind;
    c.bounds = bounds;
    return c;
}

// Chinese face names need the GB2312 character set to find a font with the glyphs.
HFONT createFont(const Font& font, int dpi) {
    const int height = -MulDiv(static_cast<int>(font.points * 100 + 0.5), dpi, 7200);
    return CreateFontW(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, font.face.c_str());
}

struct MemoryCanvas {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ previous;
    MemoryCanvas(HDC screen, SIZE size)
        : dc(CreateCompatibleDC(screen)),
          bitmap(CreateCompatibleBitmap(screen, size.cx, size.cy)),
          previous(SelectObject(dc, bitmap)) {}
    ~MemoryCanvas() {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
};

}  // namespace

Control picture(std::wstring name, Twips bounds, int pictureId, bool visible) {
    Control c = base(std::move(name), Kind::Picture, bounds);
    c.picture = pictureId;
    c.visible = visible;
    return c;
}

Control label(std::wstring name, Twips bounds, std::wstring text, Font font, COLORREF color) {
    Control c = base(std::move(name), Kind::Label, bounds);
    c.text = std::move(text);
    c.font = std::move(font);
    c.color = color;
    return c;
}

Control textBox(std::wstring name, Twips bounds, std::wstring text, Font font, COLORREF color,
                COLORREF back) {
    Control c = base(std::move(name), Kind::TextBox, bounds);
    c.text = std::move(text);
    c.font = std::move(font);
    c.color = color;
    c.back = back;
    return c;
}

Control hiddenText(std::wstring name, std::wstring value) {
    Control c = base(std::move(name), Kind::TextBox, {});
    c.text = std::move(value);
    c.visible = false;
    return c;
}

Control wrapped(Control label) {
    label.wordWrap = true;
    return label;
}

Control autoSized(Control label, int cutAt) {
    label.autoSize = true;
    label.cutAt = cutAt;
    return label;
}

Control opaque(Control label, COLORREF back) {
    label.opaque = true;
    label.back = back;
    return label;
}

Control multiLine(Control box) {
    box.multiLine = true;
    return box;
}

Control hoverText(Control box, std::wstring text) {
    box.hoverText = std::move(text);
    return box;
}

namespace {

// The windows whose handlers are running, innermost last: message boxes belong to the
// innermost, which may still be hidden while it loads and then shows beneath its box.
std::vector<HWND>& running() {
    static std::vector<HWND> windows;
    return windows;
}

struct Running {
    explicit Running(HWND window) { running().push_back(window); }
    ~Running() { running().pop_back(); }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;
};

void* innermostWindow() {
    for (auto it = running().rbegin(); it != running().rend(); ++it)
        if (IsWindow(*it)) return *it;
    return nullptr;
}

// A tooltip owned by the window, so that it goes with it.
void addHoverText(HWND window, HWND box, const std::wstring& text) {
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

LRESULT CALLBACK formProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* created = static_cast<Form*>(create->lpCreateParams);
        created->window_ = window;  // messages sent during creation reach the form
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    auto* form = reinterpret_cast<Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form || form->window_ != window) return DefWindowProcW(window, message, wParam, lParam);
    // An exception must not unwind through the system's frames: it stops here.
    LRESULT result = 0;
    Running handling(window);
    guard([&] { result = form->handle(message, wParam, lParam); });
    return result;
}

void registerFormClass() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = formProcedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kFormClass;
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw sys::Failure(L"无法注册窗口类：" + sys::describe(GetLastError()));
    sys::setOwnerSource(&innermostWindow);
}

Form::Form(const FormLayout& layout) : layout_(layout) {}

Form::~Form() {
    if (window_) {
        keepTexts();
        HWND window = window_;
        window_ = nullptr;
        DestroyWindow(window);
    }
    releaseControls();
}

void Form::load() {
    if (window_) return;
    HDC screen = GetDC(nullptr);
    dpi_ = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);

    DWORD style = WS_POPUP | WS_CLIPCHILDREN;
    DWORD exStyle = WS_EX_APPWINDOW;
    if (layout_.frame == Frame::SizableTool) {
        style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
        exStyle = WS_EX_TOOLWINDOW;
    }
    if (!layout_.takesFocus) exStyle = (exStyle & ~WS_EX_APPWINDOW) | WS_EX_NOACTIVATE;
    RECT frame{0, 0, toPixels(layout_.bounds.width), toPixels(layout_.bounds.height)};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    window_ =
        CreateWindowExW(exStyle, kFormClass, layout_.caption.c_str(), style, 0, 0, frame.right - frame.left,
                        frame.bottom - frame.top, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (!window_)
        throw sys::Failure(L"无法创建窗口“" + layout_.caption + L"”：" + sys::describe(GetLastError()));
    if (layout_.icon) {
        HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kProgramIcon));
        SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    Running loading(window_);
    createControls();
    Form_Load();
    startTimers();
}

// After Form_Load: a message box raised while loading must not let a timer of the
// window run under it (the splash would route to the next window over the box).
void Form::startTimers() {
    if (!window_) return;  // unloaded while loading
    for (size_t i = 0; i < layout_.controls.size(); ++i) {
        const Control& c = layout_.controls[i];
        if (c.kind == Kind::Timer && c.visible) SetTimer(window_, i + 1, c.interval, nullptr);
    }
}

void Form::bringUp() {
    if (!window_) return;
    if (!shown_) {
        shown_ = true;
        RECT bounds{};
        GetWindowRect(window_, &bounds);
        const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
        POINT at{0, 0};
        if (layout_.start == Start::Centred) {
            at = {(GetSystemMetrics(SM_CXSCREEN) - width) / 2, (GetSystemMetrics(SM_CYSCREEN) - height) / 2};
        } else if (layout_.start == Start::Fixed) {
            at = {toPixels(layout_.bounds.left), toPixels(layout_.bounds.top)};
        }
        SetWindowPos(window_, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(window_, layout_.takesFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE);
    } else {
        if (IsIconic(window_)) ShowWindow(window_, SW_RESTORE);
    }
    if (layout_.takesFocus) SetForegroundWindow(window_);
    UpdateWindow(window_);
}

void Form::unload() {
    if (!window_) return;
    keepTexts();
    HWND window = window_;
    window_ = nullptr;
    DestroyWindow(window);
    releaseControls();
    detail::forget(this);
}

void Form::createControls() {
    for (size_t i = 0; i < layout_.controls.size(); ++i) {
        Control& c = layout_.controls[i];
        if (c.kind == Kind::Timer) continue;  // started once the window has loaded
        if (c.kind == Kind::Label) c.hfont = createFont(c.font, dpi_);
        if (c.kind != Kind::TextBox) continue;
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
        c.edit =
            CreateWindowExW(c.border ? WS_EX_CLIENTEDGE : 0, L"EDIT", L"", style, toPixels(c.bounds.left),
                            toPixels(c.bounds.top), toPixels(c.bounds.width), toPixels(c.bounds.height),
                            window_, reinterpret_cast<HMENU>(i + 1), GetModuleHandleW(nullptr), nullptr);
        if (!c.edit)
            throw sys::Failure(L"无法创建窗口“" + layout_.caption + L"”的文本框 " + c.name + L"：" +
                               sys::describe(GetLastError()));
        if (!c.hoverText.empty()) addHoverText(window_, c.edit, c.hoverText);
        c.hfont = createFont(c.font, dpi_);
        c.brush = CreateSolidBrush(c.back);
        SendMessageW(c.edit, WM_SETFONT, reinterpret_cast<WPARAM>(c.hfont), FALSE);
        SendMessageW(c.edit, EM_SETLIMITTEXT, 0, 0);  // no length limit
        if (c.passwordChar) SendMessageW(c.edit, EM_SETPASSWORDCHAR, c.passwordChar, 0);
        SetWindowTextW(c.edit, c.text.c_str());
    }
}

void Form::keepTexts() {
    for (Control& c : layout_.controls)
        if (c.edit) c.text = text(c.name);  // the last text stays readable after unload
}

void Form::releaseControls() {
    for (Control& c : layout_.controls) {
        c.edit = nullptr;
        if (c.hfont) DeleteObject(c.hfont);
        if (c.brush) DeleteObject(c.brush);
        c.hfont = nullptr;
        c.brush = nullptr;
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
    ++c.changes;  // a multi-line edit control reports no change for WM_SETTEXT
    if (c.edit) SetWindowTextW(c.edit, text.c_str());
    if (window_ && c.kind == Kind::Label) InvalidateRect(window_, nullptr, FALSE);
}

void Form::setTimerEnabled(const std::wstring& name, bool enabled) {
    Control& c = control(name);
    c.visible = enabled;
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
    if (c.brush) {
        DeleteObject(c.brush);
        c.brush = CreateSolidBrush(back);
    }
    if (c.edit) InvalidateRect(c.edit, nullptr, TRUE);
    if (window_) InvalidateRect(window_, nullptr, FALSE);
}

void Form::fitToPicture(const std::wstring& name) {
    const Control& c = control(name);
    layout_.bounds.width = c.bounds.width;
    layout_.bounds.height = c.bounds.height;
    if (window_)
        SetWindowPos(window_, nullptr, 0, 0, toPixels(c.bounds.width), toPixels(c.bounds.height),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::showThemePicture(bool light) {
    setVisible(L"Image1", light);
    setVisible(L"Image2", !light);
}

int Form::toPixels(int twips) const {
    return MulDiv(twips, dpi_, 1440);
}

RECT Form::pixelRect(const std::wstring& name) const {
    const Twips& b = control(name).bounds;
    return {toPixels(b.left), toPixels(b.top), toPixels(b.left + b.width), toPixels(b.top + b.height)};
}

SIZE Form::clientSize() const {
    RECT client{};
    if (window_) GetClientRect(window_, &client);
    return {client.right, client.bottom};
}

void Form::fire(const std::wstring& name) {
    const Handler handler = control(name).handler;
    if (handler) (this->*handler)();
}

int Form::hitTest(POINT point) const {
    for (int i = static_cast<int>(layout_.controls.size()) - 1; i >= 0; --i) {
        const Control& c = layout_.controls[static_cast<size_t>(i)];
        if (c.kind != Kind::ClickArea || !c.visible) continue;
        const RECT r = pixelRect(c.name);
        if (PtInRect(&r, point)) return i;
    }
    return -1;
}

void Form::paint(HDC dc) {
    // Every picture is loaded before anything is drawn: one that fails stops the paint
    // before it starts, never halfway.
    for (const Control& c : layout_.controls)
        if (c.kind == Kind::Picture && c.visible) pictureBitmap(c.picture);
    const SIZE size = clientSize();
    MemoryCanvas canvas(dc, size);
    HBRUSH background = CreateSolidBrush(layout_.back);
    RECT all{0, 0, size.cx, size.cy};
    FillRect(canvas.dc, &all, background);
    DeleteObject(background);
    SetStretchBltMode(canvas.dc, HALFTONE);
    SetBkMode(canvas.dc, TRANSPARENT);

    for (const Control& c : layout_.controls) {
        if (!c.visible) continue;
        RECT r = pixelRect(c.name);
        if (c.kind == Kind::Picture) {
            HBITMAP bitmap = pictureBitmap(c.picture);
            const SIZE picture = pictureSize(c.picture);
            HDC source = CreateCompatibleDC(canvas.dc);
            HGDIOBJ previous = SelectObject(source, bitmap);
            // The control's box at this DPI; a picture larger than its box is cut off.
            const int width = toPixels(picture.cx * 15), height = toPixels(picture.cy * 15);
            if (width == picture.cx && height == picture.cy)
                BitBlt(canvas.dc, r.left, r.top, picture.cx, picture.cy, source, 0, 0, SRCCOPY);
            else
                StretchBlt(canvas.dc, r.left, r.top, width, height, source, 0, 0, picture.cx, picture.cy,
                           SRCCOPY);
            SelectObject(source, previous);
            DeleteDC(source);
        } else if (c.kind == Kind::Label) {
            if (c.opaque) {
                HBRUSH back = CreateSolidBrush(c.back);
                FillRect(canvas.dc, &r, back);
                DeleteObject(back);
            }
            HGDIOBJ previous = SelectObject(canvas.dc, c.hfont);
            SetTextColor(canvas.dc, c.color);
            UINT format = DT_NOPREFIX | DT_LEFT | DT_TOP;
            if (c.autoSize) {
                format |= DT_SINGLELINE;
                r.right = c.cutAt ? toPixels(c.cutAt) : size.cx;  // grows with its text up to the cut
            } else {
                format |= c.wordWrap ? DT_WORDBREAK | DT_EDITCONTROL : 0;
            }
            IntersectClipRect(canvas.dc, r.left, r.top, r.right, r.bottom);
            DrawTextW(canvas.dc, c.text.c_str(), static_cast<int>(c.text.size()), &r, format);
            SelectClipRgn(canvas.dc, nullptr);
            SelectObject(canvas.dc, previous);
        }
    }
    BitBlt(dc, 0, 0, size.cx, size.cy, canvas.dc, 0, 0, SRCCOPY);
}

LRESULT Form::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            struct Painting {
                HWND window;
                PAINTSTRUCT ps{};
                HDC dc = BeginPaint(window, &ps);
                ~Painting() { EndPaint(window, &ps); }
            } painting{window_};
            paint(painting.dc);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            pressed_ = hitTest({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            if (pressed_ >= 0) SetCapture(window_);
            return 0;
        case WM_LBUTTONUP: {
            const int pressed = pressed_;
            pressed_ = -1;
            if (GetCapture() == window_) ReleaseCapture();
            // A click fires on release over the same area it was pressed on.
            if (pressed >= 0 && hitTest({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) == pressed)
                fire(layout_.controls[static_cast<size_t>(pressed)].name);
            return 0;
        }
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT) {
                POINT at;
                GetCursorPos(&at);
                ScreenToClient(window_, &at);
                SetCursor(LoadCursorW(nullptr, hitTest(at) >= 0 ? IDC_HAND : IDC_ARROW));
                return TRUE;
            }
            break;
        case WM_TIMER: {
            const size_t index = static_cast<size_t>(wParam) - 1;
            if (index < layout_.controls.size() && layout_.controls[index].kind == Kind::Timer)
                fire(layout_.controls[index].name);
            return 0;
        }
        case WM_COMMAND:
            if (HIWORD(wParam) == EN_CHANGE && LOWORD(wParam) >= 1 &&
                LOWORD(wParam) <= layout_.controls.size())
                ++layout_.controls[LOWORD(wParam) - 1u].changes;
            break;
        case WM_SETFOCUS:
            // The first text box of the table that takes input holds the keyboard focus,
            // as in a dialog.
            for (const Control& c : layout_.controls)
                if (c.edit && c.visible && !c.readOnly) {
                    SetFocus(c.edit);
                    return 0;
                }
            break;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
            for (const Control& c : layout_.controls) {
                if (c.edit != reinterpret_cast<HWND>(lParam)) continue;
                HDC dc = reinterpret_cast<HDC>(wParam);
                SetTextColor(dc, c.color);
                SetBkColor(dc, c.back);
                return reinterpret_cast<LRESULT>(c.brush);
            }
            break;
        case WM_CLOSE:
            unload();
            return 0;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace ui
