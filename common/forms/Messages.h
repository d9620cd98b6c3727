// What a form's lifecycle shares with its message handlers: the window class, the
// messages a form posts to itself, and the windows whose handlers are running.
#pragma once

#include <windows.h>

namespace ui {

constexpr wchar_t kFormClass[] = L"OrvaneForm";
// Timer ids from 1 up are the table's rows; this one keeps a topmost window on top.
constexpr UINT_PTR kKeepOnTop = 0xF00D;
// Posted by afterShown: the message loop takes it only after the loading and the paint
// that bringUp sends.
constexpr UINT kRunAfterShown = WM_APP + 1;
// Posted by postDefaultAction: the click area's index in wParam.
constexpr UINT kDefaultAction = WM_APP + 2;
// Lifts the tool windows a window opened once its activation is complete: Wine brings
// the window to the front only after WM_ACTIVATE, or after the click that activated it.
constexpr UINT kRaiseOpened = WM_APP + 3;

// Marks a window's handler as running for as long as it lives: message boxes belong to
// the innermost such window, which may still be hidden while it loads and then shows
// beneath its box.
class Running {
public:
    explicit Running(HWND window);
    ~Running();
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;
};

}  // namespace ui
