// The tunes the model learns from, as the data file melodies.txt writes them: a tune
// is a block of lines up to a blank line, its title, its source, then one line per
// phrase. In a phrase line a space is a bar line, a digit is a beat (1 to 7 a note,
// 0 holds the note before it or rests), and ' or , after a note puts it an octave
// above or below. The file is built into OrvaneX.exe.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orvanex {

struct Note {
    int degree = 1;  // 1 (do) to 7 (ti)
    int octave = 0;  // -1 below, 0 the middle octave, 1 above
    int beats = 1;   // the note and the beats it holds
    int beat = 0;    // where it starts in its bar: 0 is the downbeat
};

struct Phrase {
    std::vector<Note> notes;
    int lead = 0;           // beats of silence before the first note
    std::vector<int> bars;  // the beats of each bar as written; the first may be a pick-up

    std::vector<int> degrees() const;
    // The phrase as score digits: the lead's zeros, each note's digit and a 0 for
    // each further beat it holds. Octave marks fold away: a score has one octave.
    std::string digits() const;
};

struct Tune {
    std::string title;   // UTF-8, as the data file holds it
    std::string source;  // where the tune comes from
    int bar = 4;         // beats in a bar: the most common bar of its phrases
    std::vector<Phrase> phrases;
};

// One phrase line of a tune whose bars hold `bar` beats: a first bar shorter than
// that is a pick-up and ends on the bar line. Throws std::invalid_argument on a
// character that is not a note, a rest, an octave mark or a bar line.
Phrase parsePhrase(std::string_view line, int bar);

// Every tune of the text of a data file (UTF-8, LF or CR LF).
std::vector<Tune> readCorpus(std::string_view text);

// The data file built into the program.
std::string_view builtInCorpus();

}  // namespace orvanex
