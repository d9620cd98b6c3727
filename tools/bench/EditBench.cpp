// A bare multi-line edit control of the score box's style, size and font, without the
// editor around it: how long it takes to be given 1 MB of text in different ways, and
// for texts of different shapes. It separates the control's own cost from the editor's
// (its history, gutter and subclass). tools/bench-editor runs it after the editor's.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

namespace {

double now() {
    static const double perMillisecond = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / perMillisecond;
}

// About `characters` of text made of `line` repeated.
std::wstring repeated(const std::wstring& line, size_t characters) {
    std::wstring text;
    text.reserve(characters + line.size());
    while (text.size() + line.size() <= characters) text += line;
    return text;
}

// The score box: the styles, size and font the editor gives it at 96 dpi.
HWND scoreBox(HWND parent, HFONT font) {
    const HWND box = CreateWindowExW(
        0, L"EDIT", L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | ES_NOHIDESEL,
        424, 128, 985, 657, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!box) return nullptr;
    SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageW(box, EM_SETLIMITTEXT, 0, 0);
    return box;
}

// The process's own time on the processor in milliseconds: the rest of a call's time it
// waits, under Wine on the wineserver and the X server.
double processorTime() {
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user)) return 0;
    const auto ms = [](const FILETIME& t) {
        return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e4;
    };
    return ms(kernel) + ms(user);
}
double lastProcessor = 0;  // of the last call timed

void pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

// Milliseconds for `put` to give a fresh box holding `before` the text `after`, painted.
double timed(HWND parent, HFONT font, const std::wstring& before, const std::wstring& after,
             const std::function<void(HWND, const std::wstring&)>& put) {
    const HWND box = scoreBox(parent, font);
    if (!box) return -1;
    SetWindowTextW(box, before.c_str());
    pump();
    const double start = now(), processor = processorTime();
    put(box, after);
    UpdateWindow(box);
    const double took = now() - start;
    lastProcessor = processorTime() - processor;
    DestroyWindow(box);
    return took;
}

}  // namespace

int main() {
    WNDCLASSW type{};
    type.lpfnWndProc = DefWindowProcW;
    type.hInstance = GetModuleHandleW(nullptr);
    type.lpszClassName = L"EditBench";
    type.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    if (!RegisterClassW(&type)) return 1;
    const HWND window = CreateWindowExW(0, L"EditBench", L"EditBench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                        1440, 900, nullptr, nullptr, type.hInstance, nullptr);
    if (!window) return 1;
    // 宋体 10.5 pt at 96 dpi, as the editor's box.
    const HFONT font =
        CreateFontW(-14, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"宋体");
    pump();

    const size_t size = 1024 * 1024;
    struct Shape {
        const char* name;
        std::wstring line;
    };
    // The editor bench's score (a remark in Chinese on each short line), a score of notes
    // only, sixteen to a line as OrvaneX writes them, and longer lines of notes.
    const Shape shapes[] = {
        {"bench lines (30 chars, Chinese remark)", L"1 1 5 5 6 6 5 0 小星星 第一段\r\n"},
        {"notes, 16 a line (33 chars)", L"1 1 5 5 6 6 5 0 4 4 3 3 2 2 1 0\r\n"},
        {"notes, 64 a line (129 chars, wraps)", repeated(L"1 1 5 5 6 6 5 0 ", 128) + L"\r\n"},
    };
    std::printf("bare edit control of the score box's style, 1 MB given to a box holding 1 MB (ms)\n");
    for (const Shape& shape : shapes) {
        const std::wstring before = repeated(shape.line, size);
        std::wstring after = before;
        std::replace(after.begin(), after.end(), L'5', L'7');
        const double set = timed(window, font, before, after, [](HWND box, const std::wstring& text) {
            SetWindowTextW(box, text.c_str());
        });
        const double setProcessor = lastProcessor;
        const double quiet = timed(window, font, before, after, [](HWND box, const std::wstring& text) {
            SendMessageW(box, WM_SETREDRAW, FALSE, 0);
            SetWindowTextW(box, text.c_str());
            SendMessageW(box, WM_SETREDRAW, TRUE, 0);
            InvalidateRect(box, nullptr, TRUE);
        });
        const double hidden = timed(window, font, before, after, [](HWND box, const std::wstring& text) {
            ShowWindow(box, SW_HIDE);
            SetWindowTextW(box, text.c_str());
            ShowWindow(box, SW_SHOW);
        });
        const double handle = timed(window, font, before, after, [](HWND box, const std::wstring& text) {
            const HLOCAL buffer = LocalAlloc(LMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
            if (auto* characters = static_cast<wchar_t*>(LocalLock(buffer))) {
                std::copy(text.c_str(), text.c_str() + text.size() + 1, characters);
                LocalUnlock(buffer);
            }
            const HLOCAL old = reinterpret_cast<HLOCAL>(SendMessageW(box, EM_GETHANDLE, 0, 0));
            SendMessageW(box, EM_SETHANDLE, reinterpret_cast<WPARAM>(buffer), 0);
            LocalFree(old);
        });
        const double replaced = timed(window, font, before, after, [](HWND box, const std::wstring& text) {
            SendMessageW(box, EM_SETSEL, 0, -1);
            SendMessageW(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
        });
        const double empty = timed(window, font, L"", after, [](HWND box, const std::wstring& text) {
            SetWindowTextW(box, text.c_str());
        });
        const HWND box = scoreBox(window, font);
        SetWindowTextW(box, after.c_str());
        const LRESULT rows = SendMessageW(box, EM_GETLINECOUNT, 0, 0);
        DestroyWindow(box);
        std::printf(
            "%-40s rows %7ld: WM_SETTEXT %8.1f (on the processor %.1f), redraw off %8.1f, hidden %8.1f, "
            "EM_SETHANDLE %8.1f, "
            "EM_REPLACESEL %8.1f, into an empty box %8.1f\n",
            shape.name, static_cast<long>(rows), set, setProcessor, quiet, hidden, handle, replaced, empty);
        std::fflush(stdout);
    }
    // How the cost grows with the text: the bench's lines at a quarter and half the size.
    for (const size_t part : {size / 4, size / 2}) {
        const std::wstring text = repeated(shapes[0].line, part);
        const double set = timed(window, font, L"", text,
                                 [](HWND box, const std::wstring& t) { SetWindowTextW(box, t.c_str()); });
        std::printf("bench lines, %4zu KB into an empty box: %.1f ms\n", part / 1024, set);
    }
    // A key typed in the middle of 1 MB: in a short line, then in a line long enough to
    // wrap, as the editor's bench makes it by typing 500 characters into one line.
    {
        const std::wstring text = repeated(shapes[0].line, size);
        const HWND box = scoreBox(window, font);
        SetWindowTextW(box, text.c_str());
        SendMessageW(box, EM_SETSEL, text.size() / 2, text.size() / 2);
        pump();
        const auto typing = [&] {
            const double start = now();
            for (int i = 0; i < 20; ++i) SendMessageW(box, WM_CHAR, L'1', 0);
            return (now() - start) / 20;
        };
        const double shortLine = typing();
        const std::wstring words = repeated(L"1234 ", 500);
        SendMessageW(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(words.c_str()));
        const double wrapped = typing();
        std::printf("bench lines, 1 MB: a key typed in the middle %.2f ms, in a line that wraps %.2f ms\n",
                    shortLine, wrapped);
        DestroyWindow(box);
    }
    DestroyWindow(window);
    DeleteObject(font);
    return 0;
}
