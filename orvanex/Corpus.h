// The tunes the model learns from, as the data file melodies.txt writes them: a tune
// is a block of lines up to a blank line, each line of digits and spaces one of its
// phrases, its first other line its title. The file is built into OrvaneX.exe.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orvanex {

// A scale degree, 1 (do) to 7 (ti), and the beats it takes: the note and the rests
// after it.
struct Note {
    int degree = 1;
    int beats = 1;
};

struct Phrase {
    std::vector<Note> notes;
    int lead = 0;  // rests before the first note

    std::vector<int> degrees() const;
    std::vector<int> rhythm() const;
    // The phrase as score digits: a note's digit, then a 0 for each further beat.
    std::string digits() const;
};

struct Tune {
    std::string title;  // UTF-8, as the data file holds it
    std::vector<Phrase> phrases;
};

// One phrase from its digits; spaces are ignored. Throws std::invalid_argument on any
// other character.
Phrase parsePhrase(std::string_view digits);

// Every tune of the text of a data file (UTF-8, LF or CR LF).
std::vector<Tune> readCorpus(std::string_view text);

// The data file built into the program.
std::string_view builtInCorpus();

}  // namespace orvanex
