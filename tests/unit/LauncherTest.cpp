// Launcher: the main program of its own folder is started by full path and Launcher
// ends; a missing one gives the error window alone; one that cannot start is reported.
#include <gtest/gtest.h>

#include <windows.h>

#include "FakeSystem.h"
#include "forms/Program.h"
#include "install/FormE.h"
#include "launcher/Form1.h"
#include "system/Paths.h"
#include "text/Gbk.h"

namespace {

struct Launcher : ::testing::Test {
    FakeSystem system;
    TempFolder folder;
    std::wstring program = folder.file(L"奥文Orvane.exe");

    void SetUp() override { ui::initialise(L"Launcher"); }
    void TearDown() override {
        if (auto* open = ui::find<launcher::Form1>()) open->unload();
        if (auto* open = ui::find<FormE>()) open->unload();
        ui::collect();
    }
};

}  // namespace

TEST_F(Launcher, StartsTheMainProgramOfItsFolderAndEnds) {
    folder.put(L"奥文Orvane.exe", "MZ");
    EXPECT_TRUE(ends([] { ui::show<launcher::Form1>(); }));
    EXPECT_EQ(system.started, std::vector<std::wstring>{program});
    EXPECT_EQ(system.endedNow, 1);
    EXPECT_TRUE(system.messages.empty());
    EXPECT_FALSE(ui::isOpen<FormE>());
}

TEST_F(Launcher, WithoutTheMainProgramOnlyTheErrorWindowShowsAndItsButtonEnds) {
    for (const std::wstring missing : {L"deleted", L"folder", L"hidden", L"system"}) {
        if (missing == L"folder") CreateDirectoryW(program.c_str(), nullptr);
        if (missing == L"hidden" || missing == L"system") {
            folder.put(L"奥文Orvane.exe", "MZ");
            SetFileAttributesW(program.c_str(),
                               missing == L"hidden" ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_SYSTEM);
        }
        ui::show<launcher::Form1>();
        const auto what = text::toGbk(missing);
        EXPECT_FALSE(ui::isOpen<launcher::Form1>()) << what;
        ASSERT_TRUE(ui::isOpen<FormE>()) << what;
        EXPECT_EQ(ui::openCount(), 1u) << what;
        EXPECT_TRUE(system.started.empty()) << what;
        EXPECT_TRUE(system.messages.empty()) << what;
        EXPECT_EQ(system.endedNow, 0) << what;

        FormE& error = *ui::find<FormE>();
        EXPECT_EQ(error.clientSize().cx, 514);
        EXPECT_EQ(error.clientSize().cy, 289);
        EXPECT_TRUE(ends([&] { error.fire(L"Image2"); })) << what << ": 好的 ends Launcher";

        error.unload();
        ui::collect();
        system.endedNow = 0;
        RemoveDirectoryW(program.c_str());
        SetFileAttributesW(program.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(program.c_str());
    }
}

TEST_F(Launcher, AMainProgramThatCannotStartIsReportedThenLauncherEnds) {
    folder.put(L"奥文Orvane.exe", "not a program");
    system.startError = ERROR_BAD_EXE_FORMAT;
    EXPECT_TRUE(ends([] { ui::show<launcher::Form1>(); }));
    ASSERT_EQ(system.messages.size(), 1u);
    const std::wstring& text = system.messages[0].text;
    EXPECT_NE(text.find(program), std::wstring::npos) << "names the file";
    const std::wstring reason = sys::describe(ERROR_BAD_EXE_FORMAT);
    EXPECT_NE(text.find(reason.substr(0, reason.find(L"%1"))), std::wstring::npos) << "and the reason";
    EXPECT_EQ(text.find(L"%1"), std::wstring::npos) << text::toGbk(text);
    EXPECT_EQ(system.endedNow, 1);
    EXPECT_FALSE(ui::isOpen<FormE>());
}
