// The screens a window lands on: the process's DPI awareness, each monitor's DPI and
// work area, and the rules that fit and place a window there. The windows' tables
// stay in twips; these rules turn them into pixels of one monitor.
#pragma once

#include <windows.h>

namespace ui {

enum class Start;

// Per-monitor v2 awareness, falling back to per-monitor, then to system awareness on
// systems that lack the newer calls. Once, before the first window.
void declareDpiAwareness();

struct Monitor {
    int dpi = 96;
    RECT area{};  // the whole screen of the monitor
    RECT work{};  // the screen without the task bar
};
Monitor primaryMonitor();
Monitor monitorOf(const RECT& rect);
// The system's DPI, which is the primary monitor's at sign-in, read without starting the
// window system: a guess for work begun before the first window.
int systemDpi();

// The uniform factor (at most 1) by which a window of `design` pixels at 96 dpi, drawn
// at `dpi` with a frame of `frame` pixels, shrinks until it fits the work area.
double fitFactor(SIZE design, int dpi, SIZE frame, const RECT& work);

// The top-left corner of a window of `size` pixels: centred on the monitor, or at
// the top left of its work area, or at `fixed` (a place of the primary monitor) when
// it lies wholly in the work area there, else `margin` pixels from the work area's
// bottom-right corner. The centred and top-left windows are kept inside the work area.
POINT placement(Start start, SIZE size, const Monitor& monitor, POINT fixed, int margin);

}  // namespace ui
