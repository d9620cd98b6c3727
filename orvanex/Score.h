// A piece as score text, and the score file: GBK with CR LF, replacing the old file
// whole, so that the editor, reading at any moment, finds the old score or the new one.
#pragma once

#include <cstdint>
#include <string>

#include "Composer.h"

namespace orvanex {

// A title line, remarks and one line per phrase, each line ended by CR LF. Only the
// notes are ASCII digits.
std::wstring render(const Piece& piece);

// Writes the score, creating its folder when missing. Returns 0 or the system's error.
uint32_t writeScore(const std::wstring& path, const std::wstring& score);

// The score file of the program folder for a model in the folder `modelFolder`:
// modelFolder\..\output\output.sop.
std::wstring scorePathFor(const std::wstring& modelFolder);

}  // namespace orvanex
