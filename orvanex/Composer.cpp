#include "Composer.h"

#include <algorithm>
#include <cmath>

namespace orvanex {

namespace {

constexpr int kStart = 0;
constexpr double kTemperature = 0.9;
const std::vector<int> kOpenEndings{3, 5};
const std::vector<int> kFinalEndings{1};

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

bool contains(const std::vector<int>& items, int item) {
    return std::find(items.begin(), items.end(), item) != items.end();
}

int pick(Random& random, const Distribution& p) {
    std::vector<double> scaled(7);
    for (int i = 0; i < 7; ++i) scaled[i] = p[i] > 0 ? std::pow(p[i], 1 / kTemperature) : 0;
    return static_cast<int>(random.weighted(scaled)) + 1;
}

// Extends `start` to `length` notes, the last one of `endings`.
std::vector<int> continuePhrase(const PitchModel& model, Random& random, std::vector<int> degrees,
                                size_t length, const std::vector<int>& endings) {
    while (degrees.size() < length) {
        Distribution p = model.distribution(degrees);
        const size_t remaining = length - degrees.size();
        if (remaining == 1) {
            for (int d = 1; d <= 7; ++d)
                if (!contains(endings, d)) p[d - 1] = 0;
        } else if (remaining == 2) {
            // Look one note ahead: favour notes from which an ending is likely.
            for (int d = 1; d <= 7; ++d) {
                std::vector<int> ahead = degrees;
                ahead.push_back(d);
                const Distribution next = model.distribution(ahead);
                double toEnding = 0;
                for (const int e : endings) toEnding += next[e - 1];
                p[d - 1] *= toEnding;
            }
        }
        degrees.push_back(pick(random, p));
    }
    return degrees;
}

Phrase withRhythm(const std::vector<int>& degrees, std::vector<int> rhythm, int lead, int breath) {
    rhythm.back() = std::max(rhythm.back(), breath);
    Phrase phrase{{}, lead};
    for (size_t i = 0; i < degrees.size(); ++i) phrase.notes.push_back({degrees[i], rhythm[i]});
    return phrase;
}

}  // namespace

PitchModel::PitchModel(const std::vector<Phrase>& phrases, int order) : order_(order), counts_(order + 1) {
    for (const Phrase& phrase : phrases) {
        std::vector<int> history(order, kStart);
        for (const int degree : phrase.degrees()) {
            for (int k = 0; k <= order; ++k)
                ++counts_[k][std::vector<int>(history.end() - k, history.end())][degree - 1];
            history.push_back(degree);
        }
    }
}

Distribution PitchModel::distribution(const std::vector<int>& notes) const {
    std::vector<int> history(order_, kStart);
    history.insert(history.end(), notes.begin(), notes.end());
    Distribution p;
    p.fill(1.0 / 7);
    for (int k = 0; k <= order_; ++k) {
        const auto table = counts_[k].find(std::vector<int>(history.end() - k, history.end()));
        if (table == counts_[k].end()) break;
        double seen = 0, kinds = 0;
        for (const int count : table->second) {
            seen += count;
            kinds += count > 0;
        }
        const double weight = seen / (seen + kinds);
        for (int i = 0; i < 7; ++i) p[i] = weight * table->second[i] / seen + (1 - weight) * p[i];
    }
    return p;
}

Piece compose(Random& random, const std::vector<Tune>& corpus) {
    std::vector<Phrase> phrases;
    for (const Tune& tune : corpus) phrases.insert(phrases.end(), tune.phrases.begin(), tune.phrases.end());
    const PitchModel model(phrases);
    std::vector<const Phrase*> templates;
    for (const Phrase& phrase : phrases)
        if (phrase.notes.size() >= 6 && phrase.notes.size() <= 16) templates.push_back(&phrase);

    Piece piece;
    piece.form = random.choice(kForms);
    std::map<std::wstring, Phrase> written;
    for (size_t index = 0; index < piece.form.size(); ++index) {
        const std::wstring& label = piece.form[index];
        const bool last = index + 1 == piece.form.size();
        const auto& endings = last || label.ends_with(L"'") ? kFinalEndings : kOpenEndings;
        const int breath = last ? 4 : 2;
        const std::wstring letter = label.substr(0, 1);
        Phrase phrase;
        if (written.contains(label) && contains(endings, written[label].notes.back().degree)) {
            const Phrase& same = written[label];
            phrase = withRhythm(same.degrees(), same.rhythm(), same.lead, breath);
        } else if (written.contains(letter)) {
            const Phrase& base = written[letter];
            const std::vector<int> all = base.degrees();
            const std::vector<int> half(all.begin(), all.begin() + all.size() / 2);
            phrase = withRhythm(continuePhrase(model, random, half, all.size(), endings), base.rhythm(),
                                base.lead, breath);
        } else {
            const Phrase& templ = *random.choice(templates);
            phrase = withRhythm(continuePhrase(model, random, {}, templ.notes.size(), endings),
                                templ.rhythm(), templ.lead, breath);
        }
        written.emplace(label, phrase);
        piece.phrases.push_back(phrase);
    }
    piece.title = random.choice(kPlaces) + random.choice(kMoods);
    return piece;
}

}  // namespace orvanex
