// The keyboard in a window of windowless click areas: Tab and the arrows move a focus
// that the window keeps itself, Enter and Space run the area's handler as a click does,
// and a cue is drawn around the area once the keyboard has been used in the window
// (the system's rule: mouse users never see it).
#include <oleacc.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "forms/Form.h"

namespace ui {

namespace {

constexpr int kCueGap = 3;   // pixels at 96 dpi between an area and its cue
constexpr int kCueLine = 2;  // pixels at 96 dpi of each of the cue's two lines

struct Centre {
    double x, y;
};
Centre centreOf(const RECT& r) {
    return {(r.left + r.right) / 2.0, (r.top + r.bottom) / 2.0};
}

// How far `to` lies from `from` in the direction of an arrow key, or -1 where its centre
// does not lie beyond that edge of `from`: the gap along the arrow, then the gap across
// it, then how far the centres stand apart across it (the tile straight below comes
// before one beside it).
double distanceToward(UINT key, const RECT& from, const RECT& to) {
    const Centre a = centreOf(from), b = centreOf(to);
    const bool horizontal = key == VK_LEFT || key == VK_RIGHT;
    const bool forward = key == VK_RIGHT || key == VK_DOWN;
    const bool beyond = key == VK_RIGHT  ? b.x >= from.right
                        : key == VK_LEFT ? b.x <= from.left
                        : key == VK_DOWN ? b.y >= from.bottom
                                         : b.y <= from.top;
    if (!beyond) return -1;
    const LONG gap = horizontal ? (forward ? to.left - from.right : from.left - to.right)
                                : (forward ? to.top - from.bottom : from.top - to.bottom);
    const LONG across = horizontal ? std::max(to.top - from.bottom, from.top - to.bottom)
                                   : std::max(to.left - from.right, from.left - to.right);
    const double offset = horizontal ? std::abs(b.y - a.y) : std::abs(b.x - a.x);
    return std::max<LONG>(0, gap) + 2.0 * std::max<LONG>(0, across) + offset / 4;
}

}  // namespace

std::vector<size_t> Form::focusOrder() const {
    std::vector<size_t> order, crosses;
    for (size_t i = 0; i < layout_.controls.size(); ++i) {
        const Control& c = layout_.controls[i];
        if (!c.visible || !(c.kind == Kind::ClickArea || (c.kind == Kind::TextBox && c.edit))) continue;
        (c.cross ? crosses : order).push_back(i);
    }
    order.insert(order.end(), crosses.begin(), crosses.end());
    return order;
}

int Form::focusedItem() const {
    if (!window_) return -1;
    const HWND focus = GetFocus();
    for (size_t i = 0; i < layout_.controls.size(); ++i)
        if (layout_.controls[i].edit && layout_.controls[i].edit == focus) return static_cast<int>(i);
    return focus == window_ ? focused_ : -1;
}

void Form::focusItem(size_t index) {
    const std::vector<size_t> order = focusOrder();
    const auto at = std::find(order.begin(), order.end(), index);
    if (!window_ || at == order.end()) return;
    focused_ = static_cast<int>(index);
    const Control& c = layout_.controls[index];
    if (c.edit) {
        SetFocus(c.edit);
        if (!c.multiLine) SendMessageW(c.edit, EM_SETSEL, 0, -1);
    } else {
        if (GetFocus() != window_) SetFocus(window_);
        // The edit controls tell of their focus themselves; a windowless area is told here.
        NotifyWinEvent(EVENT_OBJECT_FOCUS, window_, OBJID_CLIENT, static_cast<LONG>(at - order.begin()) + 1);
    }
    InvalidateRect(window_, nullptr, FALSE);
}

// The window got the system's focus: the item that had it keeps it; at first, the first
// text box that takes input (a person can type at once), else the first item.
void Form::takeFocus() {
    const std::vector<size_t> order = focusOrder();
    if (focused_ >= 0 && std::find(order.begin(), order.end(), focused_) != order.end()) {
        focusItem(static_cast<size_t>(focused_));
        return;
    }
    for (size_t i : order)
        if (layout_.controls[i].edit && !layout_.controls[i].readOnly) {
            focusItem(i);
            return;
        }
    if (!order.empty()) focusItem(order.front());
}

bool Form::navigate(HWND target, UINT key, bool shift) {
    if (!window_) return false;
    const bool inBox = target != window_;
    const std::vector<size_t> order = focusOrder();
    const int current = focusedItem();
    const auto at = std::find(order.begin(), order.end(), current);
    switch (key) {
        case VK_TAB: {
            if (order.empty()) return false;
            showFocusCues();
            const size_t n = order.size();
            size_t next = shift ? n - 1 : 0;
            if (at != order.end()) next = (static_cast<size_t>(at - order.begin()) + (shift ? n - 1 : 1)) % n;
            focusItem(order[next]);
            return true;
        }
        case VK_ESCAPE:
            if (!layout_.escapeCloses) return false;
            Form_QueryUnload();  // as the system's close does
            return true;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN: {
            if (inBox || at == order.end()) return false;
            showFocusCues();
            const int nearest = nearestToward(key, current, order);
            if (nearest >= 0) focusItem(static_cast<size_t>(nearest));
            return true;
        }
        case VK_RETURN:
        case VK_SPACE:
            if (inBox || at == order.end() ||
                layout_.controls[static_cast<size_t>(current)].kind != Kind::ClickArea)
                return false;
            fire(layout_.controls[static_cast<size_t>(current)].name);
            return true;
    }
    return false;
}

// The item of `order` nearest to `current` in the direction of an arrow key, or -1.
int Form::nearestToward(UINT key, int current, const std::vector<size_t>& order) const {
    const RECT from = pixelRect(layout_.controls[static_cast<size_t>(current)].name);
    double best = std::numeric_limits<double>::max();
    int nearest = -1;
    for (size_t i : order) {
        if (static_cast<int>(i) == current) continue;
        const double distance = distanceToward(key, from, pixelRect(layout_.controls[i].name));
        if (distance >= 0 && distance < best) {
            best = distance;
            nearest = static_cast<int>(i);
        }
    }
    return nearest;
}

void Form::showFocusCues() {
    cuesHidden_ = false;
    SendMessageW(window_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

bool Form::focusCueShown() const {
    if (!window_ || GetFocus() != window_ || focused_ < 0) return false;
    const Control& c = layout_.controls[static_cast<size_t>(focused_)];
    if (c.kind != Kind::ClickArea || !c.visible) return false;
    return !cuesHidden_;
}

// Two lines around the area, dark outside and white inside, so that the cue shows on
// the light and on the dark pictures alike; thicker at a larger scale.
void Form::drawFocusCue(HDC dc) const {
    if (!focusCueShown()) return;
    const SIZE client = clientSize();
    const int line = std::max(1, static_cast<int>(std::lround(kCueLine * scale())));
    const int gap = static_cast<int>(std::lround(kCueGap * scale()));
    RECT outer = pixelRect(layout_.controls[static_cast<size_t>(focused_)].name);
    InflateRect(&outer, gap + 2 * line, gap + 2 * line);
    const RECT all{0, 0, client.cx, client.cy};
    IntersectRect(&outer, &outer, &all);
    const auto ring = [&](RECT r, COLORREF colour) {
        const sys::Brush brush(CreateSolidBrush(colour));
        const RECT sides[] = {{r.left, r.top, r.right, r.top + line},
                              {r.left, r.bottom - line, r.right, r.bottom},
                              {r.left, r.top, r.left + line, r.bottom},
                              {r.right - line, r.top, r.right, r.bottom}};
        for (const RECT& side : sides) FillRect(dc, &side, brush);
    };
    ring(outer, RGB(16, 16, 24));
    InflateRect(&outer, -line, -line);
    ring(outer, RGB(255, 255, 255));
}

}  // namespace ui
