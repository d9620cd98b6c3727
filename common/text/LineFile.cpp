#include "text/LineFile.h"

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstring>
#include <vector>

#include "system/Scoped.h"
#include "text/Gbk.h"

namespace text {

namespace {

constexpr int kReplaceAttempts = 10;
constexpr DWORD kReplaceWait = 50;  // milliseconds: half a second in all

uint32_t writeAll(HANDLE file, std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr)) return GetLastError();
        done += written;
    }
    if (!SetEndOfFile(file) || !FlushFileBuffers(file)) return GetLastError();
    return 0;
}

// "<file>.~orvane<process>_<count>.tmp": a name no user gives a file, and the process
// that owns it, so that the next start can tell a leftover from a write in progress.
constexpr std::wstring_view kTemporaryMark = L".~orvane";
constexpr std::wstring_view kTemporaryEnd = L".tmp";

// A new temporary file beside the path, never one that is already there. It is opened
// for deletion too, so that it can be renamed over the path while it is held.
sys::FileHandle createTemporary(const std::wstring& path, std::wstring& name) {
    static std::atomic<unsigned> count{0};
    for (;;) {
        name = path + std::wstring(kTemporaryMark) + std::to_wstring(GetCurrentProcessId()) + L"_" +
               std::to_wstring(count++) + std::wstring(kTemporaryEnd);
        sys::FileHandle file(CreateFileW(name.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
}

bool isHeld(DWORD error) {
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
}

// Windows 10 1709 and later rename a file with POSIX semantics: the name moves to the
// new file at once, even while a program holds the old one with delete sharing (it
// keeps reading the old content). Earlier systems, some file systems and Wine refuse the
// request as unknown.
constexpr auto kFileRenameInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);
constexpr DWORD kReplaceIfExists = 0x1;  // FILE_RENAME_FLAG_REPLACE_IF_EXISTS
constexpr DWORD kPosixSemantics = 0x2;   // FILE_RENAME_FLAG_POSIX_SEMANTICS

bool isUnsupported(DWORD error) {
    return error == ERROR_INVALID_PARAMETER || error == ERROR_NOT_SUPPORTED ||
           error == ERROR_INVALID_FUNCTION;
}

uint32_t renameOver(HANDLE file, const std::wstring& path) {
    // FILE_RENAME_INFO as Windows 10 has it: the flags take the place of ReplaceIfExists.
    const DWORD full = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (full == 0) return GetLastError();
    const size_t size = offsetof(FILE_RENAME_INFO, FileName) + full * sizeof(wchar_t);
    std::vector<uint64_t> buffer((size + sizeof(uint64_t) - 1) / sizeof(uint64_t), 0);
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    const DWORD flags = kReplaceIfExists | kPosixSemantics;
    memcpy(info, &flags, sizeof flags);
    const DWORD length = GetFullPathNameW(path.c_str(), full, info->FileName, nullptr);
    if (length == 0 || length >= full) return length == 0 ? GetLastError() : ERROR_BUFFER_OVERFLOW;
    info->FileNameLength = length * sizeof(wchar_t);
    if (!SetFileInformationByHandle(file, kFileRenameInfoEx, info, static_cast<DWORD>(size)))
        return GetLastError();
    return 0;
}

// Another program that holds the file without delete sharing (a virus scanner, an
// indexer, a backup tool, notice.exe reading a request) makes the move fail for as
// long as it holds it; most let go within moments.
// The rename by the open temporary where the system offers it, else a move by name.
uint32_t replaceWithRetries(sys::FileHandle& file, const std::wstring& temporary, const std::wstring& path) {
    bool byHandle = true;
    for (int attempt = 0;; ++attempt) {
        DWORD error = 0;
        if (byHandle) {
            error = renameOver(file, path);
            if (isUnsupported(error)) {
                byHandle = false;
                file.reset();  // a move by name needs the temporary closed
            }
        }
        if (!byHandle) {
            if (MoveFileExW(temporary.c_str(), path.c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
                return 0;
            error = GetLastError();
        } else if (error == 0) {
            return 0;
        }
        if (!isHeld(error) || attempt == kReplaceAttempts) return error;
        Sleep(kReplaceWait);
    }
}

// The holder still has the file: write it in place when its sharing allows that, as a
// plain "create or empty, then write" would.
uint32_t writeInPlace(const std::wstring& path, std::string_view bytes) {
    sys::FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return GetLastError();
    return writeAll(file, bytes);
}

bool isTemporaryName(std::wstring_view name, DWORD& owner) {
    if (!name.ends_with(kTemporaryEnd)) return false;
    const size_t mark = name.rfind(kTemporaryMark);
    if (mark == std::wstring_view::npos || mark == 0) return false;
    const std::wstring_view tail = name.substr(mark + kTemporaryMark.size());
    const size_t underscore = tail.find(L'_');
    if (underscore == 0 || underscore == std::wstring_view::npos) return false;
    owner = 0;
    for (const wchar_t c : tail.substr(0, underscore)) {
        if (c < L'0' || c > L'9') return false;
        owner = owner * 10 + static_cast<DWORD>(c - L'0');
    }
    return true;
}

bool isRunning(DWORD process) {
    if (process == GetCurrentProcessId()) return true;
    const sys::Handle handle(OpenProcess(SYNCHRONIZE, FALSE, process));
    return handle && WaitForSingleObject(handle, 0) == WAIT_TIMEOUT;
}

}  // namespace

std::string_view firstLine(std::string_view bytes) {
    const size_t end = bytes.find('\r');
    return end == std::string_view::npos ? bytes : bytes.substr(0, end);
}

std::vector<std::string_view> lines(std::string_view bytes) {
    std::vector<std::string_view> result;
    while (!bytes.empty()) {
        const std::string_view line = firstLine(bytes);
        result.push_back(line);
        size_t next = line.size();
        if (next < bytes.size()) ++next;  // the CR
        if (next < bytes.size() && bytes[next - 1] == '\r' && bytes[next] == '\n') ++next;
        bytes.remove_prefix(next);
    }
    return result;
}

std::wstring withCrLf(std::wstring_view text) {
    std::wstring result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') {
            result += L"\r\n";
            ++i;
        } else if (c == L'\r' || c == L'\n') {
            result += L"\r\n";
        } else {
            result += c;
        }
    }
    return result;
}

std::optional<std::string> readBytes(const std::wstring& path, uint32_t* error) {
    // Delete sharing lets a writer replace the file while we read it.
    sys::FileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    auto fail = [&]() -> std::optional<std::string> {
        if (error) *error = GetLastError();
        return std::nullopt;
    };
    if (!file) return fail();
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) return fail();
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
        DWORD read = 0;
        if (!ReadFile(file, bytes.data() + done, chunk, &read, nullptr)) return fail();
        if (read == 0) break;
        done += read;
    }
    bytes.resize(done);
    if (error) *error = 0;
    return bytes;
}

