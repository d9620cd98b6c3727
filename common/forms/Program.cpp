#include "forms/Program.h"

#include <algorithm>
#include <map>
#include <typeindex>
#include <vector>

#include "forms/Pictures.h"
#include "forms/Screen.h"
#include "system/Failure.h"
#include "system/System.h"

namespace ui {

void registerFormClass();

namespace {

struct Windows {
    std::vector<std::unique_ptr<Form>> open;
    std::vector<std::unique_ptr<Form>> unloaded;
    std::map<const Form*, const std::type_info*> kinds;  // the window each open one is shown as
};

Windows& windows() {
    static Windows all;
    return all;
}

}  // namespace

void initialise(const std::wstring& programName) {
    declareDpiAwareness();
    // By default Windows swallows an exception that leaves a timer's callback and runs
    // on as if nothing had happened. Ours are all guarded; any that is not must end the
    // program. Windows 7 and later offer the switch; older systems and Wine refuse it
    // (ERROR_INVALID_PARAMETER), and nothing else can be done there.
    BOOL suppress = FALSE;
    SetUserObjectInformationW(GetCurrentProcess(), UOI_TIMERPROC_EXCEPTION_SUPPRESSION, &suppress,
                              sizeof suppress);
    sys::setProgramName(programName);
    guard(registerFormClass);
}

int run() {
    MSG message{};
    while (openCount() > 0 && GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Keys the window takes before its controls (shortcuts), then moving about it.
        bool taken = false;
        guard([&] { taken = previewKey(message) || navigate(message); });
        if (!taken) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        collect();
    }
    return 0;
}

bool previewKey(const MSG& message) {
    if (message.message != WM_KEYDOWN) return false;
    Form* form = formOf(message.hwnd);
    return form && form->pressKey(static_cast<UINT>(message.wParam), GetKeyState(VK_CONTROL) < 0);
}

namespace {
std::map<UINT_PTR, void (*)()>& programTimers() {
    static std::map<UINT_PTR, void (*)()> timers;
    return timers;
}
// Windows calls this outside every window's message handling: a failure is stopped
// here, as in a window, and never reaches the system's frames.
void CALLBACK programTick(HWND, UINT, UINT_PTR id, DWORD) {
    const auto found = programTimers().find(id);
    if (found != programTimers().end()) guard(found->second);
}
}  // namespace

void startProgramTimer(unsigned interval, void (*tick)()) {
    for (const auto& [id, running] : programTimers())
        if (running == tick) return;
    if (const UINT_PTR id = SetTimer(nullptr, 0, interval, programTick)) programTimers()[id] = tick;
}

void stopProgramTimer(void (*tick)()) {
    for (auto it = programTimers().begin(); it != programTimers().end(); ++it)
        if (it->second == tick) {
            KillTimer(nullptr, it->first);
            programTimers().erase(it);
            return;
        }
}

void endNow() {
    sys::system().endNow();
}

namespace {

std::wstring describeFailure(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const sys::Failure& known) {
        return known.text();
    } catch (const std::bad_alloc&) {
        return L"内存不足。";
    } catch (const std::exception& other) {
        const std::string what = other.what();
        return L"程序内部错误（" + std::wstring(what.begin(), what.end()) + L"）。";
    } catch (...) {
        return L"程序内部错误。";
    }
}

}  // namespace

bool guard(const std::function<void()>& action) {
    std::exception_ptr failure;
    try {
        action();
        return true;
    } catch (const sys::Ended&) {
        return false;  // a test's end of the program: the handler stops here
    } catch (...) {
        failure = std::current_exception();
    }
    try {
        for (auto& form : windows().open)
            if (form->hwnd()) ShowWindow(form->hwnd(), SW_HIDE);
        sys::message(L"出错了，程序将结束。\n\n" + describeFailure(failure), sys::Icon::Error);
        endNow();
    } catch (...) {
        // A test's end, or a failure while telling the first one: nothing more to do.
    }
    return false;
}

bool navigate(const MSG& message) {
    if (message.message != WM_KEYDOWN) return false;
    Form* form = formOf(message.hwnd);
    return form && form->navigate(message.hwnd, static_cast<UINT>(message.wParam), GetKeyState(VK_SHIFT) < 0);
}

size_t openCount() {
    return windows().open.size();
}

void collect() {
    windows().unloaded.clear();
}

namespace detail {

Form* findOpen(const std::type_info& type) {
    for (auto& form : windows().open)
        if (*windows().kinds[form.get()] == type) return form.get();
    return nullptr;
}

Form& adopt(std::unique_ptr<Form> form, const std::type_info& type) {
    windows().kinds[form.get()] = &type;
    windows().open.push_back(std::move(form));
    return *windows().open.back();
}

void forget(Form* form) {
    auto& open = windows().open;
    auto it = std::find_if(open.begin(), open.end(), [&](auto& f) { return f.get() == form; });
    if (it == open.end()) return;
    windows().kinds.erase(form);
    windows().unloaded.push_back(std::move(*it));
    open.erase(it);
}

Maker& standIn(const std::type_info& type) {
    static std::map<std::type_index, Maker> standIns;
    return standIns[type];
}

}  // namespace detail
}  // namespace ui
