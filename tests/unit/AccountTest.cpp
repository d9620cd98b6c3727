// The account store: the exact bytes of PASSWARD.une, the password check against
// every form the file can take, and the refusal of an empty user name.
#include <gtest/gtest.h>

#include <windows.h>

#include "FakeSystem.h"
#include "account/Account.h"
#include "account/AccountEntry.h"

namespace {

struct AccountStore : ::testing::Test {
    FakeSystem system;
    TempFolder folder;

    account::Check check(const std::wstring& typed) { return account::checkPassword(typed); }
};

// Passwords whose scrambled bytes hold everything the line rules could take apart: a
// lowercase x scrambles to CR, a DEL to LF, a U to a space, a u to the byte 0.
const std::vector<std::wstring> kPasswords = {
    L"",  L"abc",  L"ABC",   L"Abc",    L"x",          L"xx",         L"box",   L"Ultra", L"tabU",
    L"U", L"UU",   L" lead", L"trail ", L" ",          L"a b",        L"x\x7f", L"\x7f",  L"xa\x7f",
    L"u", L"欢迎", L"密码x", L"U欢迎U", L"\U0001F3B5", L"abc\r\ndef", L"\t",
};

}  // namespace

TEST_F(AccountStore, WritesTheUserNameAndTheScrambledBytes) {
    ASSERT_EQ(account::store(L"李雷 ", L"abc"), std::nullopt);
    EXPECT_EQ(folder.bytes(L"admin.une"), "\xC0\xEE\xC0\xD7 \r\n") << "the user name as typed";
    EXPECT_EQ(folder.bytes(L"PASSWARD.une"), "\x14\x17\x16\r\n");

    // 欢迎 is BB B6 D3 AD: the lead bytes stay, the trail bytes are combined with 117.
    ASSERT_EQ(account::store(L"Orvane", L"欢迎Ax"), std::nullopt);
    EXPECT_EQ(folder.bytes(L"PASSWARD.une"), "\xBB\xC3\xD3\xD8\x34\x0D\r\n");
    EXPECT_EQ(folder.bytes(L"admin.une"), "Orvane\r\n");

    ASSERT_EQ(account::store(L"", L""), std::nullopt);
    EXPECT_EQ(folder.bytes(L"PASSWARD.une"), "\r\n");
    EXPECT_EQ(folder.bytes(L"admin.une"), "\r\n");
    EXPECT_TRUE(system.messages.empty());
}

TEST_F(AccountStore, CharactersOutsideTheCodePageScrambleTheSameWayEveryTime) {
    const std::string first = account::scramble(L"a\U0001F3B5");
    EXPECT_EQ(first, account::scramble(L"a\U0001F3B5"));
    EXPECT_EQ(first.substr(0, 1), "\x14");
    EXPECT_EQ(first.find('?'), std::string::npos) << "the replacement is scrambled too";
}

TEST_F(AccountStore, EveryStoredPasswordPassesAndEveryOtherFails) {
    for (const std::wstring& stored : kPasswords) {
        ASSERT_EQ(account::store(L"user", stored), std::nullopt);
        for (const std::wstring& typed : kPasswords) {
            const account::Check expected = typed == stored ? account::Check::Pass : account::Check::Fail;
            EXPECT_EQ(check(typed), expected)
                << "stored " << testing::PrintToString(stored) << ", typed " << testing::PrintToString(typed);
        }
    }
}

TEST_F(AccountStore, ReadsEveryFormOfTheFile) {
    struct Case {
        std::string file;
        std::wstring typed;
        account::Check expected;
    };
    const Case cases[] = {
        {"", L"", account::Check::Pass},  // zero bytes: the empty password
        {"", L"a", account::Check::Fail},
        {"\r\n", L"", account::Check::Pass},
        {"\r\n", L" ", account::Check::Fail},
        {"\x14\x17\x16", L"abc", account::Check::Pass},  // no final CR LF
        {"\x14\x17\x16\r\n\r\n", L"abc", account::Check::Fail},
        {"\x14\x17\x16\r\n\x14\r\n", L"abc", account::Check::Fail},  // a second line
        {"\x14\x17\x16\r\n\x14\r\n", L"a", account::Check::Fail},
        {"\x14\x17\x16\r\n", L"ABC", account::Check::Fail},  // letter case counts
        {"\x14\x17\x16\r\n", L"abc ", account::Check::Fail},
        {"\x14\x17\x16\n", L"abc", account::Check::Fail},  // a lone LF is no line end
    };
    for (const Case& c : cases) {
        folder.put(L"PASSWARD.une", c.file);
        EXPECT_EQ(check(c.typed), c.expected)
            << testing::PrintToString(c.file) << " typed " << testing::PrintToString(c.typed);
    }
}

TEST_F(AccountStore, AMissingOrUnreadableFileIsAReadFailureNotAnEmptyPassword) {
    EXPECT_EQ(check(L""), account::Check::ReadFailure);
    EXPECT_EQ(check(L"ab"), account::Check::ReadFailure);

    CreateDirectoryW(folder.file(L"PASSWARD.une").c_str(), nullptr);
    EXPECT_EQ(check(L""), account::Check::ReadFailure);
    RemoveDirectoryW(folder.file(L"PASSWARD.une").c_str());

    EXPECT_EQ(account::passwordPath(), folder.path() + L"\\PASSWARD.une");
}

TEST_F(AccountStore, AnEmptyUserNameIsRefusedBeforeAnythingIsWritten) {
    folder.put(L"PASSWARD.une", "old\r\n");
    EXPECT_FALSE(account::createFromEntries(L"", L"new"));
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_EQ(system.messages[0].text, L"用户名不可为空");
    EXPECT_EQ(system.messages[0].icon, sys::Icon::None);
    EXPECT_EQ(folder.bytes(L"admin.une"), "<missing>");
    EXPECT_EQ(folder.bytes(L"PASSWARD.une"), "old\r\n");

    EXPECT_TRUE(account::createFromEntries(L" ", L"new")) << "a space is a name";
    EXPECT_EQ(folder.bytes(L"admin.une"), " \r\n");
    EXPECT_EQ(check(L"new"), account::Check::Pass);
    EXPECT_EQ(system.messages.size(), 1u);
}

TEST_F(AccountStore, AnUnwritablePasswordFileIsNamedAndTheWindowsEndTheProgram) {
    folder.put(L"PASSWARD.une", "old\r\n");
    SetFileAttributesW(folder.file(L"PASSWARD.une").c_str(), FILE_ATTRIBUTE_READONLY);
    const sys::Cause failure = account::store(L"other", L"new");
    EXPECT_TRUE(system.messages.empty()) << "the store tells no one";
    ASSERT_TRUE(failure);
    EXPECT_NE(failure->find(folder.file(L"PASSWARD.une")), std::wstring::npos);
    EXPECT_TRUE(ends([&] { account::createFromEntries(L"new user", L"new"); }));
    SetFileAttributesW(folder.file(L"PASSWARD.une").c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_EQ(system.messages[0].text, *failure);
    EXPECT_EQ(system.messages[0].icon, sys::Icon::Error);
    EXPECT_EQ(system.endedNow, 1);
    EXPECT_EQ(folder.bytes(L"admin.une"), "new user\r\n") << "what was written before stays";
    EXPECT_EQ(folder.bytes(L"PASSWARD.une"), "old\r\n");
}
