// The login window and the settings window, run for real with FakeSystem answering:
// the gate to the settings, the theme buttons, the account change and the factory reset.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "WindowTest.h"
#include "account/Account.h"
#include "account/FormLOGIN.h"
#include "account/FormSET.h"
#include "forms/Program.h"
#include "install/FormE.h"
#include "startup/FormYHXY.h"
#include "startup/FormYSZC.h"

namespace {

struct AccountWindows : WindowTest<FormLOGIN, FormSET, FormE, FormYHXY, FormYSZC> {
    void SetUp() override {
        WindowTest::SetUp();
        folder.put(L"notice.exe", "MZ");
        folder.put(L"themecolors.une", "0\r\n");
        system.environmentValues = {{L"USERNAME", L"张三"}};
    }
    void storePassword(const std::wstring& password) {
        ASSERT_EQ(account::store(L"user", password), std::nullopt);
    }
    FormLOGIN& loginWith(const std::wstring& typed) {
        FormLOGIN& login = ui::show<FormLOGIN>();
        login.setText(L"Text2", typed);
        login.fire(L"ImageLOGIN");
        return login;
    }
    // The hover text that the window's tooltip shows over the box.
    static std::wstring hoverText(const ui::Form& form, const std::wstring& box) {
        struct Search {
            HWND owner;
            std::vector<HWND> tooltips;
        } search{form.hwnd(), {}};
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND w, LPARAM p) {
                auto* s = reinterpret_cast<Search*>(p);
                wchar_t kind[32] = {};
                GetClassNameW(w, kind, 32);
                if (GetWindow(w, GW_OWNER) == s->owner && std::wstring(kind) == TOOLTIPS_CLASSW)
                    s->tooltips.push_back(w);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        for (HWND tooltip : search.tooltips) {
            wchar_t text[80] = {};
            TOOLINFOW tool{};
            tool.cbSize = TTTOOLINFOW_V2_SIZE;
            tool.hwnd = form.hwnd();
            tool.uId = reinterpret_cast<UINT_PTR>(form.control(box).edit);
            tool.lpszText = text;
            SendMessageW(tooltip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
            if (text[0]) return text;
        }
        return {};
    }
    static bool masked(const ui::Form& form, const std::wstring& box) {
        HWND edit = form.control(box).edit;
        return (GetWindowLongW(edit, GWL_STYLE) & ES_PASSWORD) &&
               SendMessageW(edit, EM_GETPASSWORDCHAR, 0, 0) == '*';
    }
};

}  // namespace

TEST_F(AccountWindows, LoginTakesThePictureSizeAndTheTheme) {
    FormLOGIN& login = ui::show<FormLOGIN>();
    EXPECT_EQ(login.clientSize().cx, 345);
    EXPECT_EQ(login.clientSize().cy, 551);
    EXPECT_TRUE(login.visible(L"Image1"));
    EXPECT_FALSE(login.visible(L"Image2"));
    EXPECT_TRUE(masked(login, L"Text2"));
    EXPECT_EQ(login.text(L"Text2"), L"");
    login.unload();

    folder.put(L"themecolors.une", "Text2\r\n");
    FormLOGIN& dark = ui::show<FormLOGIN>();
    EXPECT_FALSE(dark.visible(L"Image1"));
    EXPECT_TRUE(dark.visible(L"Image2"));
}

TEST_F(AccountWindows, TheRightPasswordOpensTheSettingsAndClosesTheLogin) {
    storePassword(L"Ux 密码U");
    loginWith(L"Ux 密码U");
    EXPECT_TRUE(system.messages.empty());
    EXPECT_TRUE(ui::isOpen<FormSET>());
    EXPECT_FALSE(ui::isOpen<FormLOGIN>());
}

TEST_F(AccountWindows, AWrongPasswordIsToldAndTheTypedTextStays) {
    storePassword(L"Secret");
    for (const wchar_t* wrong : {L"secret", L"Secret ", L""}) {
        system.messages.clear();
        FormLOGIN& login = loginWith(wrong);
        ASSERT_EQ(system.messages.size(), 1u) << wrong;
        EXPECT_EQ(system.messages[0].text, L"密码错误。");
        EXPECT_EQ(system.messages[0].icon, sys::Icon::Warning);
        EXPECT_EQ(system.messages[0].title, L"") << "the program's name titles it";
        EXPECT_TRUE(ui::isOpen<FormLOGIN>());
        EXPECT_EQ(login.text(L"Text2"), wrong);
        EXPECT_FALSE(ui::isOpen<FormSET>());
    }
}

TEST_F(AccountWindows, WithoutThePasswordFileTheLoginNamesItsPath) {
    loginWith(L"");
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_EQ(system.messages[0].text, L"无法打开或读取文件 " + folder.path() +
                                           L"\\PASSWARD.une，请检查文件路径和文件内容是否为纯文本。");
    EXPECT_EQ(system.messages[0].icon, sys::Icon::Error);
    EXPECT_TRUE(ui::isOpen<FormLOGIN>());
    EXPECT_FALSE(ui::isOpen<FormSET>());
}

TEST_F(AccountWindows, EnterDoesNothingAndCancelWritesNothing) {
    storePassword(L"");
    FormLOGIN& login = ui::show<FormLOGIN>();
    HWND box = login.control(L"Text2").edit;
    SendMessageW(box, WM_KEYDOWN, VK_RETURN, 0);
    SendMessageW(box, WM_CHAR, L'\r', 0);
    SendMessageW(box, WM_KEYUP, VK_RETURN, 0);
    EXPECT_TRUE(system.messages.empty());
    EXPECT_FALSE(ui::isOpen<FormSET>());
    ASSERT_TRUE(ui::isOpen<FormLOGIN>());

    login.fire(L"ImageUN");
    EXPECT_FALSE(ui::isOpen<FormLOGIN>());
    EXPECT_FALSE(ui::isOpen<FormSET>());
    EXPECT_EQ(folder.bytes(L"PASSWARD.une"), "\r\n");
    EXPECT_EQ(folder.bytes(L"title.une"), "<missing>");
}

TEST_F(AccountWindows, SettingsLoadWithTheSystemUserAndAnEmptyMaskedPassword) {
    folder.put(L"admin.une", "stored\r\n");
    FormSET& settings = ui::show<FormSET>();
    EXPECT_EQ(settings.clientSize().cx, 1089);
    EXPECT_EQ(settings.clientSize().cy, 640);
    EXPECT_TRUE(settings.visible(L"Image1"));
    EXPECT_FALSE(settings.visible(L"Image2"));
    EXPECT_EQ(settings.text(L"Text1"), L"张三");
    EXPECT_EQ(settings.text(L"Text2"), L"");
    EXPECT_TRUE(masked(settings, L"Text2"));
    EXPECT_FALSE(masked(settings, L"Text1"));
    settings.unload();

    system.environmentValues.clear();
    folder.put(L"themecolors.une", "1\r\n");
    FormSET& again = ui::show<FormSET>();
    EXPECT_EQ(again.text(L"Text1"), L"");
    EXPECT_TRUE(again.visible(L"Image2"));
}

TEST_F(AccountWindows, SettingsBoxesTakeTabInOrderAndCarryTheirHoverTexts) {
    FormSET& settings = ui::show<FormSET>();
    HWND name = settings.control(L"Text1").edit, password = settings.control(L"Text2").edit;
    // The focus of this thread's windows only: the foreground is shared with the tests
    // that run beside this one.
    SendMessageW(settings.hwnd(), WM_SETFOCUS, 0, 0);
    EXPECT_EQ(GetFocus(), name) << "the user name box is first";
    EXPECT_TRUE(ui::navigate({name, WM_KEYDOWN, VK_TAB, 0}));
    EXPECT_EQ(GetFocus(), password);
    EXPECT_TRUE(ui::navigate({password, WM_KEYDOWN, VK_TAB, 0}));
    EXPECT_EQ(GetFocus(), settings.hwnd()) << "the drawn save button follows the boxes";
    EXPECT_EQ(settings.focusedItem(), &settings.control(L"Image3") - settings.controls().data());
    EXPECT_FALSE(ui::navigate({name, WM_KEYDOWN, VK_RETURN, 0})) << "Enter in a box is the box's";

    EXPECT_EQ(hoverText(settings, L"Text1"), L"输入新的用户名");
    EXPECT_EQ(hoverText(settings, L"Text2"), L"输入新的密码");
}

TEST_F(AccountWindows, ThemeButtonsWriteTheValueAnnounceItAndKeepTheLook) {
    FormSET& settings = ui::show<FormSET>();
    settings.fire(L"ImageD");
    EXPECT_EQ(folder.bytes(L"themecolors.une"), "1\r\n");
    EXPECT_EQ(folder.bytes(L"title.une"), "\xC9\xE8\xD6\xC3\xB3\xC9\xB9\xA6\r\n");  // 设置成功
    EXPECT_EQ(folder.bytes(L"text.une"),
              "\xD2\xD1\xC9\xE8\xD6\xC3\xCE\xAA\xBA\xDA\xB0\xB5\xD6\xF7\xCC\xE2\r\n");
    ASSERT_EQ(system.started, std::vector<std::wstring>{folder.file(L"notice.exe")});
    EXPECT_TRUE(settings.visible(L"Image1")) << "an open window keeps its look";
    EXPECT_FALSE(settings.visible(L"Image2"));

    DeleteFileW(folder.file(L"notice.exe").c_str());
    settings.fire(L"ImageL");
    EXPECT_EQ(folder.bytes(L"themecolors.une"), "0\r\n");
    EXPECT_EQ(folder.bytes(L"text.une"),
              "\xD2\xD1\xC9\xE8\xD6\xC3\xCE\xAA\xC3\xF7\xC1\xC1\xD6\xF7\xCC\xE2\r\n");
    EXPECT_EQ(system.started.size(), 1u) << "without notice nothing is shown";
    EXPECT_TRUE(system.messages.empty());
    EXPECT_FALSE(ui::isOpen<FormE>());
    EXPECT_TRUE(ui::isOpen<FormSET>());
}

TEST_F(AccountWindows, SavingTheAccountChangesThePasswordTheNextLoginAsksFor) {
    storePassword(L"old");
    FormSET& settings = ui::show<FormSET>();
    settings.setText(L"Text2", L"new U");
    settings.fire(L"Image3");
    EXPECT_EQ(folder.bytes(L"admin.une"), "\xD5\xC5\xC8\xFD\r\n");  // 张三
    EXPECT_EQ(folder.bytes(L"PASSWARD.une"), "\x1B\x10\x02\x55\x20\r\n");
    EXPECT_EQ(folder.bytes(L"text.une"),
              "\xD2\xD1\xB8\xFC\xD0\xC2\xC4\xFA\xB5\xC4\xD3\xC3\xBB\xA7\xC3\xFB\xD2\xD4\xBC\xB0\xC3\xDC\xC2"
              "\xEB\r\n");
    EXPECT_EQ(system.started.size(), 1u);
    EXPECT_TRUE(system.messages.empty());
    EXPECT_EQ(settings.text(L"Text2"), L"new U") << "the boxes keep their text";
    settings.unload();

    loginWith(L"old");
    EXPECT_EQ(system.messages.size(), 1u) << "the old password is refused";
    loginWith(L"new U");
    EXPECT_TRUE(ui::isOpen<FormSET>());
}

TEST_F(AccountWindows, AnEmptyUserNameIsRefusedAndNothingIsWrittenOrAnnounced) {
    storePassword(L"old");
    system.environmentValues.clear();
    FormSET& settings = ui::show<FormSET>();
    settings.setText(L"Text2", L"new");
    settings.fire(L"Image3");
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_EQ(system.messages[0].text, L"用户名不可为空");
    EXPECT_EQ(system.messages[0].icon, sys::Icon::None);
    EXPECT_EQ(folder.bytes(L"admin.une"), "user\r\n");
    EXPECT_EQ(folder.bytes(L"PASSWARD.une"), "\x1A\x19\x11\r\n");
    EXPECT_EQ(folder.bytes(L"title.une"), "<missing>");
    EXPECT_TRUE(system.started.empty());
    EXPECT_TRUE(ui::isOpen<FormSET>());
}

// "😀😀" and "🎵🎵" would both be stored as "??": such names and passwords are refused.
TEST_F(AccountWindows, CharactersThatGbkCannotHoldAreRefusedAndNothingIsWritten) {
    storePassword(L"old");
    FormSET& settings = ui::show<FormSET>();
    for (const auto& [name, password] : {std::pair{L"张三😀", L"new"}, std::pair{L"张三", L"🎵🎵"}}) {
        system.messages.clear();
        settings.setText(L"Text1", name);
        settings.setText(L"Text2", password);
        settings.fire(L"Image3");
        ASSERT_EQ(system.messages.size(), 1u);
        EXPECT_EQ(system.messages[0].icon, sys::Icon::Exclamation);
        if (std::wstring(name) == L"张三😀")
            EXPECT_NE(system.messages[0].text.find(L"😀"), std::wstring::npos) << "names the character";
        else
            EXPECT_EQ(system.messages[0].text.find(L"🎵"), std::wstring::npos) << "the password is not shown";
        EXPECT_EQ(folder.bytes(L"admin.une"), "user\r\n");
        EXPECT_EQ(folder.bytes(L"PASSWARD.une"), "\x1A\x19\x11\r\n");
        EXPECT_EQ(folder.bytes(L"title.une"), "<missing>");
    }
    EXPECT_TRUE(ui::isOpen<FormSET>());
}

TEST_F(AccountWindows, FactoryResetRestartsThroughTheLauncher) {
    folder.put(L"Launcher.exe", "MZ");
    folder.put(L"bft.une", "1\r\n");
    storePassword(L"kept");
    EXPECT_TRUE(ends([] { ui::show<FormSET>().fire(L"Image4"); }));
    EXPECT_EQ(folder.bytes(L"bft.une"), "Text4\r\n");
    EXPECT_EQ(system.started, std::vector<std::wstring>{folder.file(L"Launcher.exe")});
    EXPECT_EQ(system.endedNow, 1);
    EXPECT_EQ(folder.bytes(L"themecolors.une"), "0\r\n");
    EXPECT_EQ(folder.bytes(L"admin.une"), "user\r\n");
    EXPECT_EQ(folder.bytes(L"PASSWARD.une"), "\x1E\x10\x05\x01\r\n");
}

TEST_F(AccountWindows, FactoryResetWithoutTheLauncherShowsTheErrorWindow) {
    folder.put(L"bft.une", "1\r\n");
    ui::show<FormSET>().fire(L"Image4");
    EXPECT_EQ(folder.bytes(L"bft.une"), "Text4\r\n");
    EXPECT_FALSE(ui::isOpen<FormSET>());
    EXPECT_TRUE(ui::isOpen<FormE>());
    EXPECT_TRUE(system.started.empty());
    EXPECT_EQ(system.endedNow, 0) << "the error window's button ends the program";
}

TEST_F(AccountWindows, LinksOpenTheirWindowsAndTheCrossCloses) {
    FormSET& settings = ui::show<FormSET>();
    settings.fire(L"Image5");
    settings.fire(L"Image6");
    EXPECT_TRUE(ui::isOpen<FormYHXY>());
    EXPECT_TRUE(ui::isOpen<FormYSZC>());
    ASSERT_TRUE(ui::isOpen<FormSET>());
    settings.fire(L"ImageU");
    EXPECT_FALSE(ui::isOpen<FormSET>());
    EXPECT_EQ(folder.bytes(L"title.une"), "<missing>");
}
