#include "system/System.h"

#include <windows.h>
// The common dialogs and waveOut build on windows.h.
#include <commdlg.h>
#include <mmsystem.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <thread>
#include <vector>

#include "system/Paths.h"
#include "system/Scoped.h"
#include "system/WaveSound.h"

namespace sys {

namespace {

bool isBatch(const std::wstring& path) {
    const size_t dot = path.find_last_of(L'.');
    if (dot == std::wstring::npos) return false;
    const std::wstring extension = path.substr(dot);
    return _wcsicmp(extension.c_str(), L".bat") == 0 || _wcsicmp(extension.c_str(), L".cmd") == 0;
}

// A drive letter and a root (C:\...), or a network share (\\server\...): a name
// without a folder, or one relative to the current folder, would be looked for there.
bool isFullPath(const std::wstring& path) {
    const auto slash = [](wchar_t c) { return c == L'\\' || c == L'/'; };
    if (path.size() >= 3 && iswalpha(path[0]) && path[1] == L':' && slash(path[2])) return true;
    return path.size() >= 3 && slash(path[0]) && slash(path[1]) && !slash(path[2]);
}

}  // namespace

// /d: the user's AutoRun command (which conda and clink install) is not run first.
std::wstring batchCommand(const std::wstring& interpreter, const std::wstring& command) {
    return L"\"" + interpreter + L"\" /d /c \"" + command + L"\"";
}

namespace {

std::wstring commandInterpreter() {
    wchar_t folder[MAX_PATH] = {};
    GetSystemDirectoryW(folder, MAX_PATH);
    return std::wstring(folder) + L"\\cmd.exe";
}

// "a|b|c|d" → "a\0b\0c\0d\0\0", the form the common dialogs take.
std::vector<wchar_t> dialogFilter(const std::wstring& filter) {
    std::vector<wchar_t> result(filter.begin(), filter.end());
    for (wchar_t& c : result)
        if (c == L'|') c = L'\0';
    result.push_back(L'\0');
    result.push_back(L'\0');
    return result;
}

// MessageBoxW names its buttons in the system's language; a box that asks 保存, 不保存
// or 取消 renames its Yes, No and Cancel buttons as it comes up.
HHOOK relabelHook = nullptr;

LRESULT CALLBACK relabelButtons(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        const HWND box = reinterpret_cast<HWND>(wParam);
        SetDlgItemTextW(box, IDYES, L"保存");
        SetDlgItemTextW(box, IDNO, L"不保存");
        SetDlgItemTextW(box, IDCANCEL, L"取消");
        UnhookWindowsHookEx(relabelHook);
        relabelHook = nullptr;
        return 0;
    }
    return CallNextHookEx(relabelHook, code, wParam, lParam);
}

// Every other window of the program is disabled while a box is up: the box blocks the
// whole program, as a task-modal box without an owner would.
class OtherWindowsDisabled {
public:
    explicit OtherWindowsDisabled(HWND owner) : owner_(owner) {
        EnumThreadWindows(GetCurrentThreadId(), &OtherWindowsDisabled::disable,
                          reinterpret_cast<LPARAM>(this));
    }
    ~OtherWindowsDisabled() {
        for (HWND window : disabled_)
            if (IsWindow(window)) EnableWindow(window, TRUE);
    }
    OtherWindowsDisabled(const OtherWindowsDisabled&) = delete;
    OtherWindowsDisabled& operator=(const OtherWindowsDisabled&) = delete;

private:
    static BOOL CALLBACK disable(HWND window, LPARAM self) {
        auto* me = reinterpret_cast<OtherWindowsDisabled*>(self);
        if (window != me->owner_ && IsWindowEnabled(window) && IsWindowVisible(window)) {
            EnableWindow(window, FALSE);
            me->disabled_.push_back(window);
        }
        return TRUE;
    }
    HWND owner_;
    std::vector<HWND> disabled_;
};

// The flags of each choice of buttons and of each icon, in the order of their enumerations.
constexpr UINT kButtonFlags[] = {MB_OK, MB_YESNO, MB_YESNO | MB_DEFBUTTON2, MB_YESNOCANCEL};
constexpr UINT kIconFlags[] = {0, MB_ICONQUESTION, MB_ICONWARNING, MB_ICONEXCLAMATION, MB_ICONERROR};
static_assert(std::size(kButtonFlags) == static_cast<size_t>(Buttons::SaveDiscardCancel) + 1);
static_assert(std::size(kIconFlags) == static_cast<size_t>(Icon::Error) + 1);

HWND ownerWindow() {
    HWND window = static_cast<HWND>(owner());
    return window && IsWindow(window) ? GetAncestor(window, GA_ROOT) : nullptr;
}

class Win32System final : public System {
public:
    Answer messageBox(std::wstring_view text, std::wstring_view title, Buttons buttons, Icon icon) override {
        UINT flags = MB_SETFOREGROUND | kButtonFlags[static_cast<size_t>(buttons)] |
                     kIconFlags[static_cast<size_t>(icon)];
        if (buttons == Buttons::SaveDiscardCancel)
            relabelHook = SetWindowsHookExW(WH_CBT, relabelButtons, nullptr, GetCurrentThreadId());
        const std::wstring body(text);
        const std::wstring caption = title.empty() ? programName() : std::wstring(title);
        HWND owner = ownerWindow();
        flags |= owner ? MB_APPLMODAL : MB_TASKMODAL;
        OtherWindowsDisabled blocked(owner);
        const int answer = MessageBoxW(owner, body.c_str(), caption.c_str(), flags);
        if (relabelHook) UnhookWindowsHookEx(relabelHook);
        relabelHook = nullptr;
        if (buttons == Buttons::SaveDiscardCancel)
            return answer == IDYES ? Answer::Save : answer == IDNO ? Answer::Discard : Answer::Cancel;
        switch (answer) {
            case IDYES:
                return Answer::Yes;
            case IDNO:
                return Answer::No;
            default:
                return Answer::Ok;
        }
    }

