#include "Composer.h"

#include <map>

namespace orvanex {

namespace {

// A letter is a new phrase, a letter with ' repeats the first half of that phrase and
// ends anew, the same letter again repeats the phrase.
const std::vector<std::vector<std::wstring>> kForms{
    {L"A", L"A'", L"B", L"A'"}, {L"A", L"B", L"A", L"C"},  {L"A", L"B", L"A'"},
    {L"A", L"A'", L"B", L"B'"}, {L"A", L"B", L"C", L"A'"},
};

const std::vector<std::wstring> kPlaces{L"溪边", L"山间", L"湖上", L"林中", L"窗前", L"桥头",
                                        L"田野", L"海边", L"云端", L"月下", L"雨后", L"江南"};
const std::vector<std::wstring> kMoods{L"小调", L"短歌", L"牧歌", L"小曲", L"童谣",
                                       L"晨歌", L"夜曲", L"随想", L"谣曲", L"素描"};

// Runs of this many notes of a tune are rarely found in another tune; a piece avoids
// taking one whole.
constexpr size_t kBorrowed = 8;
constexpr double kBorrowedWeight = 0.1;

std::string textOf(const std::vector<int>& degrees) {
    std::string text;
    for (const int d : degrees) text += static_cast<char>('0' + d);
    return text;
}

int pick(Random& random, const Distribution& weights) {
    return static_cast<int>(random.weighted({weights.begin(), weights.end()})) + 1;
}

Phrase withDegrees(Phrase phrase, const std::vector<int>& degrees) {
    for (size_t i = 0; i < degrees.size(); ++i) phrase.notes[i].degree = degrees[i];
    return phrase;
}

// The last phrase of a piece breathes for at least three beats.
Phrase closing(const Phrase& phrase, int bar) {
    std::vector<std::string> bars = patternsOf(phrase);
    if (breathOf(bars) >= 3) return phrase;
    bars.push_back(std::string(bar, '-'));
    return withDegrees(phraseOf(bars), phrase.degrees());
}

}  // namespace

Composer::Composer(const std::vector<Tune>& tunes, const Settings& settings)
    : settings_(settings), model_(tunes), rhythm_(tunes) {
    const Settings firstOrder{1, settings.discount, 0};
    for (int d = 1; d <= 7; ++d) {
        const Distribution p = model_.next({d}, Place::Offbeat, firstOrder);
        std::copy(p.begin(), p.end(), step_[d - 1].begin());
    }
    for (const Tune& tune : tunes) {
        for (size_t i = 0; i + 1 < tune.phrases.size(); ++i)
            innerEnds_[tune.phrases[i].notes.back().degree - 1] += 1;
        std::string notes;
        for (const Phrase& phrase : tune.phrases) notes += textOf(phrase.degrees());
        for (size_t i = 0; i + kBorrowed <= notes.size(); ++i) borrowed_.insert(notes.substr(i, kBorrowed));
        const auto& last = tune.phrases.back().notes;
        if (last.size() >= 2) finalApproach_[last[last.size() - 2].degree - 1] += 1;
    }
}

int Composer::innerEnding(Random& random, int unlike) const {
    Distribution weights = innerEnds_;
    if (unlike) weights[unlike - 1] = 0;
    return pick(random, weights);
}

std::vector<int> Composer::melody(Random& random, const Phrase& shape, std::vector<int> start, int end,
                                  int approach, const std::string& before,
                                  const std::vector<int>& lead) const {
    const size_t n = shape.notes.size();
    // ahead[t][d]: how well degree d at note t leads on to the planned cadence, by the
    // first-order steps (a backward pass over the notes still to come).
    std::vector<std::array<double, 7>> ahead(n);
    for (size_t t = n; t-- > 0;) {
        for (int d = 1; d <= 7; ++d) {
            const bool allowed = (t + 1 != n || d == end) && (t + 2 != n || !approach || d == approach);
            double onward = 1;
            if (allowed && t + 1 < n) {
                onward = 0;
                for (int e = 0; e < 7; ++e) onward += step_[d - 1][e] * ahead[t + 1][e];
            }
            ahead[t][d - 1] = allowed ? onward : 0;
        }
        double sum = 0;
        for (const double v : ahead[t]) sum += v;
        if (sum > 0)
            for (double& v : ahead[t]) v /= sum;
    }
    while (start.size() < n) {
        const size_t t = start.size();
        Distribution p;
        if (lead.empty()) {
            p = model_.next(start, placeOf(shape, t), settings_);
        } else {
            std::vector<int> heard = lead;
            heard.insert(heard.end(), start.begin(), start.end());
            p = recalled(model_.next(heard, placeOf(shape, t), settings_), heard, kRecall);
        }
        std::string run = before + textOf(start) + '0';
        run = run.substr(run.size() - std::min(run.size(), kBorrowed));
        for (int d = 0; d < 7; ++d) {
            p[d] *= ahead[t][d];
            run.back() = static_cast<char>('1' + d);
            if (borrowed_.contains(run)) p[d] *= kBorrowedWeight;
        }
        start.push_back(pick(random, p));
    }
    return start;
}

Piece Composer::compose(Random& random) const {
    Piece piece;
    piece.form = random.choice(kForms);
    const RhythmBook::Shape shape = rhythm_.shape(random);
    piece.bar = shape.bar;
    std::map<std::wstring, Phrase> written;
    std::string sofar;
    for (size_t index = 0; index < piece.form.size(); ++index) {
        const std::wstring& label = piece.form[index];
        const bool last = index + 1 == piece.form.size();
        const std::wstring letter = label.substr(0, 1);
        const int approach = last ? pick(random, finalApproach_) : 0;
        Phrase phrase;
        if (written.contains(label) && (!last || written[label].notes.back().degree == 1)) {
            phrase = written[label];
        } else if (written.contains(letter)) {
            const Phrase& base = written[letter];
            const std::vector<int> all = base.degrees();
            const std::vector<int> half(all.begin(), all.begin() + all.size() / 2);
            const int end = last ? 1 : innerEnding(random, all.back());
            const int before = all.size() / 2 + 2 <= all.size() ? approach : 0;
            phrase = withDegrees(base, melody(random, base, half, end, before, sofar));
        } else {
            const Phrase rhythm = phraseOf(rhythm_.phrase(random, shape, last));
            const int end = last ? 1 : innerEnding(random, 0);
            phrase = withDegrees(rhythm, melody(random, rhythm, {}, end, approach, sofar));
        }
        if (last) phrase = closing(phrase, piece.bar);
        written.emplace(label, phrase);
        piece.phrases.push_back(phrase);
        sofar += textOf(phrase.degrees());
    }
    piece.title = random.choice(kPlaces) + random.choice(kMoods);
    return piece;
}

Piece Composer::follow(Random& random, const std::vector<int>& context, int bar, int pickup) const {
    Piece piece;
    const RhythmBook::Shape shape = rhythm_.shape(random, bar);
    piece.bar = shape.bar;
    if (shape.bar != bar || pickup >= bar) pickup = 0;
    const bool again = random.uniform() < 0.5;  // A A', or A B
    piece.form = {L"A", again ? L"A'" : L"B"};
    const int approach = pick(random, finalApproach_);

    // The first phrase, after a pick-up of one note held to the bar line.
    const Phrase body = phraseOf(rhythm_.phrase(random, shape, false));
    std::vector<std::string> bars = patternsOf(body);
    if (pickup) bars.insert(bars.begin(), "x" + std::string(pickup - 1, '-'));
    const Phrase first = phraseOf(bars);
    const std::string heard = textOf(context);
    const std::vector<int> firstNotes = melody(random, first, {}, innerEnding(random, 0), 0, heard, context);
    piece.phrases.push_back(withDegrees(first, firstNotes));

    // The second: the first's body again, its first half kept and a new ending on do, or new.
    std::vector<int> sofar = context;
    sofar.insert(sofar.end(), firstNotes.begin(), firstNotes.end());
    Phrase second;
    if (again) {
        const std::vector<int> all(firstNotes.begin() + (pickup ? 1 : 0), firstNotes.end());
        const std::vector<int> half(all.begin(), all.begin() + static_cast<long>(all.size() / 2));
        const int before = all.size() / 2 + 2 <= all.size() ? approach : 0;
        second = withDegrees(body, melody(random, body, half, 1, before, heard + textOf(firstNotes), sofar));
    } else {
        second = phraseOf(rhythm_.phrase(random, shape, true));
        second =
            withDegrees(second, melody(random, second, {}, 1, approach, heard + textOf(firstNotes), sofar));
    }
    piece.phrases.push_back(closing(second, piece.bar));
    piece.title = random.choice(kPlaces) + random.choice(kMoods);
    return piece;
}

}  // namespace orvanex
