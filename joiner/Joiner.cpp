// wavjoin.exe: renders a score where no Python is installed. It lies in the wav folder
// beside the note samples and the joining script wav.py that the editor writes, reads
// the sample list from the script's "for file in [...]" line, and writes the file that
// the script would write: C:\Orvane\OutputWAV\WAV_<date>_<time>.wav, mono, 16-bit,
// 44100 Hz, the frames of the listed samples in order, from samples of that format only.
// Frames stream from the samples to the output; the piece is never held whole.
//
// Its exit codes, which outputWAV.bat passes on to the editor, are named in
// install/ProgramFiles.h.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "install/ProgramFiles.h"
#include "sound/Sample.h"
#include "system/Console.h"
#include "system/Paths.h"
#include "system/Scoped.h"

namespace {

using namespace install;

constexpr uint64_t kCachedSample = 16u << 20;  // larger samples are read again at each use

void say(const std::wstring& text) {
    sys::printError(L"wavjoin: " + text);
}

bool missing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

sys::FileHandle openForReading(const std::wstring& path) {
    return sys::FileHandle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
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
    sys::FileHandle file{INVALID_HANDLE_VALUE};
    sound::Sample sample;
    std::vector<char> frames;  // the contributed bytes, when small enough to keep
};

// Why the script would stop on the sample, for a developer's console.
std::wstring why(const sound::Sample& sample) {
    switch (sample.fault) {
        case sound::Fault::Unreadable:
            return sys::describe(sample.error);
        case sound::Fault::NotWave:
            return L"it is not a WAV file";
        case sound::Fault::FormatCutShort:
            return L"its format chunk is cut short";
        case sound::Fault::NotPcm:
            return L"it is not plain PCM (format " + std::to_wstring(sample.format) + L")";
        case sound::Fault::NoChannelsOrWidth:
            return L"its format chunk gives no channels or no sample width";
        case sound::Fault::DataBeforeFormat:
            return L"its data chunk comes before its format chunk";
        case sound::Fault::ChunkPastEnd:
            return L"a chunk runs past the end of the file's RIFF chunk";
        default:
            return L"it has no format chunk or no data chunk";
    }
}

// The joining script's sample list, as digits.
int readScript(const std::wstring& folder, std::string& digits) {
    const sys::FileHandle file = openForReading(folder + L"\\wav.py");
    if (!file) {
        const DWORD error = GetLastError();
        say(L"cannot open the joining script wav.py in " + folder + L": " + sys::describe(error));
        return missing(error) ? JoinerMissing : JoinerUnreadable;
    }
    std::string script;
    char chunk[65536];
    DWORD got = 0;
    BOOL read;
    while ((read = ReadFile(file, chunk, sizeof chunk, &got, nullptr)) && got) script.append(chunk, got);
    if (!read) {
        say(L"cannot read the joining script wav.py: " + sys::describe(GetLastError()));
        return JoinerUnreadable;
    }
    const std::optional<std::string> list = sampleList(script);
    if (!list) {
        say(L"wav.py has no line \"for file in [files[0], ...]:\" naming the samples 0 to 7");
        return JoinerUnreadable;
    }
    digits = *list;
    return JoinerWritten;
}

// Opens and reads one sample, keeping its bytes when they are few enough.
int openSample(const std::wstring& folder, char digit, OpenSample& open) {
    const std::wstring name = std::wstring(1, digit) + L".wav";
    open.file = openForReading(folder + L"\\" + name);
    if (!open.file) {
        const DWORD error = GetLastError();
        say(L"cannot open the note sample " + name + L": " + sys::describe(error));
        return missing(error) ? JoinerMissing : JoinerUnreadable;
    }
    open.sample = sound::readSample(open.file);
    if (open.sample.fault != sound::Fault::None) {
        say(L"cannot read the note sample " + name + L": " + why(open.sample));
        return JoinerUnreadable;
    }
    if (open.sample.dataLength == 0 || open.sample.dataLength > kCachedSample) return JoinerWritten;
    open.frames.resize(open.sample.dataLength);
    if (!sound::readAt(open.file, open.sample.dataOffset, open.frames.data(),
                       static_cast<DWORD>(open.frames.size()))) {
        say(L"cannot read the note sample " + name + L": " + sys::describe(GetLastError()));
        return JoinerUnreadable;
    }
    return JoinerWritten;
}

// Writes the header and the samples' bytes in the order of the digits.
int writePiece(Output& output, const std::string& digits, OpenSample (&samples)[8], uint64_t total) {
    // The header Python's wave module writes for one channel, 2-byte samples, 44100 Hz.
    const uint32_t dataSize = static_cast<uint32_t>(total);
    const uint32_t header[11] = {0x46464952u,   36 + dataSize, 0x45564157u, 0x20746d66u,    16,
                                 1u | 1u << 16, 44100,         44100 * 2,   2u | 16u << 16, 0x61746164u,
                                 dataSize};
    if (!output.write(header, sizeof header)) return JoinerNotWritten;
    std::vector<char> buffer;
    for (const char digit : digits) {
        const OpenSample& open = samples[digit - '0'];
        if (open.sample.dataLength <= kCachedSample) {
            if (!output.write(open.frames.data(), open.frames.size())) return JoinerNotWritten;
            continue;
        }
        buffer.resize(1 << 20);
        for (uint64_t done = 0; done < open.sample.dataLength; done += buffer.size()) {
            const auto part =
                static_cast<DWORD>(std::min<uint64_t>(buffer.size(), open.sample.dataLength - done));
            if (!sound::readAt(open.file, open.sample.dataOffset + done, buffer.data(), part)) {
                say(L"cannot read the note sample " + std::wstring(1, digit) + L".wav: " +
                    sys::describe(GetLastError()));
                return JoinerUnreadable;
            }
            if (!output.write(buffer.data(), part)) return JoinerNotWritten;
        }
    }
    return output.flush() ? JoinerWritten : JoinerNotWritten;
}

// Writes the piece into a new file of the output folder; a file it could not finish is
// removed.
int writeOutput(const std::string& digits, OpenSample (&samples)[8], uint64_t total) {
    const std::wstring path = OutputFolder + L"\\" + outputName();
    int result = JoinerNotWritten;
    DWORD error = 0;
    {
        const sys::FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            say(L"cannot create " + path + L": " + sys::describe(GetLastError()));
            return JoinerNotWritten;
        }
        Output output(file);
        result = writePiece(output, digits, samples, total);
        error = GetLastError();
    }
    if (result == JoinerWritten) return result;
    if (result == JoinerNotWritten) say(L"cannot write " + path + L": " + sys::describe(error));
    DeleteFileW(path.c_str());
    return result;
}

int render(const std::wstring& folder) {
    std::string digits;
    if (const int failed = readScript(folder, digits)) return failed;
    if (const uint32_t error = sys::createFolders(OutputFolder)) {
        say(L"cannot create the folder " + OutputFolder + L": " + sys::describe(error));
        return JoinerNotWritten;
    }
    // Every listed sample is read before anything is written, in the order of the list,
    // as the script reads them; the first one that fails is named.
    OpenSample samples[8];
    uint64_t total = 0;
    for (const char digit : digits) {
        OpenSample& open = samples[digit - '0'];
        if (!open.file)
            if (const int failed = openSample(folder, digit, open)) return failed;
        total += open.sample.dataLength;
    }
    if (total > 0xFFFFFFFFu - 36) {
        say(L"the piece would be longer than a WAV file can hold (4 GB)");
        return JoinerNotWritten;
    }
    return writeOutput(digits, samples, total);
}

}  // namespace

int wmain() {
    return render(sys::programFolder());
}