    std::optional<std::wstring> openFile(const FileDialog& dialog) override {
        return fileDialog(dialog, false);
    }
    std::optional<std::wstring> saveFile(const FileDialog& dialog) override {
        return fileDialog(dialog, true);
    }

    Started start(const std::wstring& path, const std::wstring& arguments) override {
        return startProgram(path, arguments, Shown::Normally);
    }
    Started startHidden(const std::wstring& path, const std::wstring& arguments) override {
        return startProgram(path, arguments, Shown::Hidden);
    }
    Started startBehind(const std::wstring& path, const std::wstring& arguments) override {
        return startProgram(path, arguments, Shown::Behind);
    }

    void sleep(unsigned milliseconds) override { Sleep(milliseconds); }

    TimeOfDay localTime() override {
        SYSTEMTIME now{};
        GetLocalTime(&now);
        return {now.wHour, now.wMinute};
    }

    std::optional<std::wstring> environment(const std::wstring& name) override {
        const DWORD needed = GetEnvironmentVariableW(name.c_str(), nullptr, 0);
        if (needed == 0) return std::nullopt;
        std::wstring value(needed, L'\0');
        const DWORD length = GetEnvironmentVariableW(name.c_str(), value.data(), needed);
        value.resize(length);
        return value;
    }

    void endNow() override { ExitProcess(0); }

private:
    enum class Shown { Normally, Behind, Hidden };

