// The OrvaneX melody model: the score file the real program writes, repeatability,
// and the music it writes over many pieces.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <set>

#include "Composer.h"
#include "Corpus.h"
#include "FakeSystem.h"
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

// Among moves to another note, the share that go one scale step.
double stepShare(const std::vector<std::vector<int>>& melodies) {
    double steps = 0, moves = 0;
    for (const auto& m : melodies)
        for (size_t i = 1; i < m.size(); ++i) {
            steps += std::abs(m[i] - m[i - 1]) == 1;
            moves += m[i] != m[i - 1];
        }
    return steps / moves;
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
    EXPECT_TRUE(score.starts_with(L"OrvaneX 作品《")) << bytes;
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
        orvanex::Random random(2026);
        for (int i = 0; i < 200; ++i)
            scores.push_back(phrasesOf(orvanex::render(orvanex::compose(random, corpus))));
    }
    static inline std::vector<orvanex::Tune> corpus;
    static inline std::vector<std::vector<std::string>> scores;
};

TEST_F(Music, TheCorpusIsAFewDozenTitledMelodiesInPhrases) {
    EXPECT_GE(corpus.size(), 20u);
    for (const auto& tune : corpus) {
        EXPECT_FALSE(tune.title.empty());
        EXPECT_EQ(tune.title.find_first_of("0123456789"), std::string::npos) << tune.title;
        for (const Phrase& phrase : tune.phrases) EXPECT_FALSE(phrase.notes.empty()) << tune.title;
    }
    EXPECT_THROW(orvanex::parsePhrase("1238"), std::invalid_argument);
}

TEST_F(Music, EveryPieceEndsOnDoAndEveryPhraseOnDoMiOrSolWithABreath) {
    for (const auto& phrases : scores) {
        ASSERT_FALSE(phrases.empty());
        EXPECT_EQ(notesOf(phrases.back()).back(), 1);
        EXPECT_TRUE(phrases.back().ends_with("000"));
        for (const auto& phrase : phrases) {
            const int last = notesOf(phrase).back();
            EXPECT_TRUE(last == 1 || last == 3 || last == 5) << phrase;
            EXPECT_TRUE(phrase.ends_with("0")) << phrase;
        }
    }
}

TEST_F(Music, MotionIsMostlyStepwiseLikeTheCorpus) {
    std::vector<std::vector<int>> known, written;
    for (const auto& tune : corpus)
        for (const Phrase& phrase : tune.phrases) known.push_back(phrase.degrees());
    for (const auto& phrases : scores)
        for (const auto& phrase : phrases) written.push_back(notesOf(phrase));
    EXPECT_GT(stepShare(known), 0.6);
    EXPECT_NEAR(stepShare(written), stepShare(known), 0.08);
}

TEST_F(Music, PiecesAreNewNotCopiesOfEachOtherOrOfTheCorpus) {
    auto degreesText = [](const std::vector<int>& notes) {
        std::string text;
        for (const int d : notes) text += static_cast<char>('0' + d);
        return text;
    };
    std::set<std::string> distinct, known;
    for (const auto& phrases : scores) {
        std::string all;
        for (const auto& p : phrases) all += p;
        distinct.insert(all);
    }
    EXPECT_GT(distinct.size(), 190u);
    for (const auto& tune : corpus)
        for (const Phrase& phrase : tune.phrases) known.insert(degreesText(phrase.degrees()));
    double copied = 0, total = 0;
    for (const auto& phrases : scores)
        for (const auto& p : phrases) {
            copied += known.contains(degreesText(notesOf(p)));
            ++total;
        }
    EXPECT_LT(copied / total, 0.2);
}

TEST_F(Music, TheBlendedModelGivesADistributionForAnyContext) {
    std::vector<Phrase> phrases;
    for (const auto& tune : corpus) phrases.insert(phrases.end(), tune.phrases.begin(), tune.phrases.end());
    const orvanex::PitchModel model(phrases);
    for (const std::vector<int>& history : {std::vector<int>{}, {7, 7, 7}, {1, 2, 3}, {6, 1, 7, 4}}) {
        const auto p = model.distribution(history);
        double sum = 0;
        for (const double v : p) {
            EXPECT_GT(v, 0);
            sum += v;
        }
        EXPECT_NEAR(sum, 1.0, 1e-9);
    }
    const auto afterTwinkle = model.distribution({1, 1, 5});
    EXPECT_EQ(std::max_element(afterTwinkle.begin(), afterTwinkle.end()) - afterTwinkle.begin() + 1, 5)
        << "the corpus's own continuation leads";
}
