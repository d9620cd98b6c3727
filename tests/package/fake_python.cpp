// Stands in for a Python interpreter in the tests of outputWAV.bat: answers the version
// probe ("python -c ...") with the exit code in FAKE_PYTHON_PROBE (9009 plays the store's
// placeholder), and a script run with FAKE_PYTHON_EXIT, noting the script in python.log
// beside itself.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

int code(const wchar_t* name) {
    wchar_t value[16] = L"0";
    GetEnvironmentVariableW(name, value, 16);
    return _wtoi(value);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc > 1 && std::wcscmp(argv[1], L"-c") == 0) return code(L"FAKE_PYTHON_PROBE");
    std::wstring log(MAX_PATH, L'\0');
    log.resize(GetModuleFileNameW(nullptr, log.data(), MAX_PATH));
    log = log.substr(0, log.find_last_of(L'\\')) + L"\\python.log";
    if (FILE* f = _wfopen(log.c_str(), L"a")) {
        std::fwprintf(f, L"%ls\n", argc > 1 ? argv[1] : L"");
        std::fclose(f);
    }
    return code(L"FAKE_PYTHON_EXIT");
}
