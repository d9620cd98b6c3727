// The music benchmark: the shipped model beside two baselines it builds itself,
// uniform random digits and a first-order chain on the same tunes, and beside the
// tunes themselves. Held-out figures leave one tune out at a time; the figures of
// written pieces come from 50 seeds. Continuations (AI续写) are measured on the tunes
// cut at random notes: the bits of what truly follows, given the notes before the cut
// or not, and how the first note after the cut moves.
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

#include "Composer.h"
#include "Continuation.h"
#include "Corpus.h"
#include "PitchModel.h"

namespace {

using namespace orvanex;

// A piece as the notes of its phrases: the degree and the octave it truly has
// (the written pieces have one octave, in which ti lies below do).
struct Sounding {
    int degree;
    int octave;
};
using Heard = std::vector<std::vector<Sounding>>;

// The scale step of a note: do of the middle octave is 0.
int stepOf(const Sounding& n) {
    return n.degree - 1 + 7 * n.octave;
}

Heard fromTune(const Tune& tune) {
    Heard piece;
    for (const Phrase& phrase : tune.phrases) {
        piece.emplace_back();
        for (const Note& note : phrase.notes) piece.back().push_back({note.degree, note.octave});
    }
    return piece;
}

Heard written(const std::vector<std::vector<int>>& phrases) {
    Heard piece;
    for (const auto& phrase : phrases) {
        piece.emplace_back();
        for (const int d : phrase) piece.back().push_back({d, d == 7 ? -1 : 0});
    }
    return piece;
}

std::string degreesOf(const Heard& piece) {
    std::string text;
    for (const auto& phrase : piece)
        for (const Sounding& n : phrase) text += static_cast<char>('0' + n.degree);
    return text;
}

// Every run of up to 30 notes of the texts.
std::unordered_set<std::string> runsOf(const std::vector<std::string>& texts) {
    std::unordered_set<std::string> runs;
    for (const std::string& text : texts)
        for (size_t i = 0; i < text.size(); ++i)
            for (size_t n = 1; n <= 30 && i + n <= text.size(); ++n) runs.insert(text.substr(i, n));
    return runs;
}

size_t longestCopied(const std::string& text, const std::unordered_set<std::string>& runs) {
    size_t longest = 0;
    for (size_t i = 0; i < text.size(); ++i)
        for (size_t n = longest + 1; i + n <= text.size() && runs.contains(text.substr(i, n)); ++n)
            longest = n;
    return longest;
}

struct Figures {
    double bits = 0;
    double stepsPerLeap = 0;
    double endsOn[8] = {};  // share of phrase ends on each degree
    double approachFromRe = 0;
    double copiedMean = 0, copiedMax = 0;
    int distinct = 0;
    double uses[8] = {};  // share of pieces that use each degree
    double notes = 0;     // per piece
    double ti = 0;        // share of notes that are ti
    double tiToDo = 0;    // share of ti that move on to do
    double tiFromDo = 0;  // share of ti that come from do
};

Figures figuresOf(const std::vector<Heard>& pieces, const std::unordered_set<std::string>* corpusRuns,
                  const std::vector<std::string>* tuneTexts) {
    Figures f;
    double steps = 0, leaps = 0, phrases = 0, tis = 0, tiMoves = 0;
    std::set<std::string> distinct;
    for (size_t p = 0; p < pieces.size(); ++p) {
        const Heard& piece = pieces[p];
        bool used[8] = {};
        for (const auto& phrase : piece) {
            for (size_t i = 0; i < phrase.size(); ++i) {
                used[phrase[i].degree] = true;
                f.notes += 1.0 / static_cast<double>(pieces.size());
                if (phrase[i].degree == 7) {
                    tis += 1;
                    if (i + 1 < phrase.size()) f.tiToDo += phrase[i + 1].degree == 1, ++tiMoves;
                    if (i > 0) f.tiFromDo += phrase[i - 1].degree == 1;
                }
                if (i == 0) continue;
                const int move = std::abs(stepOf(phrase[i]) - stepOf(phrase[i - 1]));
                steps += move == 1;
                leaps += move > 1;
            }
            if (!phrase.empty()) f.endsOn[phrase.back().degree] += 1;
            ++phrases;
        }
        const auto& last = piece.back();
        if (last.size() >= 2 && last.back().degree == 1 && last[last.size() - 2].degree == 2)
            f.approachFromRe += 1;
        for (int d = 1; d <= 7; ++d) f.uses[d] += used[d];
        const std::string text = degreesOf(piece);
        distinct.insert(text);
        size_t copied;
        if (corpusRuns) {
            copied = longestCopied(text, *corpusRuns);
        } else {  // a tune against the other tunes
            std::vector<std::string> others;
            for (size_t i = 0; i < tuneTexts->size(); ++i)
                if (i != p) others.push_back((*tuneTexts)[i]);
            copied = longestCopied(text, runsOf(others));
        }
        f.copiedMean += static_cast<double>(copied) / static_cast<double>(pieces.size());
        f.copiedMax = std::max(f.copiedMax, static_cast<double>(copied));
    }
    f.stepsPerLeap = steps / leaps;
    f.ti = tis / (f.notes * static_cast<double>(pieces.size()));
    f.tiToDo /= tiMoves;
    f.tiFromDo /= tis;
    for (double& e : f.endsOn) e /= phrases;
    f.approachFromRe /= static_cast<double>(pieces.size());
    for (double& u : f.uses) u /= static_cast<double>(pieces.size());
    f.distinct = static_cast<int>(distinct.size());
    return f;
}

// The first-order chain: P(next | the note before, or the phrase's start), add-k.
struct Chain {
    double counts[8][7] = {};
    double k = 1;
    explicit Chain(const std::vector<const Tune*>& tunes, double addK) : k(addK) {
        for (const Tune* tune : tunes)
            for (const Phrase& phrase : tune->phrases) {
                int before = 0;
                for (const Note& note : phrase.notes) {
                    counts[before][note.degree - 1] += 1;
                    before = note.degree;
                }
            }
    }
    double p(int before, int degree) const {
        double total = 0;
        for (const double c : counts[before]) total += c;
        return (counts[before][degree - 1] + k) / (total + 7 * k);
    }
};

double chainBits(const std::vector<Tune>& tunes, double k) {
    double bits = 0, notes = 0;
    for (size_t out = 0; out < tunes.size(); ++out) {
        std::vector<const Tune*> others;
        for (size_t i = 0; i < tunes.size(); ++i)
            if (i != out) others.push_back(&tunes[i]);
        const Chain chain(others, k);
        for (const Phrase& phrase : tunes[out].phrases) {
            int before = 0;
            for (const Note& note : phrase.notes) {
                bits -= std::log2(chain.p(before, note.degree));
                before = note.degree;
                ++notes;
            }
        }
    }
    return bits / notes;
}

// A note of a tune, where it falls.
struct Placed {
    int degree;
    Place place;
};

std::vector<Placed> placedNotes(const Tune& tune) {
    std::vector<Placed> notes;
    for (const Phrase& phrase : tune.phrases)
        for (size_t i = 0; i < phrase.notes.size(); ++i)
            notes.push_back({phrase.notes[i].degree, placeOf(phrase, i)});
    return notes;
}

constexpr int kCutsPerTune = 5;
constexpr size_t kFollowing = 32;  // notes scored after a cut: about two phrases

// Each tune's cut points, the same for every figure: at least four notes before, and
// as many after.
std::vector<std::vector<size_t>> cutsOf(const std::vector<Tune>& tunes) {
    Random random(20261209);
    std::vector<std::vector<size_t>> cuts;
    for (const Tune& tune : tunes) {
        const size_t n = placedNotes(tune).size();
        cuts.emplace_back();
        for (int c = 0; c < kCutsPerTune; ++c) cuts.back().push_back(4 + random.below(n - 8));
    }
    return cuts;
}

// Held-out bits per note of the notes after each cut, each tune under a model of the
// others; with the context the model hears the notes before the cut too.
double continuationBits(const std::vector<Tune>& tunes, const std::vector<std::vector<size_t>>& cuts,
                        bool withContext, double recall) {
    double bits = 0, scored = 0;
    for (size_t out = 0; out < tunes.size(); ++out) {
        std::vector<const Tune*> others;
        for (size_t i = 0; i < tunes.size(); ++i)
            if (i != out) others.push_back(&tunes[i]);
        const PitchModel model(others);
        const std::vector<Placed> notes = placedNotes(tunes[out]);
        for (const size_t cut : cuts[out]) {
            std::vector<int> heard;
            if (withContext)
                for (size_t i = 0; i < cut; ++i) heard.push_back(notes[i].degree);
            for (size_t i = cut; i < notes.size() && i < cut + kFollowing; ++i) {
                Distribution p = model.next(heard, notes[i].place, kChosenSettings);
                if (recall > 0) p = recalled(p, heard, recall);
                bits -= std::log2(p[notes[i].degree - 1]);
                ++scored;
                heard.push_back(notes[i].degree);
            }
        }
    }
    return bits / scored;
}

bool isStep(int a, int b) {
    return std::abs(a % 7 - b % 7) == 1;  // as the samples sound: ti just below do
}

void row(const char* name, const std::vector<Figures>& f, const std::function<double(const Figures&)>& value,
         const char* format) {
    std::printf("%-34s", name);
    for (const Figures& x : f) {
        const double v = value(x);
        if (std::isnan(v))
            std::printf("%12s", "-");
        else
            std::printf(format, v);
    }
    std::printf("\n");
}

}  // namespace

