// A note sample as the joining script sees it: the script opens each listed sample with
// Python's wave module and, when the sample is mono, 16-bit, 44100 Hz, takes the bytes
// that readframes(getnframes()) returns. This reader walks the RIFF chunks the same way
// (sizes bounded by the enclosing RIFF chunk, odd chunks padded, the first data chunk
// after a fmt chunk), so that the joiner takes exactly those bytes, and refuses exactly
// the files on which the script stops with an error.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace join {

struct Sample {
    bool contributes = false;  // mono, 2 bytes a sample, 44100 frames a second
    uint64_t dataOffset = 0;   // where the contributed bytes lie in the file
    uint64_t dataLength = 0;
};

// Reads the sample's chunks from an open file. On a file that the script could not
// read, returns false with the reason in `error`.
bool readSample(HANDLE file, Sample& sample, std::wstring& error);

}  // namespace join
