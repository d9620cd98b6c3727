// Every file the main program reads, filled with bad contents: nothing crashes or
// hangs, the state files follow their rules, the password check fails cleanly, and the
// editor loads any score file and any AI result without a message.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>

#include "BadFiles.h"
#include "WindowTest.h"
#include "account/Account.h"
#include "editor/FormEditor.h"
#include "forms/Program.h"
#include "state/StateFiles.h"

namespace {

using BadFilesTest = EditorWindowTest<>;

}  // namespace

TEST_F(BadFilesTest, StateFilesFollowTheirRulesWhateverTheyHold) {
    BadFiles bad("state files");
    for (int i = 0; i <= BadFiles::kCases; ++i) {
        const std::string bytes = i < BadFiles::kCases ? bad.next(i) : BadFiles::tenMegabytes('1');
        const std::string first = BadFiles::firstLine(bytes);
        folder.put(state::ThemeColors, bytes);
        folder.put(state::FirstRun, bytes);
        folder.put(state::AiRequest, bytes);
        EXPECT_EQ(state::isLightTheme(), bytes.empty() || first == "0") << "case " << i;
        EXPECT_EQ(state::aiRequested(), !bytes.empty() && first == "1") << "case " << i;
        if (first == "1") EXPECT_TRUE(state::firstRunComplete()) << "case " << i;
        if (first.find_first_not_of("0123456789.+-eE \t\n\v\f") != std::string::npos)
            EXPECT_FALSE(state::firstRunComplete()) << "case " << i;
    }
    EXPECT_TRUE(system.messages.empty());
}

TEST_F(BadFilesTest, APasswordFileOfAnyContentOnlyEverFailsTheCheck) {
    BadFiles bad("PASSWARD.une");
    for (int i = 0; i <= BadFiles::kCases; ++i) {
        const std::string bytes = i < BadFiles::kCases ? bad.next(i) : BadFiles::tenMegabytes('x');
        folder.put(account::PasswordFile, bytes);
        folder.put(account::UserFile, bytes);  // never read back, but it lies there
        const bool matches = bytes == account::scramble(L"pw") || bytes == account::scramble(L"pw") + "\r\n";
        EXPECT_EQ(account::checkPassword(L"pw"), matches ? account::Check::Pass : account::Check::Fail)
            << "case " << i;
    }
}

TEST_F(BadFilesTest, TheEditorOpensAnyScoreFileWithoutAMessage) {
    BadFiles bad(".sop");
    FormEditor& editor = ui::show<FormEditor>();
    for (int i = 0; i <= BadFiles::kCases; ++i) {
        const std::string bytes = i < BadFiles::kCases ? bad.next(i) : BadFiles::tenMegabytes('3');
        folder.put(L"乐谱.sop", bytes);
        system.answers = {sys::Answer::Yes};
        system.chosenFiles = {folder.file(L"乐谱.sop")};
        editor.fire(L"ImageOPEN");
        editor.fire(L"Timer1");  // the gutter counts the lines of whatever came in
        ASSERT_TRUE(system.messages.size() == 1 && system.messages[0].buttons == sys::Buttons::YesNo)
            << "only the question before opening, case " << i;
        system.messages.clear();
    }
    EXPECT_EQ(system.endedNow, 0);
}

TEST_F(BadFilesTest, TheEditorTakesAnyAiResultWithoutAMessage) {
    BadFiles bad("output\\output.sop");
    std::filesystem::create_directories(folder.file(L"output"));
    std::string result;
    system.whenStarted = [&](const std::wstring& path) {
        if (path == folder.file(L"Ai.bat")) folder.put(L"output\\output.sop", result);
    };
    for (int i = 0; i <= BadFiles::kCases; ++i) {
        result = i < BadFiles::kCases ? bad.next(i) : BadFiles::tenMegabytes('5');
        folder.put(L"AiMade.une", "1\r\n");
        FormEditor& editor = ui::show<FormEditor>();
        EXPECT_TRUE(editor.loaded()) << "case " << i;
        EXPECT_TRUE(system.messages.empty()) << "case " << i;
        EXPECT_EQ(folder.bytes(L"AiMade.une"), "0\r\n") << "case " << i;
        editor.unload();
        ui::collect();
    }
}
