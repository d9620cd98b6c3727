// The OrvaneX melody model: the score file the real program writes, repeatability,
// and the music it writes over many pieces.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "Composer.h"
#include "Continuation.h"
#include "Corpus.h"
#include "FakeSystem.h"
#include "PitchModel.h"
#include "Score.h"
#include "system/Paths.h"
#include "text/Gbk.h"
#include "text/LineFile.h"

namespace {

using orvanex::Phrase;

// The built program: build\Orvane\OrvaneX\OrvaneX.exe beside build\tests.
std::wstring builtModel() {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return sys::parentOf(sys::parentOf(self)) + L"\\Orvane\\OrvaneX\\OrvaneX.exe";
}

// A program folder of the test with the model in its folder OrvaneX.
struct ModelFolder {
    TempFolder folder;
    ModelFolder() {
        CreateDirectoryW(folder.file(L"OrvaneX").c_str(), nullptr);
        EXPECT_TRUE(CopyFileW(builtModel().c_str(), folder.file(L"OrvaneX\\OrvaneX.exe").c_str(), FALSE));
    }

    // Runs the model as Ai.bat does, with ORVANEX_SEED set to `seed` or unset; its exit code.
    DWORD run(const wchar_t* seed = nullptr) const {
        SetEnvironmentVariableW(L"ORVANEX_SEED", seed);
        std::wstring command = L"\"" + folder.file(L"OrvaneX\\OrvaneX.exe") + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        const BOOL started =
            CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                           folder.path().c_str(), &startup, &process);
        SetEnvironmentVariableW(L"ORVANEX_SEED", nullptr);
        if (!started) return 1000 + GetLastError();
        WaitForSingleObject(process.hProcess, 30000);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
        return code;
    }

    std::string score() const { return folder.bytes(L"output\\output.sop"); }
};

// The digits of each phrase line of a score; a digit on any other line fails the test.
std::vector<std::string> phrasesOf(const std::wstring& score) {
    std::vector<std::string> phrases;
    const std::string bytes = text::toGbk(score);
    for (const std::string_view raw : text::lines(bytes)) {
        const std::wstring line = text::fromGbk(raw);
        const size_t digits = line.find(L"）  ");
        if (line.starts_with(L"第") && digits != std::wstring::npos) {
            std::string phrase;
            for (const wchar_t c : line.substr(digits + 3)) {
                if (c == L' ') continue;
                EXPECT_TRUE(c >= L'0' && c <= L'7') << text::toGbk(line);
                phrase += static_cast<char>(c);
            }
            phrases.push_back(phrase);
        } else {
            EXPECT_EQ(line.find_first_of(L"0123456789"), std::wstring::npos) << "a remark read as notes";
        }
    }
    return phrases;
}

std::vector<int> notesOf(const std::string& digits) {
    std::vector<int> notes;
    for (const char c : digits)
        if (c != '0') notes.push_back(c - '0');
    return notes;
}

}  // namespace

TEST(ModelProgram, WritesAGbkScoreWithCrLfAndNotesOnlyInPhrases) {
    ModelFolder model;
    ASSERT_EQ(model.run(), 0u);
    const std::string bytes = model.score();
    ASSERT_NE(bytes, "<missing>");
    EXPECT_TRUE(bytes.ends_with("\r\n"));
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "a lone LF at " << i;
        }
        if (bytes[i] == '\r') {
            ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "a lone CR at " << i;
        }
    }
    EXPECT_GT(MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                  nullptr, 0),
              0)
        << "valid GBK";
    const std::wstring score = text::fromGbk(bytes);
    EXPECT_TRUE(score.starts_with(L"OrvaneX模型作品《")) << bytes;
    const auto phrases = phrasesOf(score);
    EXPECT_TRUE(phrases.size() == 3 || phrases.size() == 4) << bytes;
    EXPECT_EQ(model.folder.bytes(L"output\\output.sop.new"), "<missing>");
}

