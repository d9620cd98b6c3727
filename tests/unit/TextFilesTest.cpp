// The line rules and the GBK conversion shared by every file of the three programs.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>

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

TEST(Gbk, NamesEachCharacterItCannotHoldOnce) {
    EXPECT_EQ(text::outsideGbk(L"Orvane 奥文 乐谱「1」€ abc"), L"");
    EXPECT_EQ(text::outsideGbk(L"😀a😀🎵한국"), L"😀🎵한국");
    EXPECT_EQ(text::outsideGbk(std::wstring(1, wchar_t(0xD83D))), std::wstring(1, wchar_t(0xD83D)))
        << "half a surrogate pair";
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

namespace {

// An open handle as a virus scanner or notice.exe holds it: reading, without delete sharing.
struct Held {
    HANDLE h;
    Held(const std::wstring& path, DWORD sharing)
        : h(CreateFileW(path.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~Held() { CloseHandle(h); }
};

// Whether the system renames an open file over another with POSIX semantics.
bool posixRenameOffered(const TempFolder& folder) {
    folder.put(L"probe.a", "a");
    folder.put(L"probe.b", "b");
    HANDLE file = CreateFileW(folder.file(L"probe.a").c_str(), DELETE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    struct {
        DWORD flags = 0x3;  // replace if it exists, POSIX semantics
        HANDLE root = nullptr;
        DWORD length = 0;
        wchar_t name[MAX_PATH] = {};
    } info;
    const std::wstring target = folder.file(L"probe.b");
    wcscpy_s(info.name, target.c_str());
    info.length = static_cast<DWORD>(target.size() * sizeof(wchar_t));
    const bool offered =
        SetFileInformationByHandle(file, static_cast<FILE_INFO_BY_HANDLE_CLASS>(22), &info, sizeof info);
    const DWORD error = offered ? 0 : GetLastError();
    CloseHandle(file);
    DeleteFileW(folder.file(L"probe.a").c_str());
    DeleteFileW(folder.file(L"probe.b").c_str());
    if (!offered) std::printf("the system offers no rename with POSIX semantics (error %lu)\n", error);
    return offered;
}

std::vector<std::wstring> filesIn(const TempFolder& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(folder.file(L"*").c_str(), &found);
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

}  // namespace

TEST(LineFile, AFileHeldByAnotherReaderIsStillWritten) {
    TempFolder folder;
    folder.put(L"title.une", "old title\r\n");
    {
        Held scanner(folder.file(L"title.une"), FILE_SHARE_READ | FILE_SHARE_WRITE);
        ASSERT_NE(scanner.h, INVALID_HANDLE_VALUE);
        EXPECT_EQ(text::writeLine(folder.file(L"title.une"), L"欢迎"), 0u) << "written in place";
        EXPECT_EQ(folder.bytes(L"title.une"), "\xBB\xB6\xD3\xAD\r\n");
    }
    {
        // A holder that allows no writing: the write fails and says why; the file stays.
        Held locked(folder.file(L"title.une"), FILE_SHARE_READ);
        EXPECT_NE(text::writeLine(folder.file(L"title.une"), L"new"), 0u);
    }
    EXPECT_EQ(folder.bytes(L"title.une"), "\xBB\xB6\xD3\xAD\r\n");
    EXPECT_EQ(filesIn(folder), std::vector<std::wstring>{L"title.une"}) << "no temporary is left";

    // Our own readers share delete: a write while one of them reads replaces the file whole.
    // Where the system renames with POSIX semantics the reader goes on reading the old
    // file; elsewhere (Wine 8 refuses them) the move fails and the file is written in place.
    Held reader(folder.file(L"title.une"), FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    EXPECT_EQ(text::writeLine(folder.file(L"title.une"), L"second"), 0u);
    EXPECT_EQ(folder.bytes(L"title.une"), "second\r\n");
    if (posixRenameOffered(folder)) {
        char seen[16] = {};
        DWORD read = 0;
        ASSERT_TRUE(ReadFile(reader.h, seen, sizeof seen, &read, nullptr));
        EXPECT_EQ(std::string(seen, read), "\xBB\xB6\xD3\xAD\r\n") << "the old file, never half of the new";
    }
    EXPECT_EQ(filesIn(folder), std::vector<std::wstring>{L"title.une"});
}

TEST(LineFile, TheTemporaryNeverTakesTheNameOfAUsersFile) {
    TempFolder folder;
    folder.put(L"piece.sop.new", "the user's own file\r\n");
    ASSERT_EQ(text::writeLine(folder.file(L"piece.sop"), L"01234567"), 0u);
    EXPECT_EQ(folder.bytes(L"piece.sop.new"), "the user's own file\r\n");
    EXPECT_EQ(filesIn(folder).size(), 2u);
}

TEST(LineFile, LeftoversOfAKilledWriteGoAtTheNextStartButNotThoseOfARunningOne) {
    TempFolder folder;
    // A process id that no running process has (Wine's ids are multiples of 4), and ours.
    folder.put(L"bft.une.~orvane4294967294_0.tmp", "1\r\n");
    folder.put(L"wav.py.~orvane4294967294_12.tmp", "half");
    const std::wstring ours = L"bft.une.~orvane" + std::to_wstring(GetCurrentProcessId()) + L"_7.tmp";
    folder.put(ours, "in progress");
    folder.put(L"notes.~orvane.tmp", "a user's file with a similar name");
    folder.put(L"bft.une", "0\r\n");
    text::removeLeftovers(folder.path());
    auto names = filesIn(folder);
    std::sort(names.begin(), names.end());
    std::vector<std::wstring> kept{ours, L"bft.une", L"notes.~orvane.tmp"};
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(names, kept);
}
