// What the helper programs (the joiner, OrvaneX) say on their standard error, which the
// batch files that start them show on a console or pass on to a file.
#pragma once

#include <string>
#include <string_view>

namespace sys {

// The text as UTF-8.
std::string toUtf8(std::wstring_view text);

// One line on the standard error: in the console's own characters where it is a console,
// as UTF-8 where it is a file or a pipe.
void printError(const std::wstring& line);

}  // namespace sys