TEST(ModelProgram, TheSameSeedGivesTheSameScoreAndRunsWithoutOneDiffer) {
    ModelFolder model;
    ASSERT_EQ(model.run(L"晨风"), 0u);
    const std::string first = model.score();
    ASSERT_EQ(model.run(L"晨风"), 0u);
    EXPECT_EQ(model.score(), first);
    ASSERT_EQ(model.run(L"暮雨"), 0u);
    EXPECT_NE(model.score(), first);
    std::set<std::string> unseeded;
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(model.run(), 0u);
        unseeded.insert(model.score());
    }
    EXPECT_EQ(unseeded.size(), 3u);
}

TEST(ModelProgram, ANewScoreReplacesTheOldOneWhole) {
    ModelFolder model;
    CreateDirectoryW(model.folder.file(L"output").c_str(), nullptr);
    std::string old;
    for (int i = 0; i < 500; ++i) old += "old score 1 2 3\r\n";
    model.folder.put(L"output\\output.sop", old);
    ASSERT_EQ(model.run(L"x"), 0u);
    EXPECT_TRUE(model.score().starts_with("OrvaneX"));
    EXPECT_EQ(model.score().find("old score"), std::string::npos);
}

TEST(ModelProgram, APlaceThatCannotBeWrittenFailsAndLeavesItAlone) {
    ModelFolder model;
    model.folder.put(L"output", "a file where the folder should be");
    EXPECT_EQ(model.run(), 1u);
    EXPECT_EQ(model.folder.bytes(L"output"), "a file where the folder should be");
}

class Music : public testing::Test {
protected:
    static void SetUpTestSuite() {
        corpus = orvanex::readCorpus(orvanex::builtInCorpus());
        const orvanex::Composer composer(corpus);
        orvanex::Random random(2026);
        for (int i = 0; i < 200; ++i) {
            pieces.push_back(composer.compose(random));
            scores.push_back(phrasesOf(orvanex::render(pieces.back())));
        }
    }
    static inline std::vector<orvanex::Tune> corpus;
    static inline std::vector<orvanex::Piece> pieces;
    static inline std::vector<std::vector<std::string>> scores;
};

// The longest run of `text` found whole in `others`.
size_t longestShared(const std::string& text, const std::vector<std::string>& others) {
    size_t longest = 0;
    for (size_t i = 0; i < text.size(); ++i)
        for (size_t n = longest + 1; i + n <= text.size(); ++n) {
            const std::string run = text.substr(i, n);
            if (std::none_of(others.begin(), others.end(),
                             [&](const std::string& o) { return o.find(run) != std::string::npos; }))
                break;
            longest = n;
        }
    return longest;
}

std::string degreesText(const std::vector<int>& notes) {
    std::string text;
    for (const int d : notes) text += static_cast<char>('0' + d);
    return text;
}

TEST_F(Music, TheTunesAreTitledSourcedAndWrittenInTrueOctaves) {
    EXPECT_GE(corpus.size(), 40u);
    int ti = 0;
    for (const auto& tune : corpus) {
        EXPECT_FALSE(tune.title.empty());
        EXPECT_TRUE(tune.source.starts_with("出处")) << tune.title;
        EXPECT_EQ(tune.title.find_first_of("0123456789"), std::string::npos) << tune.title;
        EXPECT_EQ(tune.phrases.back().notes.back().degree, 1) << tune.title << " ends on do";
        for (const Phrase& phrase : tune.phrases)
            for (const auto& note : phrase.notes) ti += note.degree == 7;
    }
    EXPECT_GT(ti, 20);

    // A pick-up ends on the bar line; marks set the octave and fold away in the digits.
    const Phrase phrase = orvanex::parsePhrase("5, 15,1 7,000", 4);
    EXPECT_EQ(phrase.degrees(), (std::vector<int>{5, 1, 5, 1, 7}));
    std::vector<int> octaves, beats;
    for (const auto& note : phrase.notes) octaves.push_back(note.octave), beats.push_back(note.beat);
    EXPECT_EQ(octaves, (std::vector<int>{-1, 0, -1, 0, -1}));
    EXPECT_EQ(beats, (std::vector<int>{3, 0, 1, 2, 0}));
    EXPECT_EQ(phrase.digits(), "51517000");
    EXPECT_THROW(orvanex::parsePhrase("1238", 4), std::invalid_argument);
    EXPECT_THROW(orvanex::parsePhrase("12 '3", 4), std::invalid_argument);
}

