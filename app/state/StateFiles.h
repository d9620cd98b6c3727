// The state files: one value on the first line of a small GBK file in the program
// folder. Windows read them when they load and write them when the user changes a
// value; nothing caches a value for another window.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace state {

inline const std::wstring ThemeColors = L"themecolors.une";
inline const std::wstring FirstRun = L"bft.une";
inline const std::wstring AiRequest = L"AiMade.une";

// The first line of the state file; nothing when the file is missing, unreadable or
// empty (zero bytes).
std::optional<std::wstring> read(const std::wstring& file);

// Replaces the state file with the value and CR LF. A file that cannot be written
// is named in a message box with the system's reason, and the program ends.
void write(const std::wstring& file, std::wstring_view value);

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
