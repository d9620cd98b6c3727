// The splash: the theme picture, the welcome notification, the error window when
// notice.exe is missing, and the routing by the first-run flag.
#include <gtest/gtest.h>

#include <windows.h>

#include "StandIn.h"
#include "WindowTest.h"
#include "forms/Program.h"
#include "install/FormE.h"
#include "setup/Formwel.h"
#include "startup/Formlauncher.h"
#include "startup/Formmain.h"
#include "state/Notification.h"

namespace {

struct Splash : WindowTest<Formlauncher, FormE> {
    std::vector<std::string> routed;
    bool tickingWhileRouting = false;

    void SetUp() override {
        WindowTest::SetUp();
        folder.put(L"notice.exe", "MZ");
        folder.put(L"themecolors.une", "0\r\n");
        // Each records that it opened and goes again. A route may raise a message box; a
        // tick under it would route a second time.
        standIn<Formmain>([this](ui::Form& menu) {
            routed.push_back("main menu");
            noteTimer();
            menu.unload();
        });
        standIn<Formwel>([this](ui::Form& welcome) {
            routed.push_back("welcome");
            noteTimer();
            welcome.unload();
        });
    }
    // The splash up and painted, and what it asked to run after that done.
    void showSplash() {
        ui::show<Formlauncher>();
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    void noteTimer() { tickingWhileRouting = ui::find<Formlauncher>()->control(L"Timer1").enabled; }
    void TearDown() override {
        WindowTest::TearDown();
        putBack<Formmain>();
        putBack<Formwel>();
    }
    std::string routeFor(const std::string& flag) {
        if (flag == "<missing>")
            DeleteFileW(folder.file(L"bft.une").c_str());
        else
            folder.put(L"bft.une", flag);
        routed.clear();
        ui::show<Formlauncher>().fire(L"Timer1");
        EXPECT_FALSE(ui::isOpen<Formlauncher>()) << "the splash goes once it has routed";
        EXPECT_FALSE(tickingWhileRouting) << "the timer stops before the routing";
        return routed.size() == 1 ? routed[0] : "routed " + std::to_string(routed.size()) + " times";
    }
};

}  // namespace

TEST_F(Splash, ShowsThePictureOfTheTheme) {
    Formlauncher& light = ui::show<Formlauncher>();
    EXPECT_TRUE(light.visible(L"Image1"));
    EXPECT_FALSE(light.visible(L"Image2"));
    EXPECT_EQ(light.clientSize().cx, 1180);
    EXPECT_EQ(light.clientSize().cy, 654);
    light.unload();

    for (const char* dark : {"1\r\n", "Text2\r\n", "\r\n", "0 \r\n"}) {
        folder.put(L"themecolors.une", dark);
        Formlauncher& splash = ui::show<Formlauncher>();
        EXPECT_FALSE(splash.visible(L"Image1")) << dark;
        EXPECT_TRUE(splash.visible(L"Image2")) << dark;
        splash.unload();
    }
}

TEST_F(Splash, PostsTheWelcomeNotificationThenStartsNotice) {
    folder.put(L"title.une", "a much longer title from an earlier request\r\n");
    ui::show<Formlauncher>();
    EXPECT_TRUE(system.started.empty()) << "starting notice waits for the splash's first paint";
    showSplash();
    EXPECT_EQ(folder.bytes(L"title.une"), "\xBB\xB6\xD3\xAD\r\n");
    EXPECT_EQ(folder.bytes(L"text.une"), "Orvane\xD5\xFD\xD4\xDA\xC6\xF4\xB6\xAF\r\n");
    ASSERT_EQ(system.started.size(), 1u);
    EXPECT_EQ(system.started[0], folder.file(L"notice.exe"));
    EXPECT_TRUE(ui::isOpen<Formlauncher>());
    EXPECT_FALSE(ui::isOpen<FormE>());
}

TEST_F(Splash, WithoutNoticeOnlyTheErrorWindowShows) {
    for (const wchar_t* missing : {L"deleted", L"folder", L"hidden"}) {
        DeleteFileW(folder.file(L"notice.exe").c_str());
        if (std::wstring(missing) == L"folder") CreateDirectoryW(folder.file(L"notice.exe").c_str(), nullptr);
        if (std::wstring(missing) == L"hidden") {
            folder.put(L"notice.exe", "MZ");
            SetFileAttributesW(folder.file(L"notice.exe").c_str(), FILE_ATTRIBUTE_HIDDEN);
        }
        showSplash();
        EXPECT_FALSE(ui::isOpen<Formlauncher>()) << missing;
        ASSERT_TRUE(ui::isOpen<FormE>()) << missing;
        EXPECT_TRUE(system.started.empty()) << missing;
        EXPECT_EQ(folder.bytes(L"title.une"), "\xBB\xB6\xD3\xAD\r\n") << "the request is written first";

        FormE& error = *ui::find<FormE>();
        EXPECT_EQ(error.clientSize().cx, 514);
        EXPECT_EQ(error.clientSize().cy, 289);
        EXPECT_EQ(system.endedNow, 0);
        EXPECT_TRUE(ends([&] { error.fire(L"Image2"); })) << "好的 ends the program";
        error.unload();
        system.endedNow = 0;
        RemoveDirectoryW(folder.file(L"notice.exe").c_str());
        SetFileAttributesW(folder.file(L"notice.exe").c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST_F(Splash, ANoticeThatCannotStartIsReportedAndTheSplashGoesOn) {
    system.startError = ERROR_BAD_EXE_FORMAT;
    showSplash();
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_NE(system.messages[0].text.find(L"notice.exe"), std::wstring::npos);
    EXPECT_TRUE(ui::isOpen<Formlauncher>());
}

TEST_F(Splash, RoutesByTheFirstRunFlagAsANumber) {
    EXPECT_EQ(routeFor("1\r\n"), "main menu");
    EXPECT_EQ(routeFor("01\r\n"), "main menu");
    EXPECT_EQ(routeFor("1"), "main menu");
    EXPECT_EQ(routeFor("0\r\n"), "welcome");
    EXPECT_EQ(routeFor("2\r\n"), "welcome");
    EXPECT_EQ(routeFor("-1\r\n"), "welcome");
    EXPECT_EQ(routeFor("Text4\r\n"), "welcome");
    EXPECT_EQ(routeFor("\r\n1\r\n"), "welcome");
    EXPECT_EQ(routeFor(""), "welcome");
    EXPECT_EQ(routeFor("<missing>"), "welcome");
}

TEST_F(Splash, ARequestThatCannotBeWrittenIsNamedAndNoticeIsNotStarted) {
    folder.put(L"text.une", "old\r\n");
    SetFileAttributesW(folder.file(L"text.une").c_str(), FILE_ATTRIBUTE_READONLY);
    showSplash();
    SetFileAttributesW(folder.file(L"text.une").c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_NE(system.messages[0].text.find(folder.file(L"text.une")), std::wstring::npos);
    EXPECT_TRUE(system.started.empty()) << "a half request is never shown";
    EXPECT_EQ(folder.bytes(L"text.une"), "old\r\n");
    EXPECT_TRUE(ui::isOpen<Formlauncher>()) << "the splash goes on to route";
}