TEST_F(Music, EveryPieceEndsOnDoAndEveryPhraseBreathesInWholeBars) {
    for (size_t p = 0; p < pieces.size(); ++p) {
        const auto& phrases = scores[p];
        ASSERT_EQ(phrases.size(), pieces[p].form.size());
        EXPECT_EQ(notesOf(phrases.back()).back(), 1) << phrases.back();
        EXPECT_TRUE(phrases.back().ends_with("000")) << phrases.back();
        for (size_t i = 0; i < phrases.size(); ++i) {
            EXPECT_TRUE(phrases[i].ends_with("0")) << phrases[i];
            for (const int bar : pieces[p].phrases[i].bars) EXPECT_EQ(bar, pieces[p].bar) << phrases[i];
        }
    }
}

TEST_F(Music, CadencesAndMotionFollowTheTunes) {
    auto share = [](double part, double whole) { return part / whole; };
    double tuneEnds = 0, tuneEnds135 = 0, tuneFromRe = 0, pieceEnds = 0, pieceEnds135 = 0, pieceFromRe = 0;
    std::set<int> innerEndings;
    for (const auto& tune : corpus) {
        for (size_t i = 0; i < tune.phrases.size(); ++i) {
            const int last = tune.phrases[i].notes.back().degree;
            if (i + 1 < tune.phrases.size()) innerEndings.insert(last);
            ++tuneEnds;
            tuneEnds135 += last == 1 || last == 3 || last == 5;
        }
        const auto degrees = tune.phrases.back().degrees();
        tuneFromRe += degrees[degrees.size() - 2] == 2;
    }
    for (const auto& phrases : scores) {
        for (size_t i = 0; i < phrases.size(); ++i) {
            const int last = notesOf(phrases[i]).back();
            if (i + 1 < phrases.size()) {
                EXPECT_TRUE(innerEndings.contains(last)) << phrases[i];
            }
            ++pieceEnds;
            pieceEnds135 += last == 1 || last == 3 || last == 5;
        }
        const auto notes = notesOf(phrases.back());
        pieceFromRe += notes[notes.size() - 2] == 2;
    }
    EXPECT_NEAR(share(pieceEnds135, pieceEnds), share(tuneEnds135, tuneEnds), 0.10);
    EXPECT_NEAR(share(pieceFromRe, 200), share(tuneFromRe, static_cast<double>(corpus.size())), 0.10);

    // Steps and leaps as the samples sound them (ti below do) against the tunes' true ones.
    double tuneSteps = 0, tuneLeaps = 0, pieceSteps = 0, pieceLeaps = 0;
    for (const auto& tune : corpus)
        for (const Phrase& phrase : tune.phrases)
            for (size_t i = 1; i < phrase.notes.size(); ++i) {
                const auto& a = phrase.notes[i - 1];
                const auto& b = phrase.notes[i];
                const int move = std::abs(b.degree + 7 * b.octave - a.degree - 7 * a.octave);
                tuneSteps += move == 1;
                tuneLeaps += move > 1;
            }
    for (const auto& phrases : scores)
        for (const auto& phrase : phrases) {
            const auto notes = notesOf(phrase);
            for (size_t i = 1; i < notes.size(); ++i) {
                const int move = std::abs(notes[i] % 7 - notes[i - 1] % 7);
                pieceSteps += move == 1;
                pieceLeaps += move > 1;
            }
        }
    EXPECT_NEAR(pieceSteps / pieceLeaps, tuneSteps / tuneLeaps, 0.3);
}