    static Started startProgram(const std::wstring& path, const std::wstring& arguments, Shown shown) {
        const bool hidden = shown == Shown::Hidden;
        // The application name is given as well as the command line, so the system
        // neither searches the current folder and PATH nor splits a path at its spaces.
        if (!isFullPath(path)) return {ERROR_BAD_PATHNAME, nullptr};
        std::wstring application = path;
        std::wstring command = L"\"" + path + L"\"";
        if (!arguments.empty()) command += L" " + arguments;
        if (isBatch(path)) {
            application = commandInterpreter();
            command = batchCommand(application, command);
        }
        // Windows lets only the process that had the last input bring a window to the
        // front; the started program (or the one it hands over to, as explorer.exe
        // does) may take it from us. Refused when we may not set it ourselves: the
        // started window then flashes in the task bar instead, as the system decides.
        if (shown == Shown::Normally) AllowSetForegroundWindow(ASFW_ANY);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = hidden ? SW_HIDE : shown == Shown::Behind ? SW_SHOWNOACTIVATE : SW_SHOWNORMAL;
        PROCESS_INFORMATION process{};
        const std::wstring folder = parentOf(path);
        if (!CreateProcessW(application.c_str(), command.data(), nullptr, nullptr, FALSE,
                            hidden ? CREATE_NO_WINDOW : 0, nullptr, folder.empty() ? nullptr : folder.c_str(),
                            &startup, &process))
            return {GetLastError(), nullptr};
        const Handle thread(process.hThread);
        return {0, std::shared_ptr<void>(process.hProcess, CloseHandle)};
    }

    static std::optional<std::wstring> fileDialog(const FileDialog& dialog, bool save) {
        std::vector<wchar_t> name(32768, L'\0');
        // A name with its folder starts the dialog there and offers the name.
        const std::wstring offered =
            dialog.name.empty() || dialog.folder.empty() ? dialog.name : dialog.folder + L"\\" + dialog.name;
        offered.copy(name.data(), std::min(offered.size(), name.size() - 1));
        const std::vector<wchar_t> filter = dialogFilter(dialog.filter);
        OPENFILENAMEW ofn{};
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = ownerWindow() ? ownerWindow() : GetActiveWindow();
        ofn.lpstrFilter = filter.data();
        ofn.lpstrFile = name.data();
        ofn.nMaxFile = static_cast<DWORD>(name.size());
        ofn.lpstrTitle = dialog.title.empty() ? nullptr : dialog.title.c_str();
        ofn.lpstrInitialDir = dialog.folder.empty() ? nullptr : dialog.folder.c_str();
        ofn.lpstrDefExt = dialog.extension.empty() ? nullptr : dialog.extension.c_str();
        ofn.Flags =
            OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
            (save ? 0 : OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);  // a save replaces a chosen file as it is
        const BOOL chosen = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
        if (!chosen) return std::nullopt;
        return std::wstring(name.data());
    }
};

System*& current() {
    static System* installed = nullptr;
    return installed;
}

void* (*&ownerSource())() {
    static void* (*source)() = nullptr;
    return source;
}

std::wstring& nameOfProgram() {
    static std::wstring name;
    return name;
}

}  // namespace

unsigned long long System::fileTimeNow() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

std::optional<uint32_t> System::exitCode(const Started& started) {
    if (!started.process) return std::nullopt;
    DWORD code = 0;
    if (WaitForSingleObject(started.process.get(), 0) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(started.process.get(), &code))
        return std::nullopt;
    return code;
}

std::unique_ptr<Sound> System::play(SoundSource source, uint32_t& error) {
    return playOn(WaveOut{}, std::move(source), error);
}

System& system() {
    static Win32System win32;
    return current() ? *current() : win32;
}

void install(System* replacement) {
    current() = replacement;
}

void setOwnerSource(void* (*source)()) {
    ownerSource() = source;
}
void* owner() {
    return ownerSource() ? ownerSource()() : nullptr;
}

const std::wstring& programName() {
    return nameOfProgram();
}
void setProgramName(std::wstring name) {
    nameOfProgram() = std::move(name);
}

void message(std::wstring_view text, Icon icon) {
    system().messageBox(text, {}, Buttons::Ok, icon);
}

bool tell(const Cause& failure) {
    if (failure) message(*failure, Icon::Error);
    return failure.has_value();
}

void endOn(const Cause& failure) {
    if (!failure) return;
    message(*failure, Icon::Error);
    system().endNow();
}

Started start(const std::wstring& path, const std::wstring& arguments) {
    return system().start(path, arguments);
}

}  // namespace sys
