#include "PitchModel.h"

#include <algorithm>
#include <cmath>

namespace orvanex {

namespace {

// The last k degrees before the next note as one number; 0 stands for the time
// before the phrase's first note.
uint32_t contextKey(const std::vector<int>& history, int k) {
    uint32_t key = 0;
    for (int i = 1; i <= k; ++i) {
        const int index = static_cast<int>(history.size()) - i;
        key = key * 8 + static_cast<uint32_t>(index >= 0 ? history[index] : 0);
    }
    return key;
}

const std::vector<double> kDiscounts{0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 0.95};
const std::vector<double> kPlacements{0, 0.25, 0.5, 0.75, 1, 1.25};
const std::vector<double> kMotions{0, 0.15, 0.3, 0.45, 0.6, 0.75};

// The interval from one degree to the next, folded into one octave: 0 to 6 steps up.
int interval(int from, int to) {
    return (to - from + 7) % 7;
}

// The interval into the last note of the history; 7 when there is none.
int lastMotion(const std::vector<int>& history) {
    const size_t n = history.size();
    return n >= 2 ? interval(history[n - 2], history[n - 1]) : 7;
}

}  // namespace

Place placeOf(const Phrase& phrase, size_t note) {
    if (note + 1 == phrase.notes.size()) return Place::PhraseEnd;
    return phrase.notes[note].beat == 0 ? Place::Downbeat : Place::Offbeat;
}

PitchModel::PitchModel(const std::vector<const Tune*>& tunes) {
    for (const Tune* tune : tunes) learn(*tune);
}

PitchModel::PitchModel(const std::vector<Tune>& tunes) {
    for (const Tune& tune : tunes) learn(tune);
}

void PitchModel::learn(const Tune& tune) {
    for (const Phrase& phrase : tune.phrases) {
        std::vector<int> history;
        for (size_t i = 0; i < phrase.notes.size(); ++i) {
            const int d = phrase.notes[i].degree - 1;
            for (int k = 0; k <= kLongestContext; ++k) ++contexts_[k][contextKey(history, k)][d];
            ++places_[static_cast<int>(placeOf(phrase, i))][d];
            ++all_[d];
            if (!history.empty()) ++motions_[lastMotion(history)][interval(history.back(), d + 1)];
            history.push_back(phrase.notes[i].degree);
        }
    }
}

Distribution PitchModel::next(const std::vector<int>& history, Place place, const Settings& settings) const {
    Distribution p;
    p.fill(1.0 / 7);
    for (int k = 0; k <= settings.order && k <= kLongestContext; ++k) {
        const auto found = contexts_[k].find(contextKey(history, k));
        if (found == contexts_[k].end()) break;
        double total = 0, kinds = 0;
        for (const int c : found->second) {
            total += c;
            kinds += c > 0;
        }
        for (int d = 0; d < 7; ++d)
            p[d] = (std::max(found->second[d] - settings.discount, 0.0) + settings.discount * kinds * p[d]) /
                   total;
    }
    if (settings.motion > 0 && !history.empty()) {
        const Counts& after = motions_[lastMotion(history)];
        double total = 0;
        for (const int c : after) total += c;
        for (int d = 0; d < 7; ++d) {
            const double moved = (after[interval(history.back(), d + 1)] + 0.5) / (total + 3.5);
            p[d] = (1 - settings.motion) * p[d] + settings.motion * moved;
        }
    }
    if (settings.placement > 0) {
        // How much likelier each degree is in this place than anywhere, smoothed by one.
        const Counts& here = places_[static_cast<int>(place)];
        double hereTotal = 0, allTotal = 0;
        for (int d = 0; d < 7; ++d) hereTotal += here[d], allTotal += all_[d];
        double sum = 0;
        for (int d = 0; d < 7; ++d) {
            const double lift = ((here[d] + 1) / (hereTotal + 7)) / ((all_[d] + 1) / (allTotal + 7));
            p[d] *= std::pow(lift, settings.placement);
            sum += p[d];
        }
        for (double& v : p) v /= sum;
    }
    return p;
}

Distribution recalled(const Distribution& p, const std::vector<int>& sofar, double strength) {
    // Each view is the next shorter one with the counts of the piece added: the model,
    // then what followed the last note, then what followed the last two.
    const size_t n = sofar.size();
    Distribution r = p;
    for (size_t k = 1; k <= 2 && k <= n; ++k) {
        std::array<double, 7> counts{};
        double total = 0;
        for (size_t i = k; i < n; ++i)
            if (std::equal(sofar.begin() + static_cast<long>(i - k), sofar.begin() + static_cast<long>(i),
                           sofar.end() - static_cast<long>(k))) {
                counts[sofar[i] - 1] += 1;
                total += 1;
            }
        for (int d = 0; d < 7; ++d) r[d] = (counts[d] + strength * r[d]) / (total + strength);
    }
    return r;
}

namespace {

// Bits of every note of `tune` under `model`, added to `bits` for each setting.
void score(const PitchModel& model, const Tune& tune, const std::vector<Settings>& grid,
           std::vector<double>& bits) {
    for (const Phrase& phrase : tune.phrases) {
        std::vector<int> history;
        for (size_t i = 0; i < phrase.notes.size(); ++i) {
            const int d = phrase.notes[i].degree;
            for (size_t s = 0; s < grid.size(); ++s)
                bits[s] -= std::log2(model.next(history, placeOf(phrase, i), grid[s])[d - 1]);
            history.push_back(d);
        }
    }
}

std::vector<double> leaveOneOut(const std::vector<Tune>& tunes, const std::vector<Settings>& grid) {
    std::vector<double> bits(grid.size(), 0);
    double notes = 0;
    for (size_t out = 0; out < tunes.size(); ++out) {
        std::vector<const Tune*> others;
        for (size_t i = 0; i < tunes.size(); ++i)
            if (i != out) others.push_back(&tunes[i]);
        score(PitchModel(others), tunes[out], grid, bits);
        for (const Phrase& phrase : tunes[out].phrases) notes += static_cast<double>(phrase.notes.size());
    }
    for (double& b : bits) b /= notes;
    return bits;
}

}  // namespace

double heldOutBits(const std::vector<Tune>& tunes, const Settings& settings) {
    return leaveOneOut(tunes, {settings})[0];
}

Choice chooseSettings(const std::vector<Tune>& tunes, std::vector<Choice>* bestByOrder) {
    std::vector<Settings> grid;
    for (int order = 1; order <= kLongestContext; ++order)
        for (const double discount : kDiscounts)
            for (const double placement : kPlacements)
                for (const double motion : kMotions) grid.push_back({order, discount, placement, motion});
    const std::vector<double> bits = leaveOneOut(tunes, grid);
    Choice best{grid[0], bits[0]};
    if (bestByOrder) bestByOrder->assign(kLongestContext, Choice{{}, 1e9});
    for (size_t s = 0; s < grid.size(); ++s) {
        // Ties go to the simpler model: the grid runs from short contexts up.
        if (bits[s] < best.bits - 1e-12) best = {grid[s], bits[s]};
        if (bestByOrder && bits[s] < (*bestByOrder)[grid[s].order - 1].bits)
            (*bestByOrder)[grid[s].order - 1] = {grid[s], bits[s]};
    }
    return best;
}

}  // namespace orvanex
