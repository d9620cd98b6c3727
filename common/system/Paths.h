// The program folder, the existence test, folders and the system's wording of an error.
#pragma once

#include <cstdint>
#include <string>

namespace sys {

// The folder of the running executable, unless a test gave another one.
const std::wstring& programFolder();
void setProgramFolder(std::wstring folder);

// programFolder() + "\" + name.
std::wstring inProgramFolder(const std::wstring& name);

// A path exists when a directory search for it finds an ordinary file: a folder, or
// a hidden or system file, of that name counts as missing.
bool exists(const std::wstring& path);

// The system's own description of an error code, without a trailing line end.
std::wstring describe(uint32_t error);

// "无法启动 what：reason", for a program that would not start.
std::wstring cannotStart(const std::wstring& what, uint32_t error);

// "无法写入文件 path：reason", for a file that could not be written.
std::wstring cannotWrite(const std::wstring& path, uint32_t error);

// The folder part of a path (everything before the last '\' or '/').
std::wstring parentOf(const std::wstring& path);

// Creates the folder with any missing parents, as Python's os.makedirs does; a folder that
// is there already is fine. Returns 0 or the system's error code.
uint32_t createFolders(const std::wstring& folder);

}  // namespace sys
