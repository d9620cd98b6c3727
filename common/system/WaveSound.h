// The sound output behind System::play: waveOut with a few short blocks that a thread of
// its own refills as each one is played. Every waveOut result is checked: a block the
// device refuses, or a device that stops taking blocks (a headset unplugged), ends the
// sound with the device's own description, so that nothing waits for a block that never
// comes back. A sound stopped before its end fades out over a few milliseconds instead
// of breaking off mid-wave, which clicks.
#pragma once

#include <windows.h>
// waveOut builds on windows.h.
#include <mmsystem.h>

#include <memory>

#include "system/System.h"

namespace sys {

// The waveOut calls a sound makes: the system's own, or a test's device that fails on
// purpose.
struct WaveOut {
    decltype(&waveOutOpen) open = waveOutOpen;
    decltype(&waveOutPrepareHeader) prepare = waveOutPrepareHeader;
    decltype(&waveOutWrite) write = waveOutWrite;
    decltype(&waveOutGetPosition) position = waveOutGetPosition;
    decltype(&waveOutReset) reset = waveOutReset;
    decltype(&waveOutUnprepareHeader) unprepare = waveOutUnprepareHeader;
    decltype(&waveOutClose) close = waveOutClose;
    // How long the device may take no block before it counts as gone.
    unsigned stallMilliseconds = 2000;
};

// Samples in one block (46 ms) and in the fade of a stop (8 ms).
inline constexpr size_t kSoundBlock = 2048;
inline constexpr size_t kSoundFade = 353;

// Plays the source on the device that `out` reaches; nothing and an error code of the
// system when it cannot be opened.
std::unique_ptr<Sound> playOn(const WaveOut& out, SoundSource source, uint32_t& error);

}  // namespace sys
