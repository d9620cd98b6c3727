// Holds files open as a virus scanner or an indexer does (reading, sharing read and
// write but not delete) for a number of milliseconds: holder.exe <ms> <file>...
// It writes held.log beside itself once it holds them all.
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<HANDLE> held;
    for (int i = 2; i < count; ++i)
        held.push_back(CreateFileW(arguments[i], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring marker(self);
    marker = marker.substr(0, marker.find_last_of(L'\\')) + L"\\held.log";
    HANDLE log = CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    for (HANDLE h : held) WriteFile(log, h == INVALID_HANDLE_VALUE ? "-" : "+", 1, &written, nullptr);
    CloseHandle(log);
    Sleep(count > 1 ? static_cast<DWORD>(_wtoi(arguments[1])) : 0);
    for (HANDLE h : held) CloseHandle(h);
    return 0;
}
