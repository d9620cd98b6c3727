// A new piece: a few phrases in a song form (A A' B A', A B A C ...), where A'
// repeats the first half of A and finds a new ending. Each new phrase takes its
// rhythm bar by bar (Rhythm.h) and its notes from the pitch model (PitchModel.h),
// steered towards a cadence planned from the tunes' own habits: inner phrases end
// where the tunes' inner phrases end (half cadences on re or sol included), and the
// last phrase reaches do the way the tunes do, most often from re. A piece borrows
// runs of notes from the tunes no longer than the tunes borrow from each other.
#pragma once

#include <string>
#include <unordered_set>
#include <vector>

#include "Corpus.h"
#include "PitchModel.h"
#include "Random.h"
#include "Rhythm.h"

namespace orvanex {

struct Piece {
    std::wstring title;
    std::vector<std::wstring> form;  // "A", "A'", "B" ...
    int bar = 4;                     // beats in a bar
    std::vector<Phrase> phrases;
};

class Composer {
public:
    explicit Composer(const std::vector<Tune>& tunes, const Settings& settings = kChosenSettings);
    Piece compose(Random& random) const;
    // Two phrases that go on from the notes `context` (degrees, in order): the first
    // moves on from the context's last notes and takes up its motifs, the second ends
    // on do. Bars of `bar` beats where the tunes have that metre; a `pickup` of beats
    // first completes the bar the context left open.
    Piece follow(Random& random, const std::vector<int>& context, int bar, int pickup) const;

private:
    // Degrees for the notes of `shape`, starting with `start`, ending on `end`, the
    // note before it `approach` (0: any).
    // `before` holds the degrees of the piece so far; `lead`, when given, the notes that
    // the phrase continues from, heard across the phrase's start and recalled.
    std::vector<int> melody(Random& random, const Phrase& shape, std::vector<int> start, int end,
                            int approach, const std::string& before, const std::vector<int>& lead = {}) const;
    int innerEnding(Random& random, int unlike) const;

    Settings settings_;
    PitchModel model_;
    RhythmBook rhythm_;
    std::array<std::array<double, 7>, 7> step_{};  // first-order P(next | degree), to steer
    Distribution innerEnds_{}, finalApproach_{};
    std::unordered_set<std::string> borrowed_;  // every run of kBorrowed notes of the tunes
};

}  // namespace orvanex
