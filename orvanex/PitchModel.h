// The pitch half of the model: which scale degree comes next. Two views are mixed:
// an n-gram over the degrees of a phrase, smoothed by interpolated absolute
// discounting (an unseen or rare context falls back on shorter ones), and the motion
// from the note before, by the interval it moved last (a run goes on, a leap turns
// back), which pools what every degree does. The mix is weighted by where the note
// falls: on a downbeat, off it, or as the phrase's last note, where the tunes favour
// the notes of the tonic and dominant chords. The order, the discount and both
// weights are chosen by held-out likelihood, leaving one tune out at a time.
#pragma once

#include <array>
#include <unordered_map>
#include <vector>

#include "Corpus.h"

namespace orvanex {

// P(degree) for the degrees 1 to 7, at index degree - 1.
using Distribution = std::array<double, 7>;

enum class Place { Downbeat, Offbeat, PhraseEnd };

Place placeOf(const Phrase& phrase, size_t note);

struct Settings {
    int order = 2;          // notes of context
    double discount = 0.7;  // taken from each seen count for the shorter contexts
    double placement = 1;   // weight of the note's place, 0 to ignore it
    double motion = 0;      // share of the interval view in the mix
    bool operator==(const Settings&) const = default;
};

// Chosen by chooseSettings on the shipped tunes; a test keeps them in step.
constexpr Settings kChosenSettings{2, 0.95, 0.75, 0.3};

constexpr int kLongestContext = 4;

class PitchModel {
public:
    explicit PitchModel(const std::vector<const Tune*>& tunes);
    explicit PitchModel(const std::vector<Tune>& tunes);

    // P(next degree | the phrase's degrees so far, where the next note falls).
    Distribution next(const std::vector<int>& history, Place place, const Settings& settings) const;

private:
    using Counts = std::array<int, 7>;
    void learn(const Tune& tune);
    std::array<std::unordered_map<uint32_t, Counts>, kLongestContext + 1> contexts_;
    std::array<Counts, 3> places_{};   // by Place
    std::array<Counts, 8> motions_{};  // the next interval (mod 7) after each interval, 7: none yet
    Counts all_{};
};

// The piece so far as a second opinion over the model's `p`: what followed its last
// two notes, and its last note, where they came before in it. A continuation takes up
// the motifs of what it continues. `strength` is how many such notes weigh as much as
// the model; a piece that never had its last notes before leaves `p` as it is.
Distribution recalled(const Distribution& p, const std::vector<int>& sofar, double strength);

// Chosen by held-out likelihood of continuations (tools/bench-music); a test keeps it in step.
constexpr double kRecall = 8;

// Mean bits per note of each tune's notes under a model of the other tunes.
double heldOutBits(const std::vector<Tune>& tunes, const Settings& settings);

struct Choice {
    Settings settings;
    double bits = 0;
};
// The held-out best of a grid of orders, discounts and weights; with
// `bestByOrder`, also the best for each order 1 to kLongestContext.
Choice chooseSettings(const std::vector<Tune>& tunes, std::vector<Choice>* bestByOrder = nullptr);

}  // namespace orvanex
