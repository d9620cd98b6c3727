// A form's window procedure: each message the form answers goes to a small handler of
// its own, found in one table; the rest to the system's default.
#include "forms/Messages.h"

#include <windowsx.h>

#include <iterator>
#include <utility>
#include <vector>

#include "forms/Accessible.h"
#include "forms/Form.h"
#include "forms/Program.h"
#include "forms/Screen.h"
#include "system/Failure.h"
#include "system/Paths.h"
#include "system/System.h"

namespace ui {

namespace {

// The windows whose handlers are running, innermost last.
std::vector<HWND>& running() {
    static std::vector<HWND> windows;
    return windows;
}

void* innermostWindow() {
    for (auto it = running().rbegin(); it != running().rend(); ++it)
        if (IsWindow(*it)) return *it;
    return nullptr;
}

POINT pointOf(LPARAM lParam) {
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

}  // namespace

Running::Running(HWND window) {
    running().push_back(window);
}

Running::~Running() {
    running().pop_back();
}

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

LRESULT Form::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    static const std::pair<UINT, Route> routes[] = {
        {WM_PAINT, &Form::onPaint},
        {WM_ERASEBKGND, &Form::onEraseBackground},
        {WM_LBUTTONDOWN, &Form::onPress},
        {WM_LBUTTONDBLCLK, &Form::onPress},
        {WM_LBUTTONUP, &Form::onClick},
        {WM_SETCURSOR, &Form::onSetCursor},
        {WM_DPICHANGED, &Form::onDpiChanged},
        {kRunAfterShown, &Form::onShown},
        {WM_TIMER, &Form::onTimer},
        {WM_COMMAND, &Form::onCommand},
        {WM_SETFOCUS, &Form::onSetFocus},
        {WM_UPDATEUISTATE, &Form::onUiState},
        {WM_KILLFOCUS, &Form::onKillFocus},
        {WM_GETOBJECT, &Form::onGetObject},
        {kDefaultAction, &Form::onDefaultAction},
        {WM_CTLCOLOREDIT, &Form::onControlColour},
        {WM_CTLCOLORSTATIC, &Form::onControlColour},
        {WM_CLOSE, &Form::onClose},
        {WM_ACTIVATE, &Form::onActivate},
        {kRaiseOpened, &Form::onRaiseOpened},
    };
    for (const auto& [routed, route] : routes)
        if (routed == message) {
            if (const Reply reply = (this->*route)(wParam, lParam)) return *reply;
            break;
        }
    return DefWindowProcW(window_, message, wParam, lParam);
}

Form::Reply Form::onPaint(WPARAM, LPARAM) {
    const sys::PaintDc dc(window_);
    paint(dc);
    drawFocusCue(dc);
    return 0;
}

Form::Reply Form::onEraseBackground(WPARAM, LPARAM) {
    return 1;
}

Form::Reply Form::onPress(WPARAM, LPARAM at) {
    pressed_ = hitTest(pointOf(at));
    if (pressed_ >= 0) SetCapture(window_);
    return 0;
}

// A click fires on release over the same area it was pressed on.
Form::Reply Form::onClick(WPARAM, LPARAM at) {
    const int pressed = pressed_;
    pressed_ = -1;
    raiseOpenedSoon();
    if (GetCapture() == window_) ReleaseCapture();
    if (pressed >= 0 && hitTest(pointOf(at)) == pressed)
        fire(layout_.controls[static_cast<size_t>(pressed)].name);
    return 0;
}

Form::Reply Form::onSetCursor(WPARAM, LPARAM hit) {
    if (LOWORD(hit) != HTCLIENT) return std::nullopt;
    POINT at;
    GetCursorPos(&at);
    ScreenToClient(window_, &at);
    SetCursor(LoadCursorW(nullptr, hitTest(at) >= 0 ? IDC_HAND : IDC_ARROW));
    return TRUE;
}

// Another monitor, or its scaling changed: the suggested rectangle, at a fitting size
// where the window would no longer fit there.
Form::Reply Form::onDpiChanged(WPARAM dpi, LPARAM suggestedRect) {
    const RECT suggested = *reinterpret_cast<const RECT*>(suggestedRect);
    scaleTo(LOWORD(dpi), monitorOf(suggested));
    SIZE size{suggested.right - suggested.left, suggested.bottom - suggested.top};
    if (fit_ < 1) size = windowSize();
    SetWindowPos(window_, nullptr, suggested.left, suggested.top, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

Form::Reply Form::onShown(WPARAM, LPARAM) {
    const auto work = std::move(afterShown_);
    afterShown_.clear();
    for (const auto& run : work) run();
    startTimers();
    return 0;
}

Form::Reply Form::onTimer(WPARAM id, LPARAM) {
    if (id == kKeepOnTop) {
        keepOnTop();
        return 0;
    }
    const size_t index = static_cast<size_t>(id) - 1;
    if (index < layout_.controls.size() && layout_.controls[index].kind == Kind::Timer)
        fire(layout_.controls[index].name);
    return 0;
}

Form::Reply Form::onCommand(WPARAM command, LPARAM) {
    const WORD id = LOWORD(command);
    if (id < 1 || id > layout_.controls.size()) return std::nullopt;
    Control& c = layout_.controls[id - 1u];
    if (HIWORD(command) == EN_SETFOCUS) focused_ = id - 1;  // clicked into
    if (HIWORD(command) == EN_CHANGE) {
        ++c.changes;
        TextBox_Change(c.name);
    }
    return std::nullopt;
}

Form::Reply Form::onSetFocus(WPARAM, LPARAM) {
    takeFocus();
    return 0;
}

Form::Reply Form::onUiState(WPARAM state, LPARAM) {
    if (HIWORD(state) & UISF_HIDEFOCUS) {
        if (LOWORD(state) == UIS_SET) cuesHidden_ = true;
        if (LOWORD(state) == UIS_CLEAR) cuesHidden_ = false;
    }
    InvalidateRect(window_, nullptr, FALSE);
    return std::nullopt;
}

Form::Reply Form::onKillFocus(WPARAM, LPARAM) {
    InvalidateRect(window_, nullptr, FALSE);  // the focus cue goes with the focus
    return std::nullopt;
}

Form::Reply Form::onGetObject(WPARAM flags, LPARAM objectId) {
    if (const LRESULT answer = answerClientObject(window_, flags, objectId)) return answer;
    return std::nullopt;
}

Form::Reply Form::onDefaultAction(WPARAM index, LPARAM) {
    if (index < layout_.controls.size() && layout_.controls[index].kind == Kind::ClickArea &&
        layout_.controls[index].visible)
        fire(layout_.controls[index].name);
    return 0;
}

Form::Reply Form::onControlColour(WPARAM dc, LPARAM control) {
    for (const Control& c : layout_.controls) {
        if (c.edit != reinterpret_cast<HWND>(control)) continue;
        SetTextColor(reinterpret_cast<HDC>(dc), c.color);
        SetBkColor(reinterpret_cast<HDC>(dc), c.back);
        return reinterpret_cast<LRESULT>(c.brush.get());
    }
    return std::nullopt;
}

Form::Reply Form::onClose(WPARAM, LPARAM) {
    Form_QueryUnload();
    return 0;
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

void Form::fire(const std::wstring& name) {
    const Handler handler = control(name).handler;
    if (handler) (this->*handler)();
}

void Form::postDefaultAction(size_t index) {
    if (window_) PostMessageW(window_, kDefaultAction, index, 0);
}

Form::Reply Form::onActivate(WPARAM state, LPARAM) {
    if (LOWORD(state) != WA_INACTIVE) raiseOpenedSoon();
    return std::nullopt;
}

Form::Reply Form::onRaiseOpened(WPARAM, LPARAM) {
    raiseOpened();
    return 0;
}

// A full message queue refuses the post: the windows are lifted now, which under Wine
// may come before the front changes, rather than not at all.
void Form::raiseOpenedSoon() const {
    if (!PostMessageW(window_, kRaiseOpened, 0, 0)) raiseOpened();
}

}  // namespace ui
