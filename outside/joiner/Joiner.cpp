// wavjoin.exe: renders a score where no Python is installed. It lies in the wav folder
// beside the note samples and the joining script wav.py that the editor writes, reads
// the sample list from the script's "for file in [...]" line, and writes the file that
// the script would write: C:\Orvane\OutputWAV\WAV_<date>_<time>.wav, mono, 16-bit,
// 44100 Hz, the frames of the listed samples in order, from samples of that format only.
// Frames stream from the samples to the output; the piece is never held whole.
//
// Exit codes (outputWAV.bat passes them on to the editor): 0 written, 3 the script or a
// sample is missing, 4 the script or a sample cannot be read, 5 the output cannot be written.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Sample.h"

namespace {

constexpr int kMissing = 3, kUnreadable = 4, kNotWritten = 5;
const std::wstring kOutputFolder = L"C:\\Orvane\\OutputWAV";
constexpr uint64_t kCachedSample = 16u << 20;  // larger samples are read again at each use

// A plain message on the console, or as UTF-8 where the output is redirected.
void say(const std::wstring& text) {
    const std::wstring line = L"wavjoin: " + text + L"\r\n";
    HANDLE out = GetStdHandle(STD_ERROR_HANDLE);
    DWORD written = 0;
    if (WriteConsoleW(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr)) return;
    std::string utf8(WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr, 0,
                                         nullptr, nullptr),
                     '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), utf8.data(),
                        static_cast<int>(utf8.size()), nullptr, nullptr);
    WriteFile(out, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

std::wstring describe(DWORD error) {
    wchar_t* text = nullptr;
    FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring said = text ? text : L"error " + std::to_wstring(error);
    LocalFree(text);
    while (!said.empty() && (said.back() == L'\n' || said.back() == L'\r' || said.back() == L' '))
        said.pop_back();
    return said;
}

bool missing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

std::wstring ownFolder() {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path.substr(0, path.find_last_of(L'\\'));
}

HANDLE openForReading(const std::wstring& path) {
    return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

// The note digits of the script's "for file in [files[1], files[2]]:" line, or nothing
// when the script has no such line or names anything else.
std::optional<std::string> sampleList(const std::string& script) {
    const std::string start = "for file in [", end = "]:";
    size_t line = 0;
    while (line < script.size()) {
        size_t next = script.find_first_of("\r\n", line);
        if (next == std::string::npos) next = script.size();
        std::string text = script.substr(line, next - line);
        while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
        line = next + 1;
        if (text.rfind(start, 0) != 0 || text.size() < start.size() + end.size() ||
            text.compare(text.size() - end.size(), end.size(), end) != 0)
            continue;
        std::string digits;
        const std::string items = text.substr(start.size(), text.size() - start.size() - end.size());
        if (items.find_first_not_of(' ') == std::string::npos) return digits;
        size_t item = 0;
        for (;;) {
            const size_t comma = std::min(items.find(',', item), items.size());
            const size_t first = items.find_first_not_of(' ', item);
            const size_t last = items.find_last_not_of(' ', comma - 1);
            const std::string entry = first < comma ? items.substr(first, last - first + 1) : "";
            if (entry.size() != 8 || entry.compare(0, 6, "files[") != 0 || entry[7] != ']' ||
                entry[6] < '0' || entry[6] > '7')
                return std::nullopt;
            digits += entry[6];
            if (comma == items.size()) return digits;
            item = comma + 1;
        }
    }
    return std::nullopt;
}

// The output folder with any missing parents, as os.makedirs makes it.
bool makeFolders(const std::wstring& folder) {
    for (size_t at = folder.find(L'\\', 3);; at = folder.find(L'\\', at + 1)) {
        const std::wstring part = folder.substr(0, at);
        if (!CreateDirectoryW(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
        if (at == std::wstring::npos) return true;
    }
}

std::wstring outputName() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t name[40];
    swprintf(name, 40, L"WAV_%04u%02u%02u_%02u%02u%02u.wav", now.wYear, now.wMonth, now.wDay, now.wHour,
             now.wMinute, now.wSecond);
    return name;
}

// Collects small writes into large ones.
class Output {
public:
    explicit Output(HANDLE file) : file_(file) { buffer_.reserve(1 << 20); }
    bool write(const void* data, size_t size) {
        const auto* bytes = static_cast<const char*>(data);
        if (buffer_.size() + size > buffer_.capacity() && !flush()) return false;
        if (size >= buffer_.capacity()) return put(bytes, size);
        buffer_.insert(buffer_.end(), bytes, bytes + size);
        return true;
    }
    bool flush() {
        const bool done = put(buffer_.data(), buffer_.size());
        buffer_.clear();
        return done;
    }

private:
    bool put(const char* data, size_t size) {
        DWORD written = 0;
        return size == 0 ||
               (WriteFile(file_, data, static_cast<DWORD>(size), &written, nullptr) && written == size);
    }
    HANDLE file_;
    std::vector<char> buffer_;
};

struct OpenSample {
    HANDLE file = INVALID_HANDLE_VALUE;
    join::Sample sample;
    std::vector<char> frames;  // the contributed bytes, when small enough to keep
};

bool readAt(HANDLE file, uint64_t offset, char* into, DWORD size) {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    DWORD got = 0;
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && ReadFile(file, into, size, &got, nullptr) &&
           got == size;
}

int render(const std::wstring& folder) {
    HANDLE scriptFile = openForReading(folder + L"\\wav.py");
    if (scriptFile == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        say(L"cannot open the joining script wav.py in " + folder + L": " + describe(error));
        return missing(error) ? kMissing : kUnreadable;
    }
    std::string script;
    char chunk[65536];
    DWORD got = 0;
    BOOL read;
    while ((read = ReadFile(scriptFile, chunk, sizeof chunk, &got, nullptr)) && got)
        script.append(chunk, got);
    const DWORD readError = read ? 0 : GetLastError();
    CloseHandle(scriptFile);
    if (readError) {
        say(L"cannot read the joining script wav.py: " + describe(readError));
        return kUnreadable;
    }
    const std::optional<std::string> digits = sampleList(script);
    if (!digits) {
        say(L"wav.py has no line \"for file in [files[0], ...]:\" naming the samples 0 to 7");
        return kUnreadable;
    }

    if (!makeFolders(kOutputFolder)) {
        say(L"cannot create the folder " + kOutputFolder + L": " + describe(GetLastError()));
        return kNotWritten;
    }

    // Every listed sample is read before anything is written, in the order of the list,
    // as the script reads them; the first one that fails is named.
    OpenSample samples[8];
    uint64_t total = 0;
    for (char digit : *digits) {
        OpenSample& open = samples[digit - '0'];
        const std::wstring name = std::wstring(1, digit) + L".wav";
        if (open.file == INVALID_HANDLE_VALUE) {
            open.file = openForReading(folder + L"\\" + name);
            if (open.file == INVALID_HANDLE_VALUE) {
                const DWORD error = GetLastError();
                say(L"cannot open the note sample " + name + L": " + describe(error));
                return missing(error) ? kMissing : kUnreadable;
            }
            std::wstring why;
            if (!join::readSample(open.file, open.sample, why)) {
                say(L"cannot read the note sample " + name + L": " + why);
                return kUnreadable;
            }
            if (open.sample.dataLength <= kCachedSample) {
                open.frames.resize(open.sample.dataLength);
                if (!readAt(open.file, open.sample.dataOffset, open.frames.data(),
                            static_cast<DWORD>(open.frames.size()))) {
                    say(L"cannot read the note sample " + name + L": " + describe(GetLastError()));
                    return kUnreadable;
                }
            }
        }
        total += open.sample.dataLength;
    }
    if (total > 0xFFFFFFFFu - 36) {
        say(L"the piece would be longer than a WAV file can hold (4 GB)");
        return kNotWritten;
    }

    const std::wstring outputPath = kOutputFolder + L"\\" + outputName();
    HANDLE outputFile = CreateFileW(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (outputFile == INVALID_HANDLE_VALUE) {
        say(L"cannot create " + outputPath + L": " + describe(GetLastError()));
        return kNotWritten;
    }
    // The header Python's wave module writes for one channel, 2-byte samples, 44100 Hz.
    const uint32_t dataSize = static_cast<uint32_t>(total);
    const uint32_t header[11] = {0x46464952u,   36 + dataSize, 0x45564157u, 0x20746d66u,    16,
                                 1u | 1u << 16, 44100,         44100 * 2,   2u | 16u << 16, 0x61746164u,
                                 dataSize};
    Output output(outputFile);
    bool written = output.write(header, sizeof header);
    std::vector<char> buffer;
    int failure = kNotWritten;
    for (size_t i = 0; written && i < digits->size(); ++i) {
        const OpenSample& open = samples[(*digits)[i] - '0'];
        if (open.sample.dataLength <= kCachedSample) {
            written = output.write(open.frames.data(), open.frames.size());
            continue;
        }
        buffer.resize(1 << 20);
        for (uint64_t done = 0; written && done < open.sample.dataLength; done += buffer.size()) {
            const auto part =
                static_cast<DWORD>(std::min<uint64_t>(buffer.size(), open.sample.dataLength - done));
            if (!readAt(open.file, open.sample.dataOffset + done, buffer.data(), part)) {
                say(L"cannot read the note sample " + std::wstring(1, (*digits)[i]) + L".wav: " +
                    describe(GetLastError()));
                failure = kUnreadable;
                written = false;
                break;
            }
            written = output.write(buffer.data(), part);
        }
    }
    if (written) written = output.flush();
    const DWORD writeError = GetLastError();
    CloseHandle(outputFile);
    if (!written) {
        if (failure == kNotWritten) say(L"cannot write " + outputPath + L": " + describe(writeError));
        DeleteFileW(outputPath.c_str());
        return failure;
    }
    return 0;
}

}  // namespace

int wmain() {
    return render(ownFolder());
}
