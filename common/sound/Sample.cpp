#include "sound/Sample.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace sound {
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
        if (out && count && !error && !readAt(handle_, position_, out, static_cast<DWORD>(count)))
            error = GetLastError() ? GetLastError() : ERROR_HANDLE_EOF;
        position_ += count;
        return count;
    }
    bool seekTo(uint64_t position) override {
        position_ = position;
        return true;
    }
    bool seekBy(uint64_t n) override { return seekTo(position_ + n); }
    uint64_t tell() const override { return position_; }

    uint32_t error = 0;  // the system refused a read

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

// What the fmt chunk says, read as the wave module reads it: the format tag first, and
// the bits per sample only of a PCM sample.
struct Format {
    uint16_t channels = 0;
    uint32_t rate = 0;
    uint32_t width = 0;  // bytes a sample
};

Fault readFormat(Chunk& chunk, Format& format, uint16_t& tag) {
    unsigned char fields[16];
    if (chunk.read(14, fields) < 14) return Fault::FormatCutShort;
    tag = u16(fields);
    if (tag != 1) return Fault::NotPcm;
    if (chunk.read(2, fields + 14) < 2) return Fault::FormatCutShort;
    format.channels = u16(fields + 2);
    format.rate = u32(fields + 4);
    format.width = (u16(fields + 14) + 7u) / 8;
    return format.width && format.channels ? Fault::None : Fault::NoChannelsOrWidth;
}

// The chunks of the RIFF chunk up to the first data chunk, which is left in `data`.
Fault findData(Chunk& riff, std::optional<Chunk>& data, Format& format, uint16_t& tag) {
    bool formatRead = false;
    for (;;) {
        Chunk chunk = Chunk::next(riff);
        if (!chunk.complete()) break;
        if (chunk.is("fmt ")) {
            if (const Fault fault = readFormat(chunk, format, tag); fault != Fault::None) return fault;
            formatRead = true;
        } else if (chunk.is("data")) {
            if (!formatRead) return Fault::DataBeforeFormat;
            data.emplace(chunk);
            return Fault::None;
        }
        if (!chunk.skip()) return Fault::ChunkPastEnd;
    }
    return Fault::NoFormatOrData;
}

}  // namespace

Sample readSample(HANDLE handle) {
    Sample sample;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(handle, &size)) {
        sample.fault = Fault::Unreadable;
        sample.error = GetLastError();
        return sample;
    }
    File file(handle, static_cast<uint64_t>(size.QuadPart));
    Chunk riff = Chunk::next(file);
    char wave[4] = {};
    std::optional<Chunk> data;
    Format format;
    if (!riff.complete() || !riff.is("RIFF") || riff.read(4, wave) < 4 || std::memcmp(wave, "WAVE", 4) != 0)
        sample.fault = Fault::NotWave;
    else
        sample.fault = findData(riff, data, format, sample.format);
    if (sample.fault == Fault::None) {
        sample.contributes = format.channels == 1 && format.width == 2 && format.rate == 44100;
        const uint64_t frames = data->size() / (format.channels * format.width);
        if (sample.contributes && frames) {
            sample.dataOffset = file.tell();
            sample.dataLength = data->read(frames * 2, nullptr);
        }
    }
    if (file.error) {
        sample = {};
        sample.fault = Fault::Unreadable;
        sample.error = file.error;
    }
    return sample;
}

bool readAt(HANDLE file, uint64_t offset, void* into, DWORD size) {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    DWORD got = 0;
    if (!SetFilePointerEx(file, at, nullptr, FILE_BEGIN) || !ReadFile(file, into, size, &got, nullptr))
        return false;
    if (got == size) return true;
    SetLastError(ERROR_HANDLE_EOF);  // the file ended before: it changed since it was read
    return false;
}

}  // namespace sound
