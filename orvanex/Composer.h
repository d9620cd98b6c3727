// The melody model. Pitch: a variable-order Markov model over the scale degrees do to
// ti, contexts of up to three notes within a phrase, blended with Witten-Bell
// interpolation so that an unseen context falls back on shorter ones. Rhythm: each
// phrase borrows the beat pattern of a phrase of the corpus. A piece is a few phrases
// in a song form (A A' B A', A B A C ...): A' repeats the first half of A and finds a
// new ending. Endings are planned: the note before an ending is chosen by how well it
// leads to an allowed ending; inner phrases end on mi or sol, the last one on do, and
// every phrase ends with a breath.
#pragma once

#include <array>
#include <map>
#include <string>
#include <vector>

#include "Corpus.h"
#include "Random.h"

namespace orvanex {

// P(degree) for the degrees 1 to 7, at index degree - 1.
using Distribution = std::array<double, 7>;

class PitchModel {
public:
    explicit PitchModel(const std::vector<Phrase>& phrases, int order = 3);

    // P(next degree | the notes of the phrase so far).
    Distribution distribution(const std::vector<int>& history) const;

private:
    // Counts of each next degree after each context; 0 in a context stands for the
    // time before the phrase's first note.
    using Counts = std::map<std::vector<int>, std::array<int, 7>>;
    int order_;
    std::vector<Counts> counts_;  // one table per context length, 0 to order
};

struct Piece {
    std::wstring title;
    std::vector<std::wstring> form;  // "A", "A'", "B" ...
    std::vector<Phrase> phrases;
};

// A new piece in one of the song forms.
Piece compose(Random& random, const std::vector<Tune>& corpus);

}  // namespace orvanex
