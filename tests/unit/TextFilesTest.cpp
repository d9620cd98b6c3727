// The line rules and the GBK conversion shared by every file of the three programs.
#include <gtest/gtest.h>

#include <windows.h>

#include "FakeSystem.h"
#include "text/Gbk.h"
#include "text/LineFile.h"

using text::firstLine;

TEST(LineRules, FirstLineEndsAtCrLfOrLoneCrButNotAtLoneLf) {
    EXPECT_EQ(firstLine("0\r\n1\r\n"), "0");
    EXPECT_EQ(firstLine("0\r1"), "0");
    EXPECT_EQ(firstLine("0\n1\r\n"), "0\n1");
    EXPECT_EQ(firstLine("last line without end"), "last line without end");
    EXPECT_EQ(firstLine("\r\nsecond"), "");
    EXPECT_EQ(firstLine(""), "");
}

TEST(Gbk, RoundTripsChineseWhateverTheAnsiCodePage) {
    EXPECT_EQ(text::toGbk(L"欢迎"), "\xBB\xB6\xD3\xAD");
    const std::wstring mixed = L"Orvane正在启动 1 2 3 —「乐谱」";
    EXPECT_EQ(text::fromGbk(text::toGbk(mixed)), mixed);
    EXPECT_EQ(text::fromGbk("\xBB\xB6\xD3\xAD"), L"欢迎");
}

TEST(Gbk, CharactersOutsideTheCodePageBecomeTheSameQuestionMark) {
    const std::string once = text::toGbk(L"a🎵b");
    EXPECT_EQ(once, text::toGbk(L"a🎵b"));
    EXPECT_EQ(once.front(), 'a');
    EXPECT_EQ(once.back(), 'b');
    EXPECT_NE(once.find('?'), std::string::npos);
}

TEST(LineFile, ReadsTheFirstLineOrNothing) {
    TempFolder folder;
    EXPECT_EQ(text::readFirstLine(folder.file(L"missing.une")), std::nullopt);
    folder.put(L"empty.une", "");
    EXPECT_EQ(text::readFirstLine(folder.file(L"empty.une")), std::nullopt);
    folder.put(L"blank.une", "\r\n");
    EXPECT_EQ(text::readFirstLine(folder.file(L"blank.une")), L"");
    folder.put(L"title.une", "\xBB\xB6\xD3\xAD\r\nsecond\r\n");
    EXPECT_EQ(text::readFirstLine(folder.file(L"title.une")), L"欢迎");
}

TEST(LineFile, WriteReplacesTheWholeFileAndLeavesNoTemporary) {
    TempFolder folder;
    folder.put(L"title.une", "a much longer previous title\r\nand a second line\r\n");
    ASSERT_EQ(text::writeLine(folder.file(L"title.une"), L"欢迎"), 0u);
    EXPECT_EQ(folder.bytes(L"title.une"), "\xBB\xB6\xD3\xAD\r\n");
    EXPECT_EQ(folder.bytes(L"title.une.new"), "<missing>");
}

TEST(LineFile, AFailedWriteReportsTheErrorAndKeepsTheOldContent) {
    TempFolder folder;
    EXPECT_NE(text::writeLine(folder.file(L"no such folder\\bft.une"), L"1"), 0u);

    folder.put(L"bft.une", "0\r\n");
    SetFileAttributesW(folder.file(L"bft.une").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_NE(text::writeLine(folder.file(L"bft.une"), L"1"), 0u);
    SetFileAttributesW(folder.file(L"bft.une").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(folder.bytes(L"bft.une"), "0\r\n");
    EXPECT_EQ(folder.bytes(L"bft.une.new"), "<missing>");
}

TEST(LineFile, ReadsAndWritesLargeFilesWhole) {
    TempFolder folder;
    std::string big(3 * 1024 * 1024, '7');
    big += "\r\n";
    ASSERT_EQ(text::writeBytes(folder.file(L"big.sop"), big), 0u);
    uint32_t error = 1;
    EXPECT_EQ(text::readBytes(folder.file(L"big.sop"), &error), big);
    EXPECT_EQ(error, 0u);
}
