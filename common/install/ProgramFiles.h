/* What lies in the program folder: the files and folders that the three programs and the
   helper programs share by name, the joiner's exit codes, and the resource ids of the
   icon and the pictures. Each name is written here once, and every program reads it from
   here. The resource scripts include this file too: they read only the ids. */
#pragma once

#define ART_PROGRAM_ICON 1

#define ART_SPLASH_LIGHT 101
#define ART_SPLASH_DARK 102
#define ART_ERROR 103 /* the error window's, in the main program and Launcher */
#define ART_NOTICE 104
#define ART_MENU_LIGHT 105
#define ART_MENU_DARK 106
#define ART_ABOUT 107

#define ART_WELCOME 121
#define ART_SETUP_PYTHON 122
#define ART_SETUP_THEME 123
#define ART_SETUP_ACCOUNT 124
#define ART_SETUP_DONE 125

#define ART_LOGIN_LIGHT 131
#define ART_LOGIN_DARK 132
#define ART_SETTINGS_LIGHT 133
#define ART_SETTINGS_DARK 134

#define ART_EDITOR_LIGHT 151
#define ART_EDITOR_DARK 152

#ifndef RC_INVOKED

#include <string>

namespace install {

inline const std::wstring MainProgram = L"奥文Orvane.exe";
inline const std::wstring NoticeProgram = L"notice.exe";
inline const std::wstring LauncherProgram = L"Launcher.exe";

// A notification request for notice.exe: its title and its text, one line each.
inline const std::wstring NoticeTitle = L"title.une";
inline const std::wstring NoticeText = L"text.une";

// The outside items we ship or expect: the note samples "0.wav" to "7.wav" in the folder
// wav, beside the joining script and the joiner; the batch files that run the AI model,
// the rendering and the setup's first step; the Python installer.
inline const std::wstring SampleFolder = L"wav";
inline const std::wstring JoiningScript = L"wav\\wav.py";
inline const std::wstring AiBatch = L"Ai.bat";
inline const std::wstring RenderBatch = L"outputWAV.bat";
inline const std::wstring SetupBatch = L"VB.bat";
inline const std::wstring PythonInstaller = L"python.exe";

// The AI model's folder of results: the score it writes, and the request it reads when
// it continues a score, the notes before the editor's caret.
inline const std::wstring AiFolder = L"output";
inline const std::wstring AiResult = L"output\\output.sop";
inline const std::wstring AiContext = L"output\\context.sop";

// Not in the program folder: where rendered pieces land, and what the menu's 我的作品 opens.
inline const std::wstring OutputFolder = L"C:\\Orvane\\OutputWAV";

// The exit codes of the joiner wavjoin.exe, which outputWAV.bat passes on: written; the
// script or a sample is missing (also the batch file's own code when it finds neither
// Python nor the joiner); one of them cannot be read; the output cannot be written.
// Python itself ends with 1 when the script fails.
inline constexpr int JoinerWritten = 0;
inline constexpr int PythonFailed = 1;
inline constexpr int JoinerMissing = 3;
inline constexpr int JoinerUnreadable = 4;
inline constexpr int JoinerNotWritten = 5;

}  // namespace install

#endif
