#include "Continuation.h"

#include <algorithm>
#include <map>

#include "Score.h"

namespace orvanex {

namespace {

bool isNote(wchar_t c) {
    return c >= L'0' && c <= L'7';
}

// One line of a context: the lengths of its runs of digits, and the remarks between them.
struct Line {
    std::vector<int> runs;
    std::vector<std::wstring> gaps;
};

template <class T>
T mostCommon(const std::vector<T>& items, T otherwise) {
    std::map<T, int> counts;
    for (const T& item : items) ++counts[item];
    int most = 0;
    for (const auto& [item, count] : counts)
        if (count > most) most = count, otherwise = item;
    return otherwise;
}

std::vector<Line> linesOf(std::wstring_view context) {
    std::vector<Line> lines(1);
    std::wstring gap;
    bool inRun = false;
    for (size_t i = 0; i < context.size(); ++i) {
        const wchar_t c = context[i];
        Line& line = lines.back();
        if (c == L'\r' || c == L'\n') {
            if (c == L'\r' && i + 1 < context.size() && context[i + 1] == L'\n') ++i;
            lines.emplace_back();
            gap.clear();
            inRun = false;
        } else if (isNote(c)) {
            if (!inRun) {
                if (!line.runs.empty()) line.gaps.push_back(gap);
                line.runs.push_back(0);
            }
            ++line.runs.back();
            inRun = true;
            gap.clear();
        } else {
            gap += c;
            inRun = false;
        }
    }
    return lines;
}

// Bars in a line: a run longer than a bar holds several, back to back.
int barsIn(const Line& line, int bar) {
    int bars = 0;
    for (const int run : line.runs) bars += (run + bar - 1) / bar;
    return bars;
}

}  // namespace

std::vector<int> notesOf(std::wstring_view context) {
    std::vector<int> notes;
    for (const wchar_t c : context)
        if (c >= L'1' && c <= L'7') notes.push_back(c - L'0');
    return notes;
}

Layout layoutOf(std::wstring_view context) {
    Layout layout;
    const std::vector<Line> lines = linesOf(context);
    layout.afterNote = !context.empty() && isNote(context.back());
    std::vector<int> runs;
    std::vector<std::wstring> gaps;
    for (size_t l = 0; l < lines.size(); ++l) {
        const Line& line = lines[l];
        const bool last = l + 1 == lines.size();
        for (size_t r = 0; r < line.runs.size(); ++r)
            if (!(last && layout.afterNote && r + 1 == line.runs.size())) runs.push_back(line.runs[r]);
        for (const std::wstring& gap : line.gaps)
            if (gap.size() <= 8) gaps.push_back(gap);
    }
    // Runs longer than any bar of the tunes are notes written without bar marks.
    const int run = mostCommon(runs, 4);
    layout.bar = run <= 8 ? run : 4;
    layout.separator = run <= 8 ? mostCommon(gaps, layout.separator) : L"";
    std::vector<int> perLine;
    for (size_t l = 0; l + 1 < lines.size(); ++l)
        if (!lines[l].runs.empty()) perLine.push_back(barsIn(lines[l], layout.bar));
    layout.barsPerLine = mostCommon(perLine, 0);
    layout.barsOnLine = barsIn(lines.back(), layout.bar);
    if (layout.afterNote) layout.open = lines.back().runs.back() % layout.bar;
    const size_t lineStart = context.find_last_of(L"\r\n");
    const std::wstring_view lastLine =
        lineStart == std::wstring_view::npos ? context : context.substr(lineStart + 1);
    layout.afterRemark =
        lines.back().runs.empty() && lastLine.find_first_not_of(L" \t") != std::wstring_view::npos;
    return layout;
}

std::wstring continuation(const Composer& composer, Random& random, std::wstring_view context) {
    const std::vector<int> notes = notesOf(context);
    if (notes.empty()) return render(composer.compose(random));
    const Layout layout = layoutOf(context);
    const int pickup = layout.open ? layout.bar - layout.open : 0;
    const Piece piece = composer.follow(random, notes, layout.bar, pickup);

    // The beats of both phrases, cut into bars of the context's length: the first
    // completes the bar the context left open.
    std::string beats;
    std::vector<size_t> phraseStarts;
    for (const Phrase& phrase : piece.phrases) {
        phraseStarts.push_back(beats.size());
        beats += phrase.digits();
    }
    std::wstring text = layout.afterRemark ? L"\r\n" : L"";
    size_t nextPhrase = 1;
    bool gap = layout.afterNote;  // a bar ended just before: the next one is set apart
    int onLine = layout.barsOnLine;
    for (size_t at = 0; at < beats.size();) {
        const bool completing = at == 0 && pickup;
        if (!completing) {
            const bool newPhrase = nextPhrase < phraseStarts.size() && at >= phraseStarts[nextPhrase];
            if (newPhrase) ++nextPhrase;
            const bool full = layout.barsPerLine ? onLine >= layout.barsPerLine : newPhrase && onLine > 0;
            if (full) {
                text += L"\r\n";
                onLine = 0;
            } else if (gap) {
                text += layout.separator;
            }
            ++onLine;
        }
        const size_t length =
            std::min(beats.size() - at, static_cast<size_t>(completing ? pickup : layout.bar));
        for (size_t i = 0; i < length; ++i) text += static_cast<wchar_t>(beats[at + i]);
        at += length;
        gap = true;
    }
    return text + L"\r\n";
}

}  // namespace orvanex
