// A note sample as the joining script sees it: the script opens each listed sample with
// Python's wave module and, when the sample is mono, 16-bit, 44100 Hz, takes the bytes
// that readframes(getnframes()) returns. This reader walks the RIFF chunks the same way
// (sizes bounded by the enclosing RIFF chunk, odd chunks padded, the first data chunk
// after a fmt chunk), so that whoever reads a sample through it takes exactly those bytes,
// and refuses exactly the files on which the script stops with an error (wave.Error:
// "unknown format" for any format but PCM). The joiner renders with it and the editor's
// preview plays with it: a sample sounds in the preview as it sounds in a rendering.
#pragma once

#include <windows.h>

#include <cstdint>

namespace sound {

// Why the script would stop on a sample.
enum class Fault {
    None,
    Unreadable,         // the system refused a read (`error`)
    NotWave,            // no RIFF chunk of the form WAVE
    FormatCutShort,     // the fmt chunk ends before its fields
    NotPcm,             // a format other than plain PCM (`format`)
    NoChannelsOrWidth,  // the fmt chunk gives 0 channels or 0 bits
    DataBeforeFormat,
    ChunkPastEnd,  // a chunk runs past the end of the RIFF chunk
    NoFormatOrData,
};

struct Sample {
    Fault fault = Fault::None;
    uint16_t format = 0;       // the format tag of a sample that is not PCM
    uint32_t error = 0;        // the system's error code of a sample that cannot be read
    bool contributes = false;  // mono, 2 bytes a sample, 44100 frames a second
    uint64_t dataOffset = 0;   // where the contributed bytes lie in the file
    uint64_t dataLength = 0;   // their count, which may be odd, as the script's bytes may
};

// Reads the sample's chunks from an open file.
Sample readSample(HANDLE file);

// Reads `size` bytes from `offset` of the file; false with the system's error code in
// GetLastError when it cannot.
bool readAt(HANDLE file, uint64_t offset, void* into, DWORD size);

}  // namespace sound
