#include "editor/Preview.h"

#include <windows.h>

#include <algorithm>

#include "sound/Sample.h"
#include "system/Paths.h"
#include "system/Scoped.h"

namespace preview {

namespace {

// Why the sample cannot be played, in the user's words.
std::wstring fault(const std::wstring& path, const sound::Sample& sample) {
    switch (sample.fault) {
        case sound::Fault::Unreadable:
            return L"无法读取音符采样 " + path + L"：" + sys::describe(sample.error);
        case sound::Fault::NotWave:
            return L"音符采样 " + path + L" 不是WAV文件。";
        case sound::Fault::NotPcm:
            return L"音符采样 " + path + L" 不是PCM格式的WAV文件（格式" + std::to_wstring(sample.format) +
                   L"），生成WAV文件时也会出错。";
        default:
            return L"音符采样 " + path + L" 不是完整的WAV文件，生成WAV文件时也会出错。";
    }
}

// The frames that the sample adds to a rendering; nothing and the reason when rendering
// would fail on it.
std::optional<std::vector<int16_t>> framesOf(const std::wstring& path, std::wstring& failure) {
    const sys::FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    sound::Sample sample;
    if (!file) {
        sample.fault = sound::Fault::Unreadable;
        sample.error = GetLastError();
    } else {
        sample = sound::readSample(file);
    }
    // A last odd byte, which rendering would pass on, makes no whole frame.
    std::vector<int16_t> frames(sample.dataLength / 2);
    if (sample.fault == sound::Fault::None && !frames.empty() &&
        !sound::readAt(file, sample.dataOffset, frames.data(), static_cast<DWORD>(frames.size() * 2))) {
        sample.fault = sound::Fault::Unreadable;
        sample.error = GetLastError();
    }
    if (sample.fault == sound::Fault::None) return frames;
    failure = fault(path, sample);
    return std::nullopt;
}

}  // namespace

std::optional<Samples> loadSamples(const std::wstring& folder, const std::wstring& digits,
                                   std::wstring& failure) {
    Samples samples;
    for (wchar_t d = L'0'; d <= L'7'; ++d) {
        if (digits.find(d) == std::wstring::npos) continue;
        const std::wstring name = std::wstring(1, d) + L".wav";
        const std::wstring path = folder + L"\\" + name;
        std::wstring why;
        auto frames = sys::exists(path) ? framesOf(path, why) : std::nullopt;
        if (!frames) {
            failure = L"无法播放：" +
                      (why.empty() ? L"缺少音符采样 " + name + L"（应在 " + folder + L" 中）。" : why);
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
