#include "text/LineFile.h"

#include <windows.h>

#include "text/Gbk.h"

namespace text {

namespace {

struct Handle {
    HANDLE h;
    explicit Handle(HANDLE handle) : h(handle) {}
    ~Handle() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool ok() const { return h != INVALID_HANDLE_VALUE; }
};

uint32_t writeWhole(const std::wstring& path, std::string_view bytes) {
    Handle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.ok()) return GetLastError();
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file.h, bytes.data() + done, chunk, &written, nullptr)) return GetLastError();
        done += written;
    }
    if (!FlushFileBuffers(file.h)) return GetLastError();
    return 0;
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

std::optional<std::string> readBytes(const std::wstring& path, uint32_t* error) {
    Handle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    auto fail = [&]() -> std::optional<std::string> {
        if (error) *error = GetLastError();
        return std::nullopt;
    };
    if (!file.ok()) return fail();
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.h, &size)) return fail();
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
        DWORD read = 0;
        if (!ReadFile(file.h, bytes.data() + done, chunk, &read, nullptr)) return fail();
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
    const std::wstring temporary = path + L".new";
    if (const uint32_t error = writeWhole(temporary, bytes)) {
        DeleteFileW(temporary.c_str());
        return error;
    }
    if (!MoveFileExW(temporary.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const uint32_t error = GetLastError();
        DeleteFileW(temporary.c_str());
        return error;
    }
    return 0;
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
