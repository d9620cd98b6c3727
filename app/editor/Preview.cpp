#include "editor/Preview.h"

#include <algorithm>
#include <cstring>

#include "system/Paths.h"
#include "text/LineFile.h"

namespace preview {

namespace {

uint32_t little(const std::string& bytes, size_t at, size_t size) {
    uint32_t value = 0;
    for (size_t i = 0; i < size; ++i)
        value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return value;
}

}  // namespace

std::optional<std::vector<int16_t>> framesOf(const std::string& bytes) {
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
        return std::nullopt;
    bool pcm16Mono44100 = false, hadFormat = false;
    for (size_t at = 12; at + 8 <= bytes.size();) {
        const std::string id = bytes.substr(at, 4);
        const size_t size = little(bytes, at + 4, 4);
        const size_t body = at + 8;
        const size_t available = std::min(size, bytes.size() - body);
        if (id == "fmt " && available >= 16) {
            hadFormat = true;
            pcm16Mono44100 = little(bytes, body, 2) == 1 && little(bytes, body + 2, 2) == 1 &&
                             little(bytes, body + 4, 4) == 44100 && little(bytes, body + 14, 2) == 16;
        } else if (id == "data" && hadFormat) {
            std::vector<int16_t> frames;
            if (!pcm16Mono44100) return frames;
            frames.resize(available / 2);
            std::memcpy(frames.data(), bytes.data() + body, frames.size() * 2);
            return frames;
        }
        at = body + size + (size & 1);
    }
    return std::nullopt;
}

std::optional<Samples> loadSamples(const std::wstring& folder, const std::wstring& digits,
                                   std::wstring& failure) {
    Samples samples;
    for (wchar_t d = L'0'; d <= L'7'; ++d) {
        if (digits.find(d) == std::wstring::npos) continue;
        const std::wstring name = std::wstring(1, d) + L".wav";
        const std::wstring path = folder + L"\\" + name;
        uint32_t error = 0;
        const auto bytes = sys::exists(path) ? text::readBytes(path, &error) : std::nullopt;
        const auto frames = bytes ? framesOf(*bytes) : std::nullopt;
        if (!frames) {
            failure = L"无法播放：" + (!sys::exists(path)
                                           ? L"缺少音符采样 " + name + L"（应在 " + folder + L" 中）。"
                                       : !bytes ? L"无法读取音符采样 " + path + L"：" + sys::describe(error)
                                                : L"音符采样 " + path + L" 不是WAV文件。");
            return std::nullopt;
        }
        samples[static_cast<size_t>(d - L'0')] = std::move(*frames);
    }
    return samples;
}

std::vector<Note> notesIn(std::wstring_view score, size_t from, size_t to) {
    std::vector<Note> notes;
    to = std::min(to, score.size());
    size_t line = 1;
    for (size_t at = 0; at < to; ++at) {
        const wchar_t c = score[at];
        if (c == L'\n' && at > 0 && score[at - 1] == L'\r') ++line;
        if (at >= from && c >= L'0' && c <= L'7') notes.push_back({c, at, line});
    }
    return notes;
}

std::wstring digitsOf(const std::vector<Note>& notes) {
    std::wstring digits;
    digits.reserve(notes.size());
    for (const Note& note : notes) digits += note.digit;
    return digits;
}

std::vector<uint64_t> noteStarts(const std::wstring& digits, const Samples& samples) {
    std::vector<uint64_t> starts;
    starts.reserve(digits.size());
    uint64_t at = 0;
    for (const wchar_t d : digits) {
        starts.push_back(at);
        at += samples[static_cast<size_t>(d - L'0')].size();
    }
    // A note without frames is never heard: it starts with the next.
    for (size_t i = starts.size(); i-- > 0;)
        if (samples[static_cast<size_t>(digits[i] - L'0')].empty())
            starts[i] = i + 1 < starts.size() ? starts[i + 1] : at;
    return starts;
}

size_t noteAt(const std::vector<uint64_t>& starts, uint64_t position) {
    const auto after = std::upper_bound(starts.begin(), starts.end(), position);
    return after == starts.begin() ? 0 : static_cast<size_t>(after - starts.begin()) - 1;
}

sys::SoundSource source(std::wstring digits, std::shared_ptr<const Samples> samples) {
    // Where the sound stands: the digit that plays and the frame within its sample.
    struct Position {
        size_t digit = 0, frame = 0;
    };
    auto at = std::make_shared<Position>();
    return [digits = std::move(digits), samples = std::move(samples), at](int16_t* block, size_t capacity) {
        size_t filled = 0;
        while (filled < capacity && at->digit < digits.size()) {
            const auto& frames = (*samples)[static_cast<size_t>(digits[at->digit] - L'0')];
            const size_t count = std::min(capacity - filled, frames.size() - at->frame);
            std::copy_n(frames.begin() + static_cast<std::ptrdiff_t>(at->frame), count, block + filled);
            filled += count;
            at->frame += count;
            if (at->frame == frames.size()) {
                ++at->digit;
                at->frame = 0;
            }
        }
        return filled;
    };
}

}  // namespace preview
