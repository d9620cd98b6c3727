#include "editor/Gutter.h"

namespace gutter {

namespace {

// The CR LF pairs whose CR stands in [from, to - 1).
size_t pairsIn(std::wstring_view score, size_t from, size_t to) {
    size_t pairs = 0;
    for (size_t at = score.find(L'\r', from); at != std::wstring_view::npos && at + 1 < to;
         at = score.find(L'\r', at + 1))
        if (score[at + 1] == L'\n') ++pairs;
    return pairs;
}

}  // namespace

size_t lineCount(std::wstring_view score) {
    return score.empty() ? 0 : pairsIn(score, 0, score.size()) + 1;
}

std::wstring numbers(std::wstring_view score, const std::vector<size_t>& rows) {
    std::wstring caption;
    if (score.empty() || rows.empty()) return caption;
    // Counted from the first row on screen: a tick stays cheap on scores of any length.
    size_t line = pairsIn(score, 0, rows.front()) + 1, counted = rows.front();
    for (const size_t start : rows) {
        line += pairsIn(score, counted, start);
        counted = start;
        const bool begins =
            start == 0 || (start >= 2 && score[start - 2] == L'\r' && score[start - 1] == L'\n');
        caption += (begins ? std::to_wstring(line) : L"") + L"\r\n";
    }
    while (caption.size() >= 4 && caption.compare(caption.size() - 4, 4, L"\r\n\r\n") == 0)
        caption.resize(caption.size() - 2);
    if (caption == L"\r\n") caption.clear();
    return caption;
}

}  // namespace gutter
