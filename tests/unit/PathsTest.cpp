// The existence test, folders and the system's wording of errors.
#include <gtest/gtest.h>

#include <windows.h>

#include "FakeSystem.h"
#include "system/Paths.h"

TEST(ExistenceTest, OnlyAnOrdinaryFileExists) {
    TempFolder folder;
    folder.put(L"notice.exe", "MZ");
    EXPECT_TRUE(sys::exists(folder.file(L"notice.exe")));
    EXPECT_FALSE(sys::exists(folder.file(L"Launcher.exe")));

    CreateDirectoryW(folder.file(L"奥文Orvane.exe").c_str(), nullptr);
    EXPECT_FALSE(sys::exists(folder.file(L"奥文Orvane.exe")));

    folder.put(L"hidden.exe", "MZ");
    SetFileAttributesW(folder.file(L"hidden.exe").c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(sys::exists(folder.file(L"hidden.exe")));

    folder.put(L"system.exe", "MZ");
    SetFileAttributesW(folder.file(L"system.exe").c_str(), FILE_ATTRIBUTE_SYSTEM);
    EXPECT_FALSE(sys::exists(folder.file(L"system.exe")));

    folder.put(L"readonly.exe", "MZ");
    SetFileAttributesW(folder.file(L"readonly.exe").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(sys::exists(folder.file(L"readonly.exe")));
    SetFileAttributesW(folder.file(L"readonly.exe").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(ExistenceTest, AWildcardNeverMatchesAnotherFile) {
    TempFolder folder;
    folder.put(L"notice.exe", "MZ");
    EXPECT_FALSE(sys::exists(folder.file(L"notic?.exe")));
    EXPECT_FALSE(sys::exists(folder.file(L"*.exe")));
}

TEST(ProgramFolder, FilesAreAddressedInsideIt) {
    TempFolder folder;
    EXPECT_EQ(sys::inProgramFolder(L"bft.une"), folder.path() + L"\\bft.une");
    EXPECT_EQ(sys::parentOf(L"C:\\Orvane\\OutputWAV"), L"C:\\Orvane");
    EXPECT_EQ(sys::parentOf(L"C:/a/b.une"), L"C:/a");
}

// The joiner makes the output folder as the joining script does (os.makedirs), OrvaneX its
// output folder: every missing level, a folder that is there being no fault.
TEST(Folders, AreCreatedWithEveryMissingParent) {
    TempFolder folder;
    const std::wstring deep = folder.file(L"作品\\2025\\春");
    EXPECT_EQ(sys::createFolders(deep), 0u);
    EXPECT_NE(GetFileAttributesW(deep.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(sys::createFolders(deep), 0u) << "already there";
    folder.put(L"file", "x");
    EXPECT_NE(sys::createFolders(folder.file(L"file\\below")), 0u) << "a file stands where a folder would go";
    EXPECT_EQ(sys::createFolders(folder.file(L"file")), static_cast<uint32_t>(ERROR_ALREADY_EXISTS))
        << "a file of that name is no folder";
}

TEST(ErrorWording, IsTheSystemsOwnWithoutALineEnd) {
    const std::wstring text = sys::describe(ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(text.empty());
    EXPECT_NE(text.back(), L'\n');
    EXPECT_NE(text, sys::describe(ERROR_ACCESS_DENIED));
    EXPECT_EQ(sys::describe(ERROR_BAD_EXE_FORMAT).find(L"%1"), std::wstring::npos)
        << "an insert never shows as %1";
}
