// The score as a Standard MIDI File, for notation programs and music workstations:
// format 0, one track, 480 ticks to the quarter note, 120 quarters a minute (our samples
// last half a second each), 4/4, and a marimba, the General MIDI sound closest to our
// soft mallet samples. Each note digit is one quarter in score order: 1 to 6 are C4 to A4,
// 7 is B3 as its sample is, 0 is a quarter rest; every other character is a remark.
#pragma once

#include <string>
#include <string_view>

namespace midi {

inline constexpr int kTicksPerQuarter = 480;
inline constexpr int kMarimba = 12;  // General MIDI program 13, counted from 0 in the file

// The bytes of the file. Each note-off lies at the end of its beat; a rest at the end
// still lasts its beat, so the track ends where the rendered WAV does. Empty when the
// score has no note digit.
std::string fromScore(std::wstring_view score);

}  // namespace midi