uint32_t writeBytes(const std::wstring& path, std::string_view bytes) {
    // Replacing by a move would pass over a read-only file on some file systems.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return ERROR_ACCESS_DENIED;
    std::wstring temporary;
    uint32_t error = 0;
    {
        sys::FileHandle file = createTemporary(path, temporary);
        if (!file) return GetLastError();
        error = writeAll(file, bytes);
        if (!error) error = replaceWithRetries(file, temporary, path);
    }
    if (!error) return 0;
    DeleteFileW(temporary.c_str());
    if (isHeld(error) && writeInPlace(path, bytes) == 0) return 0;
    return error;
}

void removeLeftovers(const std::wstring& folder) {
    WIN32_FIND_DATAW found{};
    const std::wstring pattern =
        folder + L"\\*" + std::wstring(kTemporaryMark) + L"*" + std::wstring(kTemporaryEnd);
    const sys::Search search(FindFirstFileW(pattern.c_str(), &found));
    if (!search) return;
    do {
        DWORD owner = 0;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (!isTemporaryName(found.cFileName, owner) || isRunning(owner)) continue;
        DeleteFileW((folder + L"\\" + found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
}

std::optional<std::wstring> readFirstLine(const std::wstring& path, uint32_t* error) {
    const auto bytes = readBytes(path, error);
    if (!bytes || bytes->empty()) return std::nullopt;
    return fromGbk(firstLine(*bytes));
}

std::optional<std::vector<std::wstring>> readLines(const std::wstring& path, uint32_t* error) {
    const auto bytes = readBytes(path, error);
    if (!bytes) return std::nullopt;
    std::vector<std::wstring> result;
    for (const std::string_view line : lines(*bytes)) result.push_back(fromGbk(line));
    return result;
}

uint32_t writeLine(const std::wstring& path, std::wstring_view value) {
    return writeBytes(path, toGbk(value) + "\r\n");
}

}  // namespace text