int main() {
    const std::vector<Tune> tunes = readCorpus(builtInCorpus());
    size_t notes = 0;
    for (const Tune& t : tunes)
        for (const Phrase& p : t.phrases) notes += p.notes.size();
    std::printf("Corpus: %zu tunes, %zu notes\n\n", tunes.size(), notes);

    // The model's settings, chosen by held-out likelihood.
    std::vector<Choice> byOrder;
    const Choice best = chooseSettings(tunes, &byOrder);
    std::printf("Held-out bits per note by context length (best discount and placement weight of each):\n");
    for (const Choice& c : byOrder)
        std::printf("  order %d   discount %.2f   placement %.2f   motion %.2f   %.3f bits\n",
                    c.settings.order, c.settings.discount, c.settings.placement, c.settings.motion, c.bits);
    Settings plain = best.settings;
    plain.placement = 0;
    std::printf("  the chosen without the placement: %.3f bits\n", heldOutBits(tunes, plain));
    plain = best.settings;
    plain.motion = 0;
    std::printf("  the chosen without the motion: %.3f bits\n", heldOutBits(tunes, plain));
    const Settings& s = kChosenSettings;
    std::printf(
        "Chosen: order %d, discount %.2f, placement %.2f, motion %.2f; shipped: %d, %.2f, %.2f, %.2f%s\n\n",
        best.settings.order, best.settings.discount, best.settings.placement, best.settings.motion, s.order,
        s.discount, s.placement, s.motion,
        best.settings == kChosenSettings ? "" : "  (DIFFERENT: update kChosenSettings)");

    // The baselines, fitted the same fair way.
    double chainK = 1, chainBest = 1e9;
    for (const double k : {0.05, 0.1, 0.25, 0.5, 1.0, 2.0}) {
        const double b = chainBits(tunes, k);
        if (b < chainBest) chainBest = b, chainK = k;
    }
    std::vector<const Tune*> all;
    for (const Tune& t : tunes) all.push_back(&t);
    const Chain chain(all, chainK);
    std::vector<size_t> lengths;
    for (const Tune& t : tunes)
        for (const Phrase& p : t.phrases) lengths.push_back(p.notes.size());

    std::vector<Heard> model, uniform, chained, corpus;
    const Composer composer(tunes);
    for (int seed = 1; seed <= 50; ++seed) {
        Random random(static_cast<uint64_t>(seed));
        const orvanex::Piece piece = composer.compose(random);
        std::vector<std::vector<int>> phrases;
        for (const Phrase& p : piece.phrases) phrases.push_back(p.degrees());
        model.push_back(written(phrases));

        Random other(static_cast<uint64_t>(seed) + 1000);
        std::vector<std::vector<int>> u, c;
        for (int p = 0; p < 4; ++p) {
            const size_t n = other.choice(lengths);
            u.emplace_back();
            c.emplace_back();
            int before = 0;
            for (size_t i = 0; i < n; ++i) {
                u.back().push_back(static_cast<int>(other.below(7)) + 1);
                std::vector<double> w(7);
                for (int d = 1; d <= 7; ++d) w[d - 1] = chain.p(before, d);
                before = static_cast<int>(other.weighted(w)) + 1;
                c.back().push_back(before);
            }
        }
        uniform.push_back(written(u));
        chained.push_back(written(c));
    }
    std::vector<std::string> tuneTexts;
    for (const Tune& t : tunes) {
        corpus.push_back(fromTune(t));
        tuneTexts.push_back(degreesOf(corpus.back()));
    }
    const auto corpusRuns = runsOf(tuneTexts);

    std::vector<Figures> f{figuresOf(model, &corpusRuns, nullptr), figuresOf(uniform, &corpusRuns, nullptr),
                           figuresOf(chained, &corpusRuns, nullptr), figuresOf(corpus, nullptr, &tuneTexts)};
    f[0].bits = heldOutBits(tunes, kChosenSettings);
    f[1].bits = std::log2(7.0);
    f[2].bits = chainBest;
    f[3].bits = NAN;

    std::printf("%-34s%12s%12s%12s%12s\n", "", "model", "uniform", "1st-order", "corpus");
    row(
        "held-out bits per note", f, [](const Figures& x) { return x.bits; }, "%12.3f");
    row(
        "steps per leap", f, [](const Figures& x) { return x.stepsPerLeap; }, "%12.2f");
    for (const int d : {1, 2, 3, 5}) {
        char name[64];
        std::snprintf(name, sizeof name, "phrase ends on %d", d);
        row(
            name, f, [d](const Figures& x) { return 100 * x.endsOn[d]; }, "%11.0f%%");
    }
    row(
        "phrase ends on 1, 3 or 5", f,
        [](const Figures& x) { return 100 * (x.endsOn[1] + x.endsOn[3] + x.endsOn[5]); }, "%11.0f%%");
    row(
        "final do approached from re", f, [](const Figures& x) { return 100 * x.approachFromRe; },
        "%11.0f%%");
    row(
        "longest copied run, mean", f, [](const Figures& x) { return x.copiedMean; }, "%12.1f");
    row(
        "longest copied run, max", f, [](const Figures& x) { return x.copiedMax; }, "%12.0f");
    row(
        "distinct pieces (of 50 / of tunes)", f,
        [](const Figures& x) { return static_cast<double>(x.distinct); }, "%12.0f");
    for (int d = 1; d <= 7; ++d) {
        char name[64];
        std::snprintf(name, sizeof name, "pieces that use %d", d);
        row(
            name, f, [d](const Figures& x) { return 100 * x.uses[d]; }, "%11.0f%%");
    }
    row(
        "notes per piece", f, [](const Figures& x) { return x.notes; }, "%12.0f");
    row(
        "notes that are ti", f, [](const Figures& x) { return 100 * x.ti; }, "%11.1f%%");
    row(
        "ti that moves on to do", f, [](const Figures& x) { return 100 * x.tiToDo; }, "%11.0f%%");
    row(
        "ti that comes from do", f, [](const Figures& x) { return 100 * x.tiFromDo; }, "%11.0f%%");
    std::printf(
        "\nThe first-order chain uses add-%.2f smoothing, its best held out. The corpus's copied run is\n"
        "each tune's longest run shared with the other tunes; its steps are true steps, octaves kept.\n",
        chainK);

    // Which ti the sample 7 should sound: the one that keeps more of the tunes' true
    // intervals to and from ti once the score folds them into one octave.
    int below = 0, above = 0, total = 0;
    auto semitone = [](int degree) { return std::array{0, 2, 4, 5, 7, 9, 11}[degree - 1]; };
    for (const Tune& t : tunes)
        for (const Phrase& p : t.phrases)
            for (size_t i = 1; i < p.notes.size(); ++i) {
                const Note &a = p.notes[i - 1], &b = p.notes[i];
                if ((a.degree != 7 && b.degree != 7) || a.degree == b.degree) continue;
                ++total;
                const int truly = semitone(b.degree) + 12 * b.octave - semitone(a.degree) - 12 * a.octave;
                auto sounds = [&](int tiAt) {
                    auto at = [&](int d) { return d == 7 ? tiAt : semitone(d); };
                    return at(b.degree) - at(a.degree);
                };
                below += sounds(-1) == truly;
                above += sounds(11) == truly;
            }
    std::printf(
        "\nIntervals to or from ti that sound true in one octave: ti below do %d of %d, ti above la %d of "
        "%d\n",
        below, total, above, total);

    // Continuations.
    const auto cuts = cutsOf(tunes);
    std::printf("\nContinuations (AI续写): %d cuts per tune at random notes, the next %zu notes held out\n",
                kCutsPerTune, kFollowing);
    double bestRecall = 0, bestRecallBits = 1e9;
    for (const double recall : {0.0, 1.0, 2.0, 4.0, 8.0, 16.0, 32.0}) {
        const double b = continuationBits(tunes, cuts, true, recall);
        std::printf("  with the context, recall strength %-4g %.3f bits per note\n", recall, b);
        if (b < bestRecallBits - 1e-12) bestRecallBits = b, bestRecall = recall;
    }
    const double with = continuationBits(tunes, cuts, true, kRecall);
    const double without = continuationBits(tunes, cuts, false, kRecall);
    std::printf("  best recall strength %g; shipped %g%s\n", bestRecall, kRecall,
                bestRecall == kRecall ? "" : "  (DIFFERENT: update kRecall)");
    std::printf(
        "  held-out bits per note: with the context %.3f, the same model without it %.3f (%.1f%% fewer)\n",
        with, without, 100 * (without - with) / without);

    // The first note after each cut: a step from the note before it, in the tunes and in
    // the continuations written from the same cuts (five seeds each).
    double tuneSteps = 0, tuneFirsts = 0, followSteps = 0, followFirsts = 0, freshSteps = 0;
    for (size_t t = 0; t < tunes.size(); ++t) {
        const std::vector<Placed> notes = placedNotes(tunes[t]);
        for (const size_t cut : cuts[t]) {
            std::vector<int> context;
            for (size_t i = 0; i < cut; ++i) context.push_back(notes[i].degree);
            tuneSteps += isStep(context.back(), notes[cut].degree);
            ++tuneFirsts;
            for (int seed = 0; seed < 5; ++seed) {
                Random random(static_cast<uint64_t>(seed * 1000 + t * 10 + cut));
                followSteps +=
                    isStep(context.back(),
                           composer.follow(random, context, tunes[t].bar, 0).phrases[0].notes[0].degree);
                freshSteps += isStep(context.back(), composer.compose(random).phrases[0].notes[0].degree);
                ++followFirsts;
            }
        }
    }
    std::printf(
        "  first intervals that are steps: continuations %.0f%%, the tunes %.0f%%, a new piece "
        "after the same notes %.0f%%\n",
        100 * followSteps / followFirsts, 100 * tuneSteps / tuneFirsts, 100 * freshSteps / followFirsts);
    return 0;
}
