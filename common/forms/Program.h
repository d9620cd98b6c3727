// The program around the windows: each window exists once (showing an open one
// brings it to the front), and the program ends when its last window unloads.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <typeinfo>

#include "forms/Form.h"

namespace ui {

// Once, before the first window: DPI awareness, the picture decoder, the window class,
// and the name that titles message boxes.
void initialise(const std::wstring& programName);

// Dispatches messages until the last window has unloaded. Returns the exit code.
int run();

// A key press goes first to the window it is pressed in (Form_KeyDown); true when
// the window took it, and the control with the focus then never sees it.
bool previewKey(const MSG& message);

// A timer of the program rather than of one window: it ticks while the program runs,
// whichever windows come and go. Starting a running one changes nothing.
void startProgramTimer(unsigned interval, void (*tick)());
void stopProgramTimer(void (*tick)());

// Ends the program at once: every window disappears, no further handler runs.
[[noreturn]] void endNow();

// Runs the action. When it throws, every window is hidden (none stays half drawn), a
// message box names what failed, and the program ends. Returns whether it completed.
// Every message that enters a window passes through here.
bool guard(const std::function<void()>& action);

// The keys that move about a window (Tab, Shift+Tab, the arrows), press its click areas
// (Enter, Space) or close it (Esc), pressed in the window or in one of its text boxes.
// Returns whether the window took the key.
bool navigate(const MSG& message);

// Number of loaded windows.
size_t openCount();

// Frees the windows unloaded since the last call (the message loop calls it).
void collect();

namespace detail {
Form* findOpen(const std::type_info& type);
Form& adopt(std::unique_ptr<Form> form, const std::type_info& type);
void forget(Form* form);
using Maker = std::function<std::unique_ptr<Form>()>;
Maker& standIn(const std::type_info& type);
}  // namespace detail

// For tests: show<T>() loads what make gives, a window derived from T, in place of T,
// and find<T>() finds it; an empty make puts T back.
template <class T>
void standIn(std::function<std::unique_ptr<T>()> make) {
    detail::standIn(typeid(T)) =
        make ? detail::Maker([make] { return std::unique_ptr<Form>(make()); }) : detail::Maker();
}

template <class T>
T* find() {
    return static_cast<T*>(detail::findOpen(typeid(T)));
}

template <class T>
bool isOpen() {
    return find<T>() != nullptr;
}

// Shows the window T: loads it when it is not open (its Form_Load runs first and may
// unload it again), otherwise brings the open one to the front. This is how one window
// reaches another.
template <class T>
T& show() {
    if (T* open = find<T>()) {
        open->bringUp();
        return *open;
    }
    const detail::Maker& standIn = detail::standIn(typeid(T));
    T& form = static_cast<T&>(
        detail::adopt(standIn ? standIn() : std::unique_ptr<Form>(std::make_unique<T>()), typeid(T)));
    form.load();
    if (form.loaded()) form.bringUp();
    return form;
}

}  // namespace ui
