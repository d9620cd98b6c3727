// The line rules shared by all three programs: every state file, notification file
// and score is GBK text whose lines end at CR LF or at a lone CR; a lone LF stays
// inside the line. Writes replace a file whole: a crash in the middle leaves the old
// content or the new one, never a half file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace text {

// The first line of the bytes, without its line end.
std::string_view firstLine(std::string_view bytes);

// Every line of the bytes, without its line end. A final line end closes the last
// line and starts none: "a\r\nb" and "a\r\nb\r\n" both give "a", "b"; no bytes give no line.
std::vector<std::string_view> lines(std::string_view bytes);

// The text with every line end as CR LF, the only one that Windows' edit control shows
// as a line break (Wine's shows a lone CR or LF as one too): a lone CR ends a line, and
// so does a lone LF, which the line rules would keep inside it.
std::wstring withCrLf(std::wstring_view text);

// The whole file, or nothing when it cannot be opened or read; `error` then holds
// the system's error code.
std::optional<std::string> readBytes(const std::wstring& path, uint32_t* error = nullptr);

// Replaces the file's content with the bytes: written to a temporary file of its own
// beside it, then renamed over it at once (with POSIX semantics where the system offers
// them, so that a holder with delete sharing does not stop it; moved by name elsewhere).
// While another program holds the file without delete sharing, the replace is tried
// again for half a second, then the file is written in place if the holder lets us. A
// read-only file is refused. Returns 0 or the system's error code.
uint32_t writeBytes(const std::wstring& path, std::string_view bytes);

// Deletes the temporary files that a write killed halfway left in the folder; those of
// a program still running are its writes in progress and stay.
void removeLeftovers(const std::wstring& folder);

// The first line of a GBK file; nothing when the file is missing, unreadable or has
// no line at all (zero bytes). A file that starts with a line end gives "".
std::optional<std::wstring> readFirstLine(const std::wstring& path, uint32_t* error = nullptr);

// Every line of a GBK file; nothing when it cannot be opened or read.
std::optional<std::vector<std::wstring>> readLines(const std::wstring& path, uint32_t* error = nullptr);

// One value and CR LF, in GBK. Returns 0 or the system's error code.
uint32_t writeLine(const std::wstring& path, std::wstring_view value);

}  // namespace text
