// The rhythm half of the model, bar by bar. Every bar of the tunes is kept as a
// pattern of onsets ('x' where a note starts, '-' where the beat holds or rests),
// filed by its metre and its place in the phrase: the first bar, a middle bar, or
// the last bar, where the tunes hold a longer note or breathe. A new phrase takes
// its metre and length from a phrase of the tunes, then draws each bar from the
// patterns of its place, repeating the bar before as often as the tunes do.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "Corpus.h"
#include "Random.h"

namespace orvanex {

class RhythmBook {
public:
    explicit RhythmBook(const std::vector<Tune>& tunes);

    struct Shape {
        int bar = 4;   // beats in a bar
        int bars = 4;  // bars in a phrase
    };
    Shape shape(Random& random) const;
    // A shape of the metre `bar` when the tunes have one; otherwise any.
    Shape shape(Random& random, int bar) const;

    // The bars of a new phrase. Its last bar ends with at least one held beat; the
    // last phrase of a piece ends with at least three (a bar of rest is added).
    std::vector<std::string> phrase(Random& random, const Shape& shape, bool lastOfPiece) const;

private:
    struct Metre {
        std::vector<std::string> first, middle, last;
        int repeats = 0, pairs = 0;  // middle bars that repeat the bar before, of all
    };
    std::map<int, Metre> metres_;
    std::vector<Shape> shapes_;  // one for each phrase of the tunes
};

// The bars of a phrase as onset patterns.
std::vector<std::string> patternsOf(const Phrase& phrase);

// A phrase with notes where the bars have onsets; every note is do until the pitch
// half fills in its degrees.
Phrase phraseOf(const std::vector<std::string>& bars);

// The trailing beats of a phrase that hold or rest: its breath.
int breathOf(const std::vector<std::string>& bars);

}  // namespace orvanex
