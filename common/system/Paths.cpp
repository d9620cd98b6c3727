#include "system/Paths.h"

#include <windows.h>

#include "system/Scoped.h"

namespace sys {

namespace {

std::wstring& folderOverride() {
    static std::wstring folder;
    return folder;
}

std::wstring executableFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return parentOf(path);
}

// What CreateDirectoryW's ERROR_ALREADY_EXISTS means: a folder is there, or a file of
// that name, which is no folder (os.makedirs raises FileExistsError there too).
uint32_t alreadyThere(const std::wstring& folder) {
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)
               ? 0
               : ERROR_ALREADY_EXISTS;
}

}  // namespace

const std::wstring& programFolder() {
    static const std::wstring executable = executableFolder();
    return folderOverride().empty() ? executable : folderOverride();
}

void setProgramFolder(std::wstring folder) {
    folderOverride() = std::move(folder);
}

std::wstring inProgramFolder(const std::wstring& name) {
    return programFolder() + L"\\" + name;
}

bool exists(const std::wstring& path) {
    // Wildcards would make the search match other names.
    if (path.empty() || path.find_first_of(L"*?") != std::wstring::npos) return false;
    WIN32_FIND_DATAW found{};
    if (!sys::Search(FindFirstFileW(path.c_str(), &found))) return false;
    constexpr DWORD notOrdinary = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return (found.dwFileAttributes & notOrdinary) == 0;
}

std::wstring describe(uint32_t error) {
    wchar_t* made = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        error, 0, reinterpret_cast<wchar_t*>(&made), 0, nullptr);
    const sys::Local<wchar_t> buffer(made);
    std::wstring text = length ? std::wstring(buffer, length) : L"错误代码" + std::to_wstring(error);
    // Some descriptions name their subject as an insert ("%1 is not a valid application").
    for (size_t at; (at = text.find(L"%1")) != std::wstring::npos;) text.replace(at, 2, L"该文件");
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    return text;
}

std::wstring cannotStart(const std::wstring& what, uint32_t error) {
    return L"无法启动 " + what + L"：" + describe(error);
}

std::wstring cannotWrite(const std::wstring& path, uint32_t error) {
    return L"无法写入文件 " + path + L"：" + describe(error);
}

std::wstring parentOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

uint32_t createFolders(const std::wstring& folder) {
    if (CreateDirectoryW(folder.c_str(), nullptr)) return 0;
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS) return alreadyThere(folder);
    const std::wstring parent = parentOf(folder);
    if (error != ERROR_PATH_NOT_FOUND || parent.empty() || parent == folder) return error;
    if (const uint32_t failed = createFolders(parent)) return failed;
    if (CreateDirectoryW(folder.c_str(), nullptr)) return 0;
    const DWORD again = GetLastError();
    return again == ERROR_ALREADY_EXISTS ? alreadyThere(folder) : again;
}

}  // namespace sys
