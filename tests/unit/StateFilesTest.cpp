// The state files: theme test, first-run flag as a number, sound defaults, and the
// end of the program after a failed write.
#include <gtest/gtest.h>

#include "FakeSystem.h"
#include "state/StateFiles.h"
#include "system/Paths.h"

TEST(Theme, OnlyTheExactValueZeroIsLight) {
    EXPECT_TRUE(state::isLight(L"0"));
    for (const wchar_t* dark : {L"1", L"Text2", L"", L"0 ", L" 0", L"00", L"0\n"})
        EXPECT_FALSE(state::isLight(std::wstring(dark))) << dark;
}

TEST(Theme, ReadFromTheFileByTheLineRules) {
    FakeSystem system;
    TempFolder folder;
    EXPECT_TRUE(state::isLightTheme()) << "a missing theme file gives the light theme";
    folder.put(state::ThemeColors, "");
    EXPECT_TRUE(state::isLightTheme()) << "an empty theme file gives the light theme";
    folder.put(state::ThemeColors, "0\r\nText2\r\n");
    EXPECT_TRUE(state::isLightTheme());
    folder.put(state::ThemeColors, "0\nmore");
    EXPECT_FALSE(state::isLightTheme()) << "a lone LF stays in the value";
    folder.put(state::ThemeColors, "\r\n");
    EXPECT_FALSE(state::isLightTheme()) << "an empty first line is not 0";
    folder.put(state::ThemeColors, "Text2\r\n");
    EXPECT_FALSE(state::isLightTheme());
}

TEST(FirstRunFlag, ComparesAsTheNumberOne) {
    for (const wchar_t* one :
         {L"1", L"01", L" 1", L"1 ", L"1.0", L"+1", L"1e0", L"0.1e1", L"10e-1", L"001.000", L"1."})
        EXPECT_TRUE(state::readsAsOne(one)) << one;
    for (const wchar_t* other : {L"", L"Text4", L"2", L"0", L"-1", L"11", L"10", L"1x", L"x1", L".", L"1e",
                                 L"e1", L"0.01e2x", L"1 1", L"1e999999999"})
        EXPECT_FALSE(state::readsAsOne(other)) << other;
}

TEST(FirstRunFlag, MissingOrEmptyMeansSetupNotComplete) {
    FakeSystem system;
    TempFolder folder;
    EXPECT_FALSE(state::firstRunComplete());
    folder.put(state::FirstRun, "");
    EXPECT_FALSE(state::firstRunComplete());
    folder.put(state::FirstRun, "1\r\n");
    EXPECT_TRUE(state::firstRunComplete());
    folder.put(state::FirstRun, "Text4\r\n");
    EXPECT_FALSE(state::firstRunComplete());
}

TEST(AiRequest, IsTheTextOne) {
    FakeSystem system;
    TempFolder folder;
    EXPECT_FALSE(state::aiRequested());
    folder.put(state::AiRequest, "1\r\n");
    EXPECT_TRUE(state::aiRequested());
    folder.put(state::AiRequest, "01\r\n");
    EXPECT_FALSE(state::aiRequested());
}

TEST(StateWrite, StoresOneLineAndReplacesALongerValue) {
    FakeSystem system;
    TempFolder folder;
    folder.put(state::FirstRun, "Text4\r\nold second line\r\n");
    EXPECT_EQ(state::write(state::FirstRun, state::SetupDone), std::nullopt);
    EXPECT_EQ(folder.bytes(state::FirstRun), "1\r\n");
}

TEST(StateWrite, AFileThatCannotBeWrittenIsNamedWithTheReason) {
    FakeSystem system;
    TempFolder folder;
    sys::setProgramFolder(folder.file(L"gone"));
    const sys::Cause failure = state::write(state::ThemeColors, state::LightTheme);
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failure->starts_with(L"无法写入文件 " + folder.file(L"gone\\themecolors.une") + L"："));
    EXPECT_TRUE(system.messages.empty()) << "the window that asked tells the user";
}
