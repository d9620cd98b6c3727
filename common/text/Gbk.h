// Conversion between the UTF-16 text of the windows and the GBK bytes (code page 936)
// of every file the programs read or write. Always code page 936, whatever the
// system's ANSI code page happens to be.
#pragma once

#include <string>
#include <string_view>

namespace text {

// Characters that code page 936 cannot hold become "?", the same way every time. A
// conversion the system refuses throws sys::Failure: it never gives an empty text.
std::string toGbk(std::wstring_view wide);

// Bytes that are not valid GBK are decoded leniently (the system's replacement). A
// conversion the system refuses throws sys::Failure.
std::wstring fromGbk(std::string_view bytes);

// The characters of the text that code page 936 cannot hold, each once, in the order
// they first appear; empty when the whole text can be stored.
std::wstring outsideGbk(std::wstring_view wide);

}  // namespace text
