// The one rendering of the whole program: the score's note digits become the joining
// script wav\wav.py, then outputWAV.bat runs it in the background, without
// a window, and a timer of the program watches it to its end, so that its outcome is
// told even when the editor has closed meanwhile. Success needs both a new WAV file
// in the output folder and an exit code of 0; anything else is a failure with its cause.
#pragma once

#include <string>
#include <string_view>

#include "system/System.h"

namespace rendering {

// Where the watch looks for the rendered pieces and the menu opens them: the output
// folder that the joining script writes to (install::OutputFolder), unless a test points
// it elsewhere.
extern std::wstring outputFolder;

// The score's note digits, ASCII "0" to "7", in reading order.
std::wstring noteDigits(std::wstring_view score);
// "files[1], files[2], files[3]" for the digits "123".
std::wstring sampleList(std::wstring_view digits);
// The script template with every placeholder replaced by the sample list.
std::wstring joiningScript(std::wstring_view scriptTemplate, std::wstring_view list);

// Told once a started rendering has ended: nothing when it succeeded, else the cause.
using Ended = void (*)(const sys::Cause& failure);

// Writes the joining script of the score into the wav folder and starts outputWAV.bat:
// the cause when it could not, nothing when it started. `ended` is told its outcome.
sys::Cause render(std::wstring_view score, Ended ended);

// Whether a started rendering has not ended yet.
bool running();

// Looks once at the watched batch file (the program's timer does so every 200 ms), and
// once it has ended tells how it went.
void check();

}  // namespace rendering
