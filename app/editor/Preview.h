// The preview of a score: the note samples that rendering would join, in score order,
// played by the program itself from the samples in the wav folder. Nothing is written
// and no outside program runs. The sound is built block by block while it plays, so a
// score of any length starts at once.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "system/System.h"

namespace preview {

// The frames of the note samples "0.wav" to "7.wav". A sample that is not mono, 16-bit,
// 44100 Hz has no frames, as it adds none to a rendering.
using Samples = std::array<std::vector<int16_t>, 8>;

// Reads the samples that the digits name from the folder, with the reader that rendering
// uses (sound/Sample.h): a sample on which rendering would fail (not a WAV file, not PCM)
// is not played either. On failure the message that names the sample and why.
std::optional<Samples> loadSamples(const std::wstring& folder, const std::wstring& digits,
                                   std::wstring& failure);

// A note of the score: its digit, where it stands in the text and on which line.
struct Note {
    wchar_t digit = L'0';
    size_t at = 0;
    size_t line = 1;  // counted as the gutter counts, from 1
};

// The notes of the score between `from` and `to` (character positions), in order.
std::vector<Note> notesIn(std::wstring_view score, size_t from, size_t to);
std::wstring digitsOf(const std::vector<Note>& notes);

// Where each note starts in the sound, in samples: a note whose sample has no frames
// starts where the next one does.
std::vector<uint64_t> noteStarts(const std::wstring& digits, const Samples& samples);
// The note heard at a position of the sound: the last one that has started.
size_t noteAt(const std::vector<uint64_t>& starts, uint64_t position);

// What the sound output plays: the frames of each digit's sample, one after the other.
sys::SoundSource source(std::wstring digits, std::shared_ptr<const Samples> samples);

}  // namespace preview
