// The state files: one value on the first line of a small GBK file in the program
// folder. Windows read them when they load and write them when the user changes a
// value; nothing caches a value for another window.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "system/Failure.h"

namespace state {

inline const std::wstring ThemeColors = L"themecolors.une";
inline const std::wstring FirstRun = L"bft.une";
inline const std::wstring AiRequest = L"AiMade.une";

// The values the windows store. The theme: "0" is light; the settings store "1" for
// dark, the setup's dark button "Text2", which reads as dark as any line but "0" does.
inline const std::wstring LightTheme = L"0";
inline const std::wstring DarkTheme = L"1";
inline const std::wstring SetupDarkTheme = L"Text2";
// The first-run flag: "1" once the setup is done; the factory reset stores "Text4",
// which does not read as 1, so that the next start runs the setup again.
inline const std::wstring SetupDone = L"1";
inline const std::wstring SetupAgain = L"Text4";
// The AI request: "1" asks the editor to run the model, "0" once it has.
inline const std::wstring AiWanted = L"1";
inline const std::wstring AiDone = L"0";

// The first line of the state file; nothing when the file is missing, unreadable or
// empty (zero bytes).
std::optional<std::wstring> read(const std::wstring& file);

// Replaces the state file with the value and CR LF. A file that cannot be written is
// named with the system's reason.
sys::Cause write(const std::wstring& file, std::wstring_view value);

// "0" is the light theme, any other line the dark one; no theme value at all is light.
bool isLight(const std::optional<std::wstring>& themeValue);
bool isLightTheme();

// The first-run flag compared with the number 1: "1", "01", " 1", "1.0" are 1;
// "Text4", "", "2" are not.
bool readsAsOne(std::wstring_view value);
bool firstRunComplete();

// "1" (compared as text) asks the editor to run the AI model.
bool aiRequested();

}  // namespace state