TEST_F(Music, PiecesAreNewAndBorrowNoLongerRunsThanTheTunesBorrowFromEachOther) {
    std::set<std::string> distinct;
    for (const auto& phrases : scores) {
        std::string all;
        for (const auto& p : phrases) all += p;
        distinct.insert(all);
    }
    EXPECT_GT(distinct.size(), 195u);

    std::vector<std::string> tunes;
    for (const auto& tune : corpus) {
        tunes.emplace_back();
        for (const Phrase& phrase : tune.phrases) tunes.back() += degreesText(phrase.degrees());
    }
    double tuneMean = 0, pieceMean = 0;
    for (size_t t = 0; t < tunes.size(); ++t) {
        std::vector<std::string> others = tunes;
        others.erase(others.begin() + static_cast<long>(t));
        tuneMean += static_cast<double>(longestShared(tunes[t], others)) / static_cast<double>(tunes.size());
    }
    for (size_t p = 0; p < 50; ++p) {
        std::string notes;
        for (const Phrase& phrase : pieces[p].phrases) notes += degreesText(phrase.degrees());
        pieceMean += static_cast<double>(longestShared(notes, tunes)) / 50;
    }
    EXPECT_LE(pieceMean, tuneMean);
}

TEST_F(Music, TheShippedSettingsAreTheHeldOutBestAndBeatAPlainChain) {
    const orvanex::Choice best = orvanex::chooseSettings(corpus);
    EXPECT_EQ(best.settings, orvanex::kChosenSettings)
        << "order " << best.settings.order << ", discount " << best.settings.discount << ", placement "
        << best.settings.placement << ", motion " << best.settings.motion;
    const double plainChain = orvanex::heldOutBits(corpus, {1, best.settings.discount, 0, 0});
    EXPECT_LT(best.bits, plainChain - 0.05);
    EXPECT_LT(best.bits, std::log2(7.0));
}

TEST_F(Music, TheModelGivesADistributionForAnyContextAndPlace) {
    const orvanex::PitchModel model(corpus);
    for (const std::vector<int>& history : {std::vector<int>{}, {7, 7, 7}, {1, 2, 3}, {6, 1, 7, 4}})
        for (const auto place :
             {orvanex::Place::Downbeat, orvanex::Place::Offbeat, orvanex::Place::PhraseEnd}) {
            const auto p = model.next(history, place, orvanex::kChosenSettings);
            double sum = 0;
            for (const double v : p) {
                EXPECT_GT(v, 0);
                sum += v;
            }
            EXPECT_NEAR(sum, 1.0, 1e-9);
        }
    const auto afterTwinkle = model.next({1, 1, 5}, orvanex::Place::Offbeat, orvanex::kChosenSettings);
    EXPECT_EQ(std::max_element(afterTwinkle.begin(), afterTwinkle.end()) - afterTwinkle.begin() + 1, 5)
        << "the tunes' own continuation leads";
}

namespace {

// Whether two degrees lie a step apart as the samples sound them (ti just below do).
bool isStep(int a, int b) {
    return std::abs(a % 7 - b % 7) == 1;
}

}  // namespace

