#include "forms/Screen.h"

#include <algorithm>

#include "forms/Form.h"
#include "system/Scoped.h"

namespace ui {

namespace {

// The newer calls are looked up at run time: the programs also start on systems that
// lack them, where the system awareness of old is the best there is.
template <class F>
F lookUp(const wchar_t* module, const char* name) {
    HMODULE loaded = GetModuleHandleW(module);
    if (!loaded) loaded = LoadLibraryW(module);
    return loaded ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(loaded, name))) : nullptr;
}

const auto perMonitorV2 = reinterpret_cast<HANDLE>(-4);  // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
const auto perMonitor = reinterpret_cast<HANDLE>(-3);    // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE
constexpr int kProcessPerMonitorAware = 2;               // PROCESS_PER_MONITOR_DPI_AWARE
constexpr int kEffectiveDpi = 0;                         // MDT_EFFECTIVE_DPI

int dpiOf(HMONITOR monitor) {
    using GetDpiForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const auto get = lookUp<GetDpiForMonitor>(L"shcore.dll", "GetDpiForMonitor");
    UINT x = 0, y = 0;
    if (get && monitor && SUCCEEDED(get(monitor, kEffectiveDpi, &x, &y)) && x > 0) return static_cast<int>(x);
    const int dpi = GetDeviceCaps(sys::WindowDc(nullptr), LOGPIXELSX);
    return dpi > 0 ? dpi : 96;
}

Monitor describe(HMONITOR handle) {
    Monitor m;
    m.dpi = dpiOf(handle);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (handle && GetMonitorInfoW(handle, &info)) {
        m.area = info.rcMonitor;
        m.work = info.rcWork;
    } else {
        m.area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        m.work = m.area;
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &m.work, 0);
    }
    return m;
}

}  // namespace

void declareDpiAwareness() {
    using SetContext = BOOL(WINAPI*)(HANDLE);
    using SetAwareness = HRESULT(WINAPI*)(int);
    if (auto set = lookUp<SetContext>(L"user32.dll", "SetProcessDpiAwarenessContext")) {
        if (set(perMonitorV2) || set(perMonitor)) return;
        if (GetLastError() == ERROR_ACCESS_DENIED) return;  // the manifest has spoken
    }
    if (auto set = lookUp<SetAwareness>(L"shcore.dll", "SetProcessDpiAwareness"))
        if (SUCCEEDED(set(kProcessPerMonitorAware))) return;
    SetProcessDPIAware();
}

int systemDpi() {
    using GetDpiForSystem = UINT(WINAPI*)();
    static const auto get = lookUp<GetDpiForSystem>(L"user32.dll", "GetDpiForSystem");
    const int dpi = get ? static_cast<int>(get()) : 0;
    return dpi > 0 ? dpi : primaryMonitor().dpi;
}

Monitor primaryMonitor() {
    return describe(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY));
}

Monitor monitorOf(const RECT& rect) {
    return describe(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST));
}

double fitFactor(SIZE design, int dpi, SIZE frame, const RECT& work) {
    const double width = design.cx * dpi / 96.0, height = design.cy * dpi / 96.0;
    const double room_x = work.right - work.left - frame.cx, room_y = work.bottom - work.top - frame.cy;
    double fit = 1.0;
    if (width > room_x && width > 0) fit = std::min(fit, room_x / width);
    if (height > room_y && height > 0) fit = std::min(fit, room_y / height);
    return std::max(fit, 0.1);
}

POINT placement(Start start, SIZE size, const Monitor& monitor, POINT fixed, int margin) {
    const RECT& work = monitor.work;
    if (start == Start::Fixed) {
        const bool seen = fixed.x >= work.left && fixed.y >= work.top && fixed.x + size.cx <= work.right &&
                          fixed.y + size.cy <= work.bottom;
        if (seen) return fixed;
        return {work.right - margin - size.cx, work.bottom - margin - size.cy};
    }
    POINT at{work.left, work.top};
    if (start == Start::Centred) {
        const RECT& area = monitor.area;
        at = {area.left + (area.right - area.left - size.cx) / 2,
              area.top + (area.bottom - area.top - size.cy) / 2};
    }
    // Inside the work area, and where it cannot be, with its top-left corner seen.
    at.x = std::max(std::min(at.x, work.right - size.cx), work.left);
    at.y = std::max(std::min(at.y, work.bottom - size.cy), work.top);
    return at;
}

}  // namespace ui
