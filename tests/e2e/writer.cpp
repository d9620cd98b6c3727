// Writes the state files beside itself over and over, each time the other of two
// values, through the program's own writer, until it is killed. A test kills it at
// random moments and checks that every file holds one value or the other.
#include <windows.h>

#include <string>

#include "system/Paths.h"
#include "text/LineFile.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const wchar_t* files[] = {L"themecolors.une", L"bft.une", L"AiMade.une", L"title.une", L"text.une"};
    // The long value makes a write last long enough to be cut in the middle.
    const std::wstring values[] = {L"0", L"Text2" + std::wstring(200000, L'谱')};
    for (unsigned round = 0;; ++round)
        for (const wchar_t* file : files) text::writeLine(sys::inProgramFolder(file), values[round % 2]);
}
