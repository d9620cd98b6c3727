#include "Corpus.h"

#include <windows.h>

#include <stdexcept>

#include "Resources.h"

namespace orvanex {

std::vector<int> Phrase::degrees() const {
    std::vector<int> result;
    for (const Note& note : notes) result.push_back(note.degree);
    return result;
}

std::vector<int> Phrase::rhythm() const {
    std::vector<int> result;
    for (const Note& note : notes) result.push_back(note.beats);
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

Phrase parsePhrase(std::string_view digits) {
    Phrase phrase;
    for (const char c : digits) {
        if (c == ' ') continue;
        if (c == '0') {
            if (phrase.notes.empty())
                ++phrase.lead;
            else
                ++phrase.notes.back().beats;
        } else if (c >= '1' && c <= '7') {
            phrase.notes.push_back({c - '0', 1});
        } else {
            throw std::invalid_argument("not a note: '" + std::string(1, c) + "' in " + std::string(digits));
        }
    }
    return phrase;
}

namespace {

std::string_view trimmed(std::string_view line) {
    const auto first = line.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    return line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
}

bool isPhraseLine(std::string_view line) {
    return !line.empty() && line.find_first_not_of("0123456789 ") == std::string_view::npos;
}

}  // namespace

std::vector<Tune> readCorpus(std::string_view text) {
    std::vector<Tune> tunes;
    Tune tune;
    bool titled = false;
    auto close = [&] {
        if (!tune.phrases.empty()) tunes.push_back(std::move(tune));
        tune = {};
        titled = false;
    };
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = trimmed(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty()) {
            close();
        } else if (isPhraseLine(line)) {
            tune.phrases.push_back(parsePhrase(line));
        } else if (!titled) {
            tune.title = line;
            titled = true;
        }
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
