#include "forms/Form.h"

#include <windowsx.h>

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "forms/Accessible.h"
#include "forms/Pictures.h"
#include "forms/Program.h"
#include "forms/Screen.h"
#include "system/Failure.h"
#include "system/Paths.h"
#include "system/System.h"

namespace ui {

namespace {

constexpr wchar_t kFormClass[] = L"OrvaneForm";
constexpr int kProgramIcon = 1;
// Timer ids from 1 up are the table's rows; this one keeps a topmost window on top.
constexpr UINT_PTR kKeepOnTop = 0xF00D;
constexpr UINT kKeepOnTopInterval = 100;
// Posted by afterShown: the message loop takes it only after the loading and the paint
// that bringUp sends.
constexpr UINT kRunAfterShown = WM_APP + 1;
// Posted by postDefaultAction: the click area's index in wParam.
constexpr UINT kDefaultAction = WM_APP + 2;
// Lifts the tool windows a window opened once its activation is complete: Wine brings
// the window to the front only after WM_ACTIVATE, or after the click that activated it.
constexpr UINT kRaiseOpened = WM_APP + 3;
constexpr DWORD kRaiseAfterFrontChange = 1000;  // ms
constexpr int kCornerMargin = 12;               // pixels at 96 dpi between a moved pop-up and the corner
constexpr int kFittedGap = 30;                  // twips kept free at the right of a fitted line

Control base(std::wstring name, Kind kind, Twips bounds) {
    Control c;
    c.name = std::move(name);
    c.kind = kind;
    c.bounds = bounds;
    return c;
}

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

namespace {

// Chinese face names need the GB2312 character set to find a font with the glyphs.
HFONT createFont(const Font& font, double pixelsPerInch) {
    const int height = -std::max(
        1, static_cast<int>(std::lround(font.points * kTwipsPerPoint * pixelsPerInch / kTwipsPerInch)));
    return CreateFontW(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, faceFor(font.face).c_str());
}

// Nothing where the label's font fits a line `width` pixels wide; otherwise the same
// face narrowed until the line fits.
sys::Font narrowedFont(HDC dc, const Control& c, const std::wstring& line, int width) {
    const auto widthIn = [&](HFONT font) {
        sys::Selection selected(dc, font);
        SIZE size{};
        GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size);
        return size.cx;
    };
    const LONG natural = widthIn(c.hfont);
    if (natural <= width) return {};
    TEXTMETRICW metrics{};
    {
        sys::Selection selected(dc, c.hfont);
        GetTextMetricsW(dc, &metrics);
    }
    LOGFONTW face{};
    GetObjectW(c.hfont, sizeof face, &face);
    face.lfWidth = std::max<LONG>(1, MulDiv(metrics.tmAveCharWidth, width, natural));
    sys::Font narrow(CreateFontIndirectW(&face));
    while (widthIn(narrow) > width && face.lfWidth > 1) {
        --face.lfWidth;
        narrow.reset(CreateFontIndirectW(&face));
    }
    return narrow;
}

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

Control fitted(Control label) {
    label.fitLines = true;
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

Control labelled(Control box, std::wstring label) {
    box.accessibleName = std::move(label);
    return box;
}

Control link(Control area) {
    area.role = Role::Link;
    return area;
}

Control cross(Control area) {
    area.cross = true;
    return area;
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

// The icon's own small image, not the large one that LoadIconW gives and the caption
// would shrink. Not shared: the shared cache hands back whichever size it loaded first.
// One per process, for every window, freed with the process; null (no small icon, the
// large one stands in) if it cannot be loaded.
HICON smallProgramIcon() {
    static const HICON icon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kProgramIcon), IMAGE_ICON,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    return icon;
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

Form* formOf(HWND window) {
    const HWND root = window ? GetAncestor(window, GA_ROOT) : nullptr;
    wchar_t name[32] = {};
    if (!root || !GetClassNameW(root, name, 32) || wcscmp(name, kFormClass) != 0) return nullptr;
    auto* form = reinterpret_cast<Form*>(GetWindowLongPtrW(root, GWLP_USERDATA));
    return form && form->hwnd() == root ? form : nullptr;
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
    // A new window opens on the primary monitor: centred there, or at its fixed place.
    const Monitor monitor = primaryMonitor();
    scaleTo(monitor.dpi, monitor);

    // The system menu and the minimise box draw nothing on a window without a caption:
    // they let it be minimised from the task bar, Alt+Space and Win+Down.
    DWORD style = WS_POPUP | WS_CLIPCHILDREN | (layout_.takesFocus ? WS_SYSMENU | WS_MINIMIZEBOX : 0);
    DWORD exStyle = WS_EX_APPWINDOW;
    if (layout_.frame == Frame::SizableTool) {
        style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
        exStyle = WS_EX_TOOLWINDOW;
    }
    if (!layout_.takesFocus) exStyle = (exStyle & ~WS_EX_APPWINDOW) | WS_EX_NOACTIVATE;
    if (layout_.topmost) exStyle |= WS_EX_TOPMOST | WS_EX_LAYERED | WS_EX_TRANSPARENT;
    // A tool window floats over the window it was opened from, as an owned window would;
    // it is not owned, because it outlives that window when the user closes it.
    if (layout_.frame == Frame::SizableTool) opener_ = GetActiveWindow();
    const SIZE size = windowSize();
    window_ = CreateWindowExW(exStyle, kFormClass, layout_.caption.c_str(), style, 0, 0, size.cx, size.cy,
                              nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (!window_)
        throw sys::Failure(L"无法创建窗口“" + layout_.caption + L"”：" + sys::describe(GetLastError()));
    if (layout_.icon) {
        HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kProgramIcon));
        SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallProgramIcon()));
    }
    // No focus cue until the keyboard is used in the window.
    SendMessageW(window_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
    cuesHidden_ = true;
    Running loading(window_);
    createControls();
    if (layout_.topmost) {
        SetLayeredWindowAttributes(window_, 0, 255, LWA_ALPHA);  // opaque: layered only to let clicks through
        lastFront_ = GetForegroundWindow();
        SetTimer(window_, kKeepOnTop, kKeepOnTopInterval, nullptr);
    }
    Form_Load();
    if (afterShown_.empty()) startTimers();
}

// After Form_Load and what it left for after the first paint: a message box raised
// while loading must not let a timer of the window run under it (the splash would route
// to the next window over the box).
void Form::startTimers() {
    if (!window_) return;  // unloaded while loading
    for (size_t i = 0; i < layout_.controls.size(); ++i) {
        const Control& c = layout_.controls[i];
        if (c.kind == Kind::Timer && c.enabled) SetTimer(window_, i + 1, c.interval, nullptr);
    }
}

SIZE Form::frameSize() const {
    if (layout_.frame == Frame::None) return {0, 0};
    // The title bar and the borders at the window's DPI, where the system can say so.
    using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjust = reinterpret_cast<AdjustForDpi>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
    RECT frame{0, 0, 0, 0};
    if (!adjust || !adjust(&frame, style, FALSE, WS_EX_TOOLWINDOW, static_cast<UINT>(dpi_)))
        AdjustWindowRectEx(&frame, style, FALSE, WS_EX_TOOLWINDOW);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

SIZE Form::windowSize() const {
    const SIZE frame = frameSize();
    return {toPixels(layout_.bounds.width) + frame.cx, toPixels(layout_.bounds.height) + frame.cy};
}

void Form::scaleTo(int dpi, const Monitor& monitor) {
    dpi_ = dpi;
    const SIZE design{MulDiv(layout_.bounds.width, 1, kTwipsPerPixel),
                      MulDiv(layout_.bounds.height, 1, kTwipsPerPixel)};
    fit_ = fitFactor(design, dpi, frameSize(), monitor.work);
    if (window_) layOut();
}

void Form::layOut() {
    for (Control& c : layout_.controls) {
        c.scaled.reset();
        if (!c.hfont) continue;
        // The old font is deleted once the text box has taken the new one.
        const HFONT font = fontFor(c);
        if (c.edit) {
            SendMessageW(c.edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            MoveWindow(c.edit, toPixels(c.bounds.left), toPixels(c.bounds.top), toPixels(c.bounds.width),
                       toPixels(c.bounds.height), TRUE);
        }
        c.hfont.reset(font);
    }
    InvalidateRect(window_, nullptr, FALSE);
}

void Form::keepOnTop() {
    // Under Wine a window that comes to the front is raised above a topmost one on the
    // X screen, while the system still counts the topmost one first, so that asking
    // for HWND_TOPMOST again changes nothing. Leaving the topmost band and entering it
    // again raises it for real. Without SWP_NOACTIVATE either call would take the focus.
    // Only a window that comes to the front covers it that way, so it is raised for a
    // while after the foreground changes and otherwise left where it is: a later pop-up,
    // which never takes the foreground, stays above an earlier one.
    const HWND front = GetForegroundWindow();
    if (front != lastFront_) {
        lastFront_ = front;
        raiseUntil_ = GetTickCount() + kRaiseAfterFrontChange;
    }
    if (static_cast<LONG>(raiseUntil_ - GetTickCount()) < 0) return;
    constexpr UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
    SetWindowPos(window_, HWND_NOTOPMOST, 0, 0, 0, 0, flags);
    SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, flags);
}

void Form::bringUp() {
    if (!window_) return;
    if (!shown_) {
        shown_ = true;
        RECT bounds{};
        GetWindowRect(window_, &bounds);
        const SIZE size{bounds.right - bounds.left, bounds.bottom - bounds.top};
        const POINT fixed{toPixels(layout_.bounds.left), toPixels(layout_.bounds.top)};
        const int margin = static_cast<int>(std::lround(kCornerMargin * scale()));
        const POINT at = placement(layout_.start, size, primaryMonitor(), fixed, margin);
        SetWindowPos(window_, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(window_, layout_.takesFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE);
        if (layout_.alert) NotifyWinEvent(EVENT_SYSTEM_ALERT, window_, OBJID_CLIENT, CHILDID_SELF);
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
        if (c.kind == Kind::Label) c.hfont.reset(createFont(c.font, dpi_ * fit_));
        // A hidden text without a size is a value the window keeps, never seen: it needs
        // no edit control, whose class and font hold up a program's first window.
        if (c.kind != Kind::TextBox || (!c.visible && c.bounds.width == 0 && c.bounds.height == 0)) continue;
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
        c.edit = CreateWindowExW(0, L"EDIT", L"", style, toPixels(c.bounds.left), toPixels(c.bounds.top),
                                 toPixels(c.bounds.width), toPixels(c.bounds.height), window_,
                                 reinterpret_cast<HMENU>(i + 1), GetModuleHandleW(nullptr), nullptr);
        if (!c.edit)
            throw sys::Failure(L"无法创建窗口“" + layout_.caption + L"”的文本框 " + c.name + L"：" +
                               sys::describe(GetLastError()));
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

int Form::drawnWidth(const std::wstring& name, const std::wstring& line) const {
    const Control& c = control(name);
    const sys::WindowDc dc(window_);
    const RECT box = pixelRect(name);
    const sys::Font narrow = narrowedFont(dc, c, line, box.right - box.left - toPixels(kFittedGap));
    sys::Selection selected(dc, narrow ? narrow.get() : c.hfont.get());
    SIZE size{};
    GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size);
    return size.cx;
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

void Form::fitToPicture(const std::wstring& name) {
    const Control& c = control(name);
    if (layout_.bounds.width == c.bounds.width && layout_.bounds.height == c.bounds.height) return;
    layout_.bounds.width = c.bounds.width;
    layout_.bounds.height = c.bounds.height;
    if (!window_) return;
    RECT now{};
    GetWindowRect(window_, &now);
    scaleTo(dpi_, monitorOf(now));  // the new size may fit the work area at another factor
    const SIZE size = windowSize();
    SetWindowPos(window_, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::afterShown(std::function<void()> work) {
    afterShown_.push_back(std::move(work));
    if (window_ && afterShown_.size() == 1) PostMessageW(window_, kRunAfterShown, 0, 0);
}

void Form::showThemePicture(bool light) {
    setVisible(L"Image1", light);
    setVisible(L"Image2", !light);
}

int Form::toPixels(int twips) const {
    return static_cast<int>(std::lround(twips * (dpi_ * fit_) / kTwipsPerInch));
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

void Form::postDefaultAction(size_t index) {
    if (window_) PostMessageW(window_, kDefaultAction, index, 0);
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

// The picture that alone makes what the window draws, where it covers all of it.
const Control* Form::wholeWindowPicture(SIZE client) const {
    const Control* picture = nullptr;
    for (const Control& c : layout_.controls) {
        if (!c.visible || (c.kind != Kind::Picture && c.kind != Kind::Label)) continue;
        if (picture || c.kind != Kind::Picture) return nullptr;
        picture = &c;
    }
    if (!picture || !picture->scaled) return nullptr;
    const RECT r = pixelRect(picture->name);
    const SIZE drawn = pictureSize(picture->picture);
    return r.left <= 0 && r.top <= 0 && r.left + toPixels(drawn.cx * kTwipsPerPixel) >= client.cx &&
                   r.top + toPixels(drawn.cy * kTwipsPerPixel) >= client.cy
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
            const sys::Font narrow = narrowedFont(dc, c, line, r.right - r.left - toPixels(kFittedGap));
            sys::Selection selected(dc, narrow ? narrow.get() : c.hfont.get());
            TextOutW(dc, r.left, r.top, line.c_str(), static_cast<int>(line.size()));
        }
        r.top += metrics.tmHeight;
        from = end + 2;
    }
}

void Form::paint(HDC dc) {
    // Every picture is loaded before anything is drawn: one that fails stops the paint
    // before it starts, never halfway. Each is kept at the window's scale until it changes.
    for (Control& c : layout_.controls) {
        if (c.kind != Kind::Picture || !c.visible || c.scaled) continue;
        const SIZE picture = pictureSize(c.picture);
        c.scaled.reset(loadPicture(
            c.picture, {toPixels(picture.cx * kTwipsPerPixel), toPixels(picture.cy * kTwipsPerPixel)}));
    }
    const SIZE size = clientSize();
    if (const Control* picture = wholeWindowPicture(size)) {
        // One picture over the whole window (the splash, the pop-up) goes straight to the
        // screen: a back buffer would copy it twice more, about 10 ms at 2x under Wine.
        const RECT r = pixelRect(picture->name);
        const sys::MemoryDc source = sys::memoryDcLike(dc);
        sys::Selection selected(source, picture->scaled);
        BitBlt(dc, r.left, r.top, size.cx - r.left, size.cy - r.top, source, 0, 0, SRCCOPY);
        return;
    }
    const sys::Canvas canvas(dc, size);
    const RECT all{0, 0, size.cx, size.cy};
    FillRect(canvas, &all, sys::Brush(CreateSolidBrush(layout_.back)));
    SetBkMode(canvas, TRANSPARENT);

    for (Control& c : layout_.controls) {
        if (!c.visible) continue;
        RECT r = pixelRect(c.name);
        if (c.kind == Kind::Picture) {
            // The picture at the window's scale, drawn once and kept; a picture larger
            // than the window is cut off at its edge.
            const SIZE picture = pictureSize(c.picture);
            const SIZE shown{toPixels(picture.cx * kTwipsPerPixel), toPixels(picture.cy * kTwipsPerPixel)};
            if (!c.scaled) continue;
            const sys::MemoryDc source = sys::memoryDcLike(canvas);
            sys::Selection selected(source, c.scaled);
            BitBlt(canvas, r.left, r.top, shown.cx, shown.cy, source, 0, 0, SRCCOPY);
        } else if (c.kind == Kind::Label) {
            if (c.opaque) FillRect(canvas, &r, sys::Brush(CreateSolidBrush(c.back)));
            sys::Selection selected(canvas, c.hfont);
            SetTextColor(canvas, c.color);
            UINT format = DT_NOPREFIX | DT_LEFT | DT_TOP;
            if (c.autoSize) {
                format |= DT_SINGLELINE;
                r.right = c.cutAt ? toPixels(c.cutAt) : size.cx;  // grows with its text up to the cut
            } else {
                format |= c.wordWrap ? DT_WORDBREAK | DT_EDITCONTROL : 0;
            }
            IntersectClipRect(canvas, r.left, r.top, r.right, r.bottom);
            if (c.fitLines)
                drawFitted(canvas, c, r);
            else
                DrawTextW(canvas, c.text.c_str(), static_cast<int>(c.text.size()), &r, format);
            SelectClipRgn(canvas, nullptr);
        }
    }
    BitBlt(dc, 0, 0, size.cx, size.cy, canvas, 0, 0, SRCCOPY);
}

// Activated (by a click, or when a window above it closes), a window lifts the tool
// windows it opened back above itself, as owned windows stay above their owner.
void Form::raiseOpened() const {
    struct Search {
        HWND opener;
        std::vector<HWND> opened;  // top to bottom
    } search{window_, {}};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(context);
            // Another program's window of the same class holds a pointer of its own.
            if (GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) return TRUE;
            const Form* form = formOf(window);
            if (form && form->opener_ == s.opener && IsWindowVisible(window)) s.opened.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    for (auto it = search.opened.rbegin(); it != search.opened.rend(); ++it)
        SetWindowPos(*it, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

LRESULT Form::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            const sys::PaintDc dc(window_);
            paint(dc);
            drawFocusCue(dc);
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
            PostMessageW(window_, kRaiseOpened, 0, 0);
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
        case WM_DPICHANGED: {
            // Another monitor, or its scaling changed: the suggested rectangle, at a
            // fitting size where the window would no longer fit there.
            const RECT suggested = *reinterpret_cast<const RECT*>(lParam);
            scaleTo(LOWORD(wParam), monitorOf(suggested));
            SIZE size{suggested.right - suggested.left, suggested.bottom - suggested.top};
            if (fit_ < 1) size = windowSize();
            SetWindowPos(window_, nullptr, suggested.left, suggested.top, size.cx, size.cy,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case kRunAfterShown: {
            const auto work = std::move(afterShown_);
            afterShown_.clear();
            for (const auto& run : work) run();
            startTimers();
            return 0;
        }
        case WM_TIMER: {
            if (wParam == kKeepOnTop) {
                keepOnTop();
                return 0;
            }
            const size_t index = static_cast<size_t>(wParam) - 1;
            if (index < layout_.controls.size() && layout_.controls[index].kind == Kind::Timer)
                fire(layout_.controls[index].name);
            return 0;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) >= 1 && LOWORD(wParam) <= layout_.controls.size()) {
                Control& c = layout_.controls[LOWORD(wParam) - 1u];
                if (HIWORD(wParam) == EN_SETFOCUS) focused_ = LOWORD(wParam) - 1;  // clicked into
                if (HIWORD(wParam) == EN_CHANGE) {
                    ++c.changes;
                    TextBox_Change(c.name);
                }
            }
            break;
        case WM_SETFOCUS:
            takeFocus();
            return 0;
        case WM_UPDATEUISTATE:
            if (HIWORD(wParam) & UISF_HIDEFOCUS) {
                if (LOWORD(wParam) == UIS_SET) cuesHidden_ = true;
                if (LOWORD(wParam) == UIS_CLEAR) cuesHidden_ = false;
            }
            InvalidateRect(window_, nullptr, FALSE);
            break;
        case WM_KILLFOCUS:
            InvalidateRect(window_, nullptr, FALSE);  // the focus cue goes with the focus
            break;
        case WM_GETOBJECT:
            if (const LRESULT answer = answerClientObject(window_, wParam, lParam)) return answer;
            break;
        case kDefaultAction: {
            const size_t index = wParam;
            if (index < layout_.controls.size() && layout_.controls[index].kind == Kind::ClickArea &&
                layout_.controls[index].visible)
                fire(layout_.controls[index].name);
            return 0;
        }
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
            for (const Control& c : layout_.controls) {
                if (c.edit != reinterpret_cast<HWND>(lParam)) continue;
                HDC dc = reinterpret_cast<HDC>(wParam);
                SetTextColor(dc, c.color);
                SetBkColor(dc, c.back);
                return reinterpret_cast<LRESULT>(c.brush.get());
            }
            break;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE) PostMessageW(window_, kRaiseOpened, 0, 0);
            break;
        case kRaiseOpened:
            raiseOpened();
            return 0;
        case WM_CLOSE:
            Form_QueryUnload();
            return 0;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace ui
