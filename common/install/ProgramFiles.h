// The files that the three programs of one program folder share by name: each name is
// written here once, and every program reads it from here.
#pragma once

#include <string>

namespace install {

inline const std::wstring MainProgram = L"奥文Orvane.exe";
inline const std::wstring NoticeProgram = L"notice.exe";
inline const std::wstring LauncherProgram = L"Launcher.exe";

// A notification request for notice.exe: its title and its text, one line each.
inline const std::wstring NoticeTitle = L"title.une";
inline const std::wstring NoticeText = L"text.une";

}  // namespace install
