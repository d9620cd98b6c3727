// A continuation of the score before the editor's caret. Its notes are the digits 1 to
// 7 (0 holds or rests); the rest is remarks, and the spaces, bar marks and line
// breaks among the digits are how the user sets the notes out: so many beats between
// two remarks (a bar), such a remark between bars, so many bars to a line. The
// continuation is written the same way from where the context stops, so that it reads
// on from the caret: a bar left open is completed first.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "Composer.h"

namespace orvanex {

struct Layout {
    int bar = 4;                     // beats between two remarks
    std::wstring separator = L"  ";  // the remark between two bars of a line
    int barsPerLine = 0;             // 0: unknown, a line for each phrase
    int open = 0;                    // beats of the last bar, when the context stops inside it
    int barsOnLine = 0;              // bars so far on the line the context stops in
    bool afterNote = false;          // the context ends with a digit
    bool afterRemark = false;        // the context ends in a line of remarks alone: go on below it
};

// The notes of a context: the degrees of its digits 1 to 7, in order.
std::vector<int> notesOf(std::wstring_view context);

Layout layoutOf(std::wstring_view context);

// The text that follows the context, ended by CR LF: two phrases set out in the
// context's layout, or a whole new piece when the context holds no note.
std::wstring continuation(const Composer& composer, Random& random, std::wstring_view context);

}  // namespace orvanex
