#include "Rhythm.h"

#include <algorithm>

namespace orvanex {

RhythmBook::RhythmBook(const std::vector<Tune>& tunes) {
    for (const Tune& tune : tunes) {
        Metre& metre = metres_[tune.bar];
        for (const Phrase& phrase : tune.phrases) {
            const std::vector<std::string> bars = patternsOf(phrase);
            const size_t firstBar = phrase.bars.front() < tune.bar ? 1 : 0;  // after a pick-up
            if (bars.size() - firstBar >= 1)
                shapes_.push_back({tune.bar, std::max(2, static_cast<int>(bars.size() - firstBar))});
            for (size_t i = firstBar; i < bars.size(); ++i) {
                if (static_cast<int>(bars[i].size()) != tune.bar) continue;  // a short bar before a pick-up
                if (i + 1 == bars.size())
                    metre.last.push_back(bars[i]);
                else if (i == firstBar)
                    metre.first.push_back(bars[i]);
                else
                    metre.middle.push_back(bars[i]);
                if (i > firstBar && i + 1 < bars.size() && bars[i - 1].size() == bars[i].size()) {
                    ++metre.pairs;
                    metre.repeats += bars[i - 1] == bars[i];
                }
            }
        }
    }
    // A metre without patterns for every place cannot make a phrase.
    std::erase_if(shapes_, [&](const Shape& s) {
        const Metre& m = metres_[s.bar];
        return m.first.empty() || m.middle.empty() ||
               std::none_of(m.last.begin(), m.last.end(),
                            [](const std::string& p) { return p.back() == '-'; });
    });
}

RhythmBook::Shape RhythmBook::shape(Random& random) const {
    Shape s = random.choice(shapes_);
    s.bars = std::min(s.bars, 6);
    return s;
}

RhythmBook::Shape RhythmBook::shape(Random& random, int bar) const {
    std::vector<Shape> same;
    for (const Shape& s : shapes_)
        if (s.bar == bar) same.push_back(s);
    if (same.empty()) return shape(random);
    Shape s = random.choice(same);
    s.bars = std::min(s.bars, 6);
    return s;
}

std::vector<std::string> RhythmBook::phrase(Random& random, const Shape& shape, bool lastOfPiece) const {
    const Metre& metre = metres_.at(shape.bar);
    std::vector<std::string> endings;
    for (const std::string& p : metre.last)
        if (p.back() == '-') endings.push_back(p);
    for (int attempt = 0;; ++attempt) {
        std::vector<std::string> bars{random.choice(metre.first)};
        while (static_cast<int>(bars.size()) + 1 < shape.bars) {
            const bool repeat = random.uniform() * metre.pairs < metre.repeats;
            bars.push_back(repeat ? bars.back() : random.choice(metre.middle));
        }
        bars.push_back(random.choice(endings));
        int onsets = 0;
        for (const std::string& bar : bars)
            onsets += static_cast<int>(std::count(bar.begin(), bar.end(), 'x'));
        if (onsets < 4 && attempt < 50) continue;  // too few notes to carry a phrase and its cadence
        if (lastOfPiece && breathOf(bars) < 3) bars.push_back(std::string(shape.bar, '-'));
        return bars;
    }
}

std::vector<std::string> patternsOf(const Phrase& phrase) {
    const std::string digits = phrase.digits();
    std::vector<std::string> bars;
    size_t at = 0;
    for (const int length : phrase.bars) {
        std::string bar;
        for (int i = 0; i < length; ++i) bar += digits[at + i] == '0' ? '-' : 'x';
        bars.push_back(bar);
        at += length;
    }
    return bars;
}

Phrase phraseOf(const std::vector<std::string>& bars) {
    Phrase phrase;
    for (const std::string& bar : bars) {
        phrase.bars.push_back(static_cast<int>(bar.size()));
        for (size_t beat = 0; beat < bar.size(); ++beat) {
            if (bar[beat] == 'x')
                phrase.notes.push_back({1, 0, 1, static_cast<int>(beat)});
            else if (phrase.notes.empty())
                ++phrase.lead;
            else
                ++phrase.notes.back().beats;
        }
    }
    return phrase;
}

int breathOf(const std::vector<std::string>& bars) {
    int held = 0;
    for (auto bar = bars.rbegin(); bar != bars.rend(); ++bar)
        for (auto beat = bar->rbegin(); beat != bar->rend(); ++beat) {
            if (*beat == 'x') return held;
            ++held;
        }
    return held;
}

}  // namespace orvanex
