#include "Corpus.h"

#include <windows.h>

#include <map>
#include <stdexcept>

#include "Resources.h"

namespace orvanex {

std::vector<int> Phrase::degrees() const {
    std::vector<int> result;
    for (const Note& note : notes) result.push_back(note.degree);
    return result;
}

std::string Phrase::digits() const {
    std::string text(lead, '0');
    for (const Note& note : notes) {
        text += static_cast<char>('0' + note.degree);
        text.append(note.beats - 1, '0');
    }
    return text;
}

namespace {

std::string_view trimmed(std::string_view line) {
    const auto first = line.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    return line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
}

bool isPhraseLine(std::string_view line) {
    return !line.empty() && line.find_first_not_of("01234567', ") == std::string_view::npos &&
           line.find_first_of("01234567") != std::string_view::npos;
}

// The beats of each bar of a phrase line.
std::vector<int> barsOf(std::string_view line) {
    std::vector<int> bars;
    bool inBar = false;
    for (const char c : line) {
        if (c == ' ') {
            inBar = false;
        } else if (c >= '0' && c <= '7') {
            if (!inBar) bars.push_back(0);
            inBar = true;
            ++bars.back();
        }
    }
    return bars;
}

}  // namespace

Phrase parsePhrase(std::string_view line, int bar) {
    Phrase phrase;
    phrase.bars = barsOf(line);
    size_t barIndex = 0;
    int position = 0;  // in the current bar
    bool inBar = false, afterNote = false;
    for (const char c : line) {
        const bool note = c >= '1' && c <= '7';
        const bool marked = afterNote;
        afterNote = note;
        if (c == ' ') {
            if (inBar) ++barIndex;
            inBar = false;
            continue;
        }
        if (!inBar) {
            inBar = true;
            const int length = phrase.bars[barIndex];
            position = barIndex == 0 && length < bar ? bar - length : 0;  // a pick-up ends on the bar line
        }
        if (c == '\'' || c == ',') {
            if (!marked)
                throw std::invalid_argument("an octave mark without its note in " + std::string(line));
            phrase.notes.back().octave = c == '\'' ? 1 : -1;
            continue;
        }
        if (c < '0' || c > '7')
            throw std::invalid_argument("not a note: '" + std::string(1, c) + "' in " + std::string(line));
        if (c == '0') {
            if (phrase.notes.empty())
                ++phrase.lead;
            else
                ++phrase.notes.back().beats;
        } else {
            phrase.notes.push_back({c - '0', 0, 1, position});
        }
        ++position;
    }
    return phrase;
}

std::vector<Tune> readCorpus(std::string_view text) {
    std::vector<Tune> tunes;
    std::vector<std::string_view> remarks, phraseLines;
    auto close = [&] {
        if (!phraseLines.empty()) {
            Tune tune;
            if (!remarks.empty()) tune.title = remarks[0];
            if (remarks.size() > 1) tune.source = remarks[1];
            std::map<int, int> lengths;
            for (const auto line : phraseLines)
                for (const int length : barsOf(line)) ++lengths[length];
            int most = 0;
            for (const auto& [length, count] : lengths)
                if (count > most) most = count, tune.bar = length;
            for (const auto line : phraseLines) tune.phrases.push_back(parsePhrase(line, tune.bar));
            tunes.push_back(std::move(tune));
        }
        remarks.clear();
        phraseLines.clear();
    };
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = trimmed(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty())
            close();
        else if (isPhraseLine(line))
            phraseLines.push_back(line);
        else
            remarks.push_back(line);
    }
    close();
    return tunes;
}

std::string_view builtInCorpus() {
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(ORVANEX_CORPUS), MAKEINTRESOURCEW(10));
    if (!resource) return {};
    const void* data = LockResource(LoadResource(module, resource));
    return {static_cast<const char*>(data), SizeofResource(module, resource)};
}

}  // namespace orvanex
