// A form's lifecycle: its window made, shown, scaled to its monitor and destroyed.
#include "forms/Form.h"

#include <cmath>

#include "forms/Messages.h"
#include "forms/Program.h"
#include "forms/Screen.h"
#include "system/Failure.h"
#include "system/Paths.h"
#include "system/System.h"

namespace ui {

namespace {

constexpr int kProgramIcon = 1;
constexpr UINT kKeepOnTopInterval = 100;
constexpr DWORD kRaiseAfterFrontChange = 1000;  // ms
constexpr int kCornerMargin = 12;               // pixels at 96 dpi between a moved pop-up and the corner

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
    createWindow();
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

void Form::createWindow() {
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

int Form::toPixels(int twips) const {
    return static_cast<int>(std::lround(twips * (dpi_ * fit_) / kTwipsPerInch));
}

SIZE Form::clientSize() const {
    RECT client{};
    if (window_) GetClientRect(window_, &client);
    return {client.right, client.bottom};
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

}  // namespace ui
