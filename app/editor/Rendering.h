// The one rendering of the whole program: outputWAV.bat runs in the background, without
// a window, and a timer of the program watches it to its end, so that its outcome is
// posted even when the editor has closed meanwhile. Success needs both a new WAV file
// in the output folder and an exit code of 0; anything else is a failure with its cause.
#pragma once

#include <string>

#include "system/System.h"

namespace rendering {

// The folder that receives the rendered pieces, "C:\Orvane\OutputWAV". Tests point it
// elsewhere.
extern std::wstring outputFolder;

// Whether a started rendering has not ended yet.
bool running();

// Starts the batch file and watches it; what the start gave.
sys::Started start(const std::wstring& batch);

// Looks once at the watched batch file (the program's timer does so every 200 ms).
// Once it has ended: the notice "生成成功" or a message with the cause, and the editor,
// when open, is told how it went.
void check();

}  // namespace rendering