TEST_F(Music, AContinuationReadsOnFromTheCaretInTheContextsLayoutAndEndsOnDo) {
    const orvanex::Composer composer(corpus);
    // Four bars of four beats to a line, one space between bars, the caret two beats into a bar.
    const std::wstring context = L"小星星\r\n1155 6650 4433 2210\r\n5544 33";
    for (int seed = 1; seed <= 30; ++seed) {
        orvanex::Random random(static_cast<uint64_t>(seed));
        const std::wstring text = orvanex::continuation(composer, random, context);
        SCOPED_TRACE(text::toGbk(text));
        ASSERT_TRUE(text.ends_with(L"\r\n"));
        const std::wstring whole = context + text;
        std::vector<std::wstring> lines;
        for (size_t at = whole.find(L"\r\n") + 2, end; (end = whole.find(L"\r\n", at)) != std::wstring::npos;
             at = end + 2)
            lines.push_back(whole.substr(at, end - at));
        ASSERT_GE(lines.size(), 3u) << "about two phrases";
        for (size_t i = 0; i < lines.size(); ++i) {
            const std::wstring& line = lines[i];
            EXPECT_EQ(line.find_first_not_of(L"01234567 "), std::wstring::npos);
            const bool last = i + 1 == lines.size();
            EXPECT_TRUE(last ? line.size() <= 19 : line.size() == 19) << "four bars to a line";
            for (size_t bar = 4; bar < line.size(); bar += 5) EXPECT_EQ(line[bar], L' ');
        }
        const std::vector<int> notes = orvanex::notesOf(text);
        ASSERT_GE(notes.size(), 8u);
        EXPECT_EQ(notes.back(), 1) << "a cadence on do";
    }

    // No note before the caret, remarks alone included: a whole new piece.
    for (const std::wstring empty : {L"", L"我的草稿：\r\n  | |\r\n", L"八九"}) {
        orvanex::Random random(7);
        EXPECT_TRUE(orvanex::continuation(composer, random, empty).starts_with(L"OrvaneX模型作品《"));
    }

    // Bars with marks, notes written without any, and a caret after a full line.
    const orvanex::Layout marked = orvanex::layoutOf(L"1 2 3 | 4 5 6 | 7 1 2 |\r\n3 2 1 | 5");
    EXPECT_EQ(marked.bar, 1);
    EXPECT_EQ(marked.separator, L" ");
    const orvanex::Layout bare = orvanex::layoutOf(L"1155665044332210\r\n55443320");
    EXPECT_EQ(std::tuple(bare.bar, bare.separator, bare.barsPerLine, bare.barsOnLine, bare.open),
              std::tuple(4, std::wstring(), 4, 2, 0));
    const orvanex::Layout threes = orvanex::layoutOf(L"123  450  670\r\n123  450  670\r\n");
    EXPECT_EQ(
        std::tuple(threes.bar, threes.separator, threes.barsPerLine, threes.barsOnLine, threes.afterNote),
        std::tuple(3, std::wstring(L"  "), 3, 0, false));
}

TEST_F(Music, AContinuationMovesOnFromItsContextMostlyByStepAndTakesUpItsMotifs) {
    const orvanex::Composer composer(corpus);
    // Each tune cut after its first phrase: the first note after the cut moves from the
    // last note before it as the tunes move, mostly by step.
    double steps = 0, firsts = 0;
    for (const auto& tune : corpus) {
        std::vector<int> context;
        for (const Phrase& phrase : tune.phrases) {
            const auto d = phrase.degrees();
            context.insert(context.end(), d.begin(), d.end());
            if (context.size() >= 6) break;
        }
        for (int seed = 0; seed < 5; ++seed) {
            orvanex::Random random(static_cast<uint64_t>(seed) * 977 + context.size());
            const orvanex::Piece piece = composer.follow(random, context, tune.bar, 0);
            ASSERT_EQ(piece.phrases.size(), 2u);
            steps += isStep(context.back(), piece.phrases[0].notes[0].degree);
            ++firsts;
            EXPECT_EQ(piece.phrases[1].notes.back().degree, 1);
        }
    }
    EXPECT_GT(steps / firsts, 0.4) << "the tunes move by step more often than not";

    // A context that turns ti to fa again and again: after its ti the continuation goes
    // to fa far more often than after a lone ti, where the tunes lead to do.
    auto faAfter = [&](const std::vector<int>& context) {
        int fa = 0;
        for (int seed = 0; seed < 60; ++seed) {
            orvanex::Random random(static_cast<uint64_t>(seed));
            fa += composer.follow(random, context, 4, 0).phrases[0].notes[0].degree == 4;
        }
        return fa;
    };
    const int recalled = faAfter({7, 4, 7, 4, 7, 4, 7, 4, 7, 4, 7});
    const int alone = faAfter({7});
    EXPECT_GT(recalled, 30) << alone;
    EXPECT_GT(recalled, 3 * alone + 10);

    // The first note depends on the context's last one.
    auto commonest = [&](int last) {
        std::array<int, 8> counts{};
        for (int seed = 0; seed < 60; ++seed) {
            orvanex::Random random(static_cast<uint64_t>(seed));
            ++counts[composer.follow(random, {1, 2, 3, 4, last}, 4, 0).phrases[0].notes[0].degree];
        }
        return static_cast<int>(std::max_element(counts.begin(), counts.end()) - counts.begin());
    };
    EXPECT_TRUE(isStep(commonest(6), 6) || commonest(6) == 6) << commonest(6);
    EXPECT_NE(commonest(6), commonest(2));
}
