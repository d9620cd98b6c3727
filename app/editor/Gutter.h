// The gutter beside the score box: the numbers of the score's lines on the rows on
// screen, none on the rows that a long line wraps onto. A line ends at CR LF, as the
// edit control breaks it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace gutter {

// The lines of the score: its CR LF pairs + 1, none when it is empty.
size_t lineCount(std::wstring_view score);

// The gutter's text for the rows on screen, given the first character of each row, with
// no empty rows below the last number.
std::wstring numbers(std::wstring_view score, const std::vector<size_t>& rows);

}  // namespace gutter
