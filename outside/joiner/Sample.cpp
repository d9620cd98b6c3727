#include "Sample.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace join {
namespace {

// What a chunk reads from: the file itself or the RIFF chunk around the others.
class Source {
public:
    virtual ~Source() = default;
    // Reads up to n bytes (into `out` when given) and says how many there were.
    virtual uint64_t read(uint64_t n, void* out) = 0;
    // False where Python's chunk raises on a position outside the chunk.
    virtual bool seekTo(uint64_t position) = 0;
    virtual bool seekBy(uint64_t n) = 0;
    virtual uint64_t tell() const = 0;
};

// The file as Python's buffered reader sees it: reads stop at its end, seeks go anywhere.
class File : public Source {
public:
    File(HANDLE handle, uint64_t size) : handle_(handle), size_(size) {}

    uint64_t read(uint64_t n, void* out) override {
        const uint64_t count = position_ < size_ ? std::min(n, size_ - position_) : 0;
        if (out && count) {
            LARGE_INTEGER at;
            at.QuadPart = static_cast<LONGLONG>(position_);
            DWORD got = 0;
            if (!SetFilePointerEx(handle_, at, nullptr, FILE_BEGIN) ||
                !ReadFile(handle_, out, static_cast<DWORD>(count), &got, nullptr) || got != count)
                failed = true;
        }
        position_ += count;
        return count;
    }
    bool seekTo(uint64_t position) override {
        position_ = position;
        return true;
    }
    bool seekBy(uint64_t n) override { return seekTo(position_ + n); }
    uint64_t tell() const override { return position_; }

    bool failed = false;  // the system refused a read

private:
    HANDLE handle_;
    uint64_t size_;
    uint64_t position_ = 0;
};

// One chunk: an id, a 32-bit size, and reads bounded by that size, padded to even.
class Chunk : public Source {
public:
    // The next chunk of the parent. (A named function: a constructor from Source& would
    // lose to the copy constructor when the parent is a Chunk itself.)
    static Chunk next(Source& parent) { return Chunk(parent); }

    bool complete() const { return complete_; }
    bool is(const char* id) const { return std::memcmp(id_, id, 4) == 0; }
    uint32_t size() const { return size_; }

    uint64_t read(uint64_t n, void* out) override {
        if (read_ >= size_) return 0;
        const uint64_t count = parent_.read(std::min<uint64_t>(n, size_ - read_), out);
        read_ += count;
        if (read_ == size_ && (size_ & 1)) read_ += parent_.read(1, nullptr);
        return count;
    }
    bool seekTo(uint64_t position) override {
        if (position > size_ || !parent_.seekTo(offset_ + position)) return false;
        read_ = position;
        return true;
    }
    bool seekBy(uint64_t n) override { return seekTo(read_ + n); }
    uint64_t tell() const override { return read_; }
    bool skip() { return parent_.seekBy(size_ - read_ + (size_ & 1)); }

private:
    explicit Chunk(Source& parent) : parent_(parent) {
        unsigned char size[4];
        if (parent.read(4, id_) < 4 || parent.read(4, size) < 4) return;
        size_ = size[0] | size[1] << 8 | size[2] << 16 | static_cast<uint32_t>(size[3]) << 24;
        offset_ = parent.tell();
        complete_ = true;
    }

    Source& parent_;
    char id_[4] = {};
    uint32_t size_ = 0;
    uint64_t offset_ = 0;
    uint64_t read_ = 0;
    bool complete_ = false;
};

uint16_t u16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t u32(const unsigned char* p) {
    return u16(p) | static_cast<uint32_t>(u16(p + 2)) << 16;
}

}  // namespace

bool readSample(HANDLE handle, Sample& sample, std::wstring& error) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(handle, &size)) {
        error = L"its size cannot be read";
        return false;
    }
    File file(handle, static_cast<uint64_t>(size.QuadPart));
    Chunk riff = Chunk::next(file);
    char wave[4] = {};
    if (!riff.complete() || !riff.is("RIFF") || riff.read(4, wave) < 4 || std::memcmp(wave, "WAVE", 4) != 0) {
        error = L"it is not a WAV file";
        return false;
    }

    bool formatRead = false;
    uint16_t channels = 0;
    uint32_t rate = 0;
    uint32_t width = 0;
    std::optional<Chunk> data;
    while (!data) {
        Chunk chunk = Chunk::next(riff);
        if (!chunk.complete()) break;
        if (chunk.is("fmt ")) {
            unsigned char format[16];
            if (chunk.read(14, format) < 14) {
                error = L"its format chunk is cut short";
                return false;
            }
            if (u16(format) != 1) {
                error = L"it is not plain PCM (format " + std::to_wstring(u16(format)) + L")";
                return false;
            }
            if (chunk.read(2, format + 14) < 2) {
                error = L"its format chunk is cut short";
                return false;
            }
            channels = u16(format + 2);
            rate = u32(format + 4);
            width = (u16(format + 14) + 7u) / 8;
            if (!width || !channels) {
                error = L"its format chunk gives no channels or no sample width";
                return false;
            }
            formatRead = true;
        } else if (chunk.is("data")) {
            if (!formatRead) {
                error = L"its data chunk comes before its format chunk";
                return false;
            }
            data.emplace(chunk);
            break;
        }
        if (!chunk.skip()) {
            error = L"a chunk runs past the end of the file's RIFF chunk";
            return false;
        }
    }
    if (!formatRead || !data) {
        error = L"it has no format chunk or no data chunk";
        return false;
    }

    sample = {};
    sample.contributes = channels == 1 && width == 2 && rate == 44100;
    const uint64_t frames = data->size() / (channels * width);
    if (sample.contributes && frames) {
        sample.dataOffset = file.tell();
        sample.dataLength = data->read(frames * 2, nullptr);
    }
    if (file.failed) {
        error = L"reading it failed";
        return false;
    }
    return true;
}

}  // namespace join
