// Watches the selection of the score editor's text box from outside, as a screen
// reader would: each change, with the milliseconds since the start, one line
// "ms start end" in the file named first on the command line, for as many
// milliseconds as the second argument says.
#include <windows.h>
// CommandLineToArgvW.
#include <shellapi.h>

#include <cstdio>
#include <cwchar>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments || count < 3) return 2;
    FILE* out = _wfopen(arguments[1], L"w");
    if (!out) return 3;
    const ULONGLONG started = GetTickCount64(), length = wcstoull(arguments[2], nullptr, 10);
    LRESULT last = -1;
    while (GetTickCount64() - started < length) {
        const HWND editor = FindWindowW(nullptr, L"Orvane编辑器");
        const HWND box = editor ? FindWindowExW(editor, nullptr, L"Edit", nullptr) : nullptr;
        // The two positions packed in the result (both below 65536 here).
        const LRESULT selection = box ? SendMessageW(box, EM_GETSEL, 0, 0) : -1;
        if (selection != last) {
            last = selection;
            std::fprintf(out, "%llu %d %d\n", GetTickCount64() - started, static_cast<int>(LOWORD(selection)),
                         static_cast<int>(HIWORD(selection)));
            std::fflush(out);
        }
        Sleep(2);
    }
    std::fclose(out);
    return 0;
}
