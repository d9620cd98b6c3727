// The setup: the welcome window and the four steps, with what each click writes and
// starts, the error window for a missing installer, notice or Launcher, and the end
// of the program from every step's ×.
#include <gtest/gtest.h>

#include <windows.h>

#include "WindowTest.h"
#include "forms/Program.h"
#include "install/FormE.h"
#include "setup/Formset0.h"
#include "setup/Formset1.h"
#include "setup/Formset2.h"
#include "setup/Formset3.h"
#include "setup/Formwel.h"
#include "system/Paths.h"
#include "text/Gbk.h"

namespace {

struct Setup : WindowTest<Formwel, Formset1, Formset2, Formset3, Formset0, FormE> {
    void SetUp() override {
        WindowTest::SetUp();
        folder.put(L"notice.exe", "MZ");
        folder.put(L"python.exe", "MZ");
        folder.put(L"Launcher.exe", "MZ");
        folder.put(L"bft.une", "0\r\n");
        folder.put(L"VB.bat", "@echo off\r\n");
    }
    void readOnly(const wchar_t* name, const std::string& bytes) {
        folder.put(name, bytes);
        SetFileAttributesW(folder.file(name).c_str(), FILE_ATTRIBUTE_READONLY);
    }
    void writable(const wchar_t* name) {
        SetFileAttributesW(folder.file(name).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    // Whether the window `above` lies in front of `below`.
    static bool inFront(const ui::Form& above, const ui::Form& below) {
        for (HWND w = GetWindow(above.hwnd(), GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
            if (w == below.hwnd()) return true;
        return false;
    }
};

void expectSize(const ui::Form& form, int width, int height) {
    EXPECT_EQ(form.clientSize().cx, width) << form.caption().size();
    EXPECT_EQ(form.clientSize().cy, height);
}

}  // namespace

TEST_F(Setup, WelcomeStartsVbBatAtEachLoadAndLeadsToStepOne) {
    for (int load = 1; load <= 2; ++load) {
        Formwel& welcome = ui::show<Formwel>();
        expectSize(welcome, 787, 443);
        EXPECT_EQ(welcome.caption(), L"欢迎使用Orvane");
        ASSERT_EQ(system.started.size(), static_cast<size_t>(load));
        EXPECT_EQ(system.started.back(), folder.file(L"VB.bat")) << "by full path";
        EXPECT_EQ(system.startedBehind.size(), static_cast<size_t>(load)) << "its console leaves us the keyboard";
        if (load == 1) welcome.unload();
    }
    ui::find<Formwel>()->fire(L"Image2");
    EXPECT_FALSE(ui::isOpen<Formwel>());
    ASSERT_TRUE(ui::isOpen<Formset1>());
    EXPECT_EQ(ui::find<Formset1>()->caption(), L"新用户设置");
    expectSize(*ui::find<Formset1>(), 1150, 660);
    EXPECT_EQ(system.endedNow, 0);
}

// A batch file "starts" through the command interpreter whether or not it is there: a
// missing one is reported like one that cannot start.
TEST_F(Setup, AVbBatThatCannotStartOrIsMissingIsNamedAndEndsTheProgram) {
    for (const DWORD error : {DWORD(ERROR_ACCESS_DENIED), DWORD(ERROR_FILE_NOT_FOUND)}) {
        system.messages.clear();
        system.startError = error == ERROR_ACCESS_DENIED ? error : 0;
        if (error == ERROR_FILE_NOT_FOUND) DeleteFileW(folder.file(L"VB.bat").c_str());
        EXPECT_TRUE(ends([] { ui::show<Formwel>(); }));
        ASSERT_EQ(system.messages.size(), 1u);
        EXPECT_NE(system.messages[0].text.find(folder.file(L"VB.bat")), std::wstring::npos);
        EXPECT_NE(system.messages[0].text.find(sys::describe(error)), std::wstring::npos);
        EXPECT_FALSE(ui::isOpen<Formwel>()) << "no setup window shows";
    }
    EXPECT_EQ(system.started.size(), 1u) << "the missing one is not started";
}

TEST_F(Setup, StepOneStartsOneInstallerPerClickOrSaysThatPythonIsOptional) {
    Formset1& step = ui::show<Formset1>();
    step.fire(L"Image4");
    step.fire(L"Image4");
    EXPECT_EQ(system.started,
              (std::vector<std::wstring>{folder.file(L"python.exe"), folder.file(L"python.exe")}));
    EXPECT_TRUE(ui::isOpen<Formset1>()) << "the step stays while Python installs";
    EXPECT_TRUE(system.messages.empty());

    step.fire(L"Image3");
    EXPECT_FALSE(ui::isOpen<Formset1>());
    EXPECT_TRUE(ui::isOpen<Formset2>()) << "下一步 does not ask whether Python is there";
    unloadIfOpen<Formset2>();

    for (const wchar_t* missing : {L"deleted", L"folder"}) {
        DeleteFileW(folder.file(L"python.exe").c_str());
        if (std::wstring(missing) == L"folder") CreateDirectoryW(folder.file(L"python.exe").c_str(), nullptr);
        system.started.clear();
        system.messages.clear();
        ui::show<Formset1>().fire(L"Image4");
        EXPECT_TRUE(system.started.empty()) << missing;
        ASSERT_EQ(system.messages.size(), 1u) << missing;
        EXPECT_NE(system.messages[0].text.find(L"Python是可选的"), std::wstring::npos);
        EXPECT_NE(system.messages[0].text.find(L"“下一步”"), std::wstring::npos) << "names the way on";
        EXPECT_EQ(system.endedNow, 0);
        EXPECT_TRUE(ui::isOpen<Formset1>()) << "the wizard stays on step 1";
        EXPECT_FALSE(ui::isOpen<FormE>()) << missing;
        unloadIfOpen<Formset1>();
    }
    EXPECT_EQ(folder.bytes(L"bft.une"), "0\r\n");
}

TEST_F(Setup, ThemeButtonsWriteTheirValueWithoutANotification) {
    ui::show<Formset2>().fire(L"Image3");
    EXPECT_EQ(folder.bytes(L"themecolors.une"), "0\r\n");
    EXPECT_FALSE(ui::isOpen<Formset2>());
    EXPECT_TRUE(ui::isOpen<Formset3>());
    unloadIfOpen<Formset3>();

    ui::show<Formset2>().fire(L"Image4");
    EXPECT_EQ(folder.bytes(L"themecolors.une"), "Text2\r\n") << "the dark theme is Text2, not 1";
    EXPECT_TRUE(ui::isOpen<Formset3>());
    EXPECT_TRUE(system.started.empty());
    EXPECT_EQ(folder.bytes(L"title.une"), "<missing>");
}

TEST_F(Setup, NextWithoutAChoiceTakesTheLightThemeAndSaysSo) {
    folder.put(L"themecolors.une", "Text2\r\n");
    ui::show<Formset2>().fire(L"Image5");
    EXPECT_EQ(folder.bytes(L"themecolors.une"), "0\r\n");
    EXPECT_EQ(folder.bytes(L"title.une"), "\xCD\xA8\xD6\xAA\r\n");  // 通知
    EXPECT_EQ(folder.bytes(L"text.une"), text::toGbk(L"已为您自动选择洁白主题") + "\r\n");
    EXPECT_EQ(system.started, std::vector<std::wstring>{folder.file(L"notice.exe")});
    EXPECT_FALSE(ui::isOpen<Formset2>());
    EXPECT_TRUE(ui::isOpen<Formset3>());
    EXPECT_FALSE(ui::isOpen<FormE>());
}

TEST_F(Setup, WithoutNoticeTheErrorWindowStandsInFrontOfStepThree) {
    DeleteFileW(folder.file(L"notice.exe").c_str());
    ui::show<Formset2>().fire(L"Image5");
    EXPECT_EQ(folder.bytes(L"themecolors.une"), "0\r\n");
    EXPECT_FALSE(ui::isOpen<Formset2>());
    ASSERT_TRUE(ui::isOpen<Formset3>()) << "step 3 stays open behind the error window";
    ASSERT_TRUE(ui::isOpen<FormE>());
    EXPECT_TRUE(inFront(*ui::find<FormE>(), *ui::find<Formset3>()));
    EXPECT_TRUE(ends([] { ui::find<FormE>()->fire(L"Image2"); }));
}

TEST_F(Setup, StepThreeTakesTabInOrderAndRefusesWhatGbkCannotHold) {
    Formset3& step = ui::show<Formset3>();
    HWND name = step.control(L"Text1").edit, password = step.control(L"Text2").edit;
    SendMessageW(step.hwnd(), WM_SETFOCUS, 0, 0);
    EXPECT_EQ(GetFocus(), name) << "the user name box is first";
    EXPECT_TRUE(ui::navigate({name, WM_KEYDOWN, VK_TAB, 0}));
    EXPECT_EQ(GetFocus(), password);

    step.setText(L"Text1", L"小明");
    step.setText(L"Text2", L"😀😀");
    step.fire(L"Image3");
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_EQ(folder.bytes(L"admin.une"), "<missing>");
    EXPECT_EQ(folder.bytes(L"PASSWARD.une"), "<missing>");
    EXPECT_TRUE(ui::isOpen<Formset3>());
    EXPECT_FALSE(ui::isOpen<Formset0>());
}

TEST_F(Setup, StepThreeStartsWithTheSystemUserAndShowsThePasswordAsTyped) {
    system.environmentValues = {{L"USERNAME", L"小明"}};
    Formset3& step = ui::show<Formset3>();
    expectSize(step, 1150, 660);
    EXPECT_EQ(step.text(L"Text1"), L"小明");
    EXPECT_EQ(step.text(L"Text2"), L"");
    EXPECT_EQ(SendMessageW(step.control(L"Text2").edit, EM_GETPASSWORDCHAR, 0, 0), 0);
    // the user name box comes first in the tab order, which is the order of the children
    EXPECT_EQ(GetWindow(step.hwnd(), GW_CHILD), step.control(L"Text1").edit);
    step.unload();

    system.environmentValues.clear();
    EXPECT_EQ(ui::show<Formset3>().text(L"Text1"), L"") << "no USERNAME, no name";
}

TEST_F(Setup, StepThreeCreatesTheAccountAndGoesOn) {
    Formset3& step = ui::show<Formset3>();
    step.setText(L"Text1", L"");
    step.setText(L"Text2", L"abc");
    step.fire(L"Image3");
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_EQ(system.messages[0].text, L"用户名不可为空");
    EXPECT_EQ(system.messages[0].icon, sys::Icon::None);
    EXPECT_TRUE(ui::isOpen<Formset3>());
    EXPECT_FALSE(ui::isOpen<Formset0>());
    EXPECT_EQ(step.text(L"Text2"), L"abc") << "the entries stay";

    step.setText(L"Text1", L"小明");
    step.fire(L"Image3");
    EXPECT_EQ(folder.bytes(L"admin.une"), text::toGbk(L"小明") + "\r\n");
    EXPECT_EQ(folder.bytes(L"PASSWARD.une"), "\x14\x17\x16\r\n");  // a, b, c each ^ 117
    EXPECT_FALSE(ui::isOpen<Formset3>());
    EXPECT_TRUE(ui::isOpen<Formset0>());
}

TEST_F(Setup, DoneMarksTheSetupCompleteAndRestartsThroughLauncher) {
    Formset0& done = ui::show<Formset0>();
    expectSize(done, 1150, 660);
    EXPECT_TRUE(ends([&] { done.fire(L"Image3"); }));
    EXPECT_EQ(folder.bytes(L"bft.une"), "1\r\n");
    EXPECT_EQ(system.started, std::vector<std::wstring>{folder.file(L"Launcher.exe")});
    done.unload();

    system.started.clear();
    system.endedNow = 0;
    folder.put(L"bft.une", "Text4\r\n");
    DeleteFileW(folder.file(L"Launcher.exe").c_str());
    ui::show<Formset0>().fire(L"Image3");
    EXPECT_EQ(folder.bytes(L"bft.une"), "1\r\n") << "written before Launcher is looked for";
    EXPECT_TRUE(system.started.empty());
    EXPECT_FALSE(ui::isOpen<Formset0>());
    EXPECT_TRUE(ui::isOpen<FormE>());
    EXPECT_EQ(system.endedNow, 0) << "the error window's button ends the program";
}

TEST_F(Setup, TheCloseMarkOfEveryStepEndsTheProgramAtOnce) {
    EXPECT_TRUE(ends([] { ui::show<Formset1>().fire(L"Image2"); }));
    EXPECT_TRUE(ends([] { ui::show<Formset2>().fire(L"Image2"); }));
    EXPECT_TRUE(ends([] { ui::show<Formset3>().fire(L"Image2"); }));
    EXPECT_TRUE(ends([] { ui::show<Formset0>().fire(L"Image2"); }));
    EXPECT_EQ(system.endedNow, 4);
    EXPECT_TRUE(system.started.empty());
    EXPECT_EQ(folder.bytes(L"bft.une"), "0\r\n");
    EXPECT_EQ(folder.bytes(L"themecolors.une"), "<missing>");
    EXPECT_EQ(folder.bytes(L"admin.une"), "<missing>");
}

// A program folder that cannot be written: the file and the system's reason are
// named, the program ends, and no file is left half written.
TEST_F(Setup, AFileThatCannotBeWrittenIsNamedAndEndsTheProgram) {
    readOnly(L"themecolors.une", "Text2\r\n");
    EXPECT_TRUE(ends([] { ui::show<Formset2>().fire(L"Image3"); }));
    writable(L"themecolors.une");
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_NE(system.messages[0].text.find(folder.file(L"themecolors.une")), std::wstring::npos);
    EXPECT_NE(system.messages[0].text.find(sys::describe(ERROR_ACCESS_DENIED)), std::wstring::npos);
    EXPECT_EQ(system.endedNow, 1);
    EXPECT_EQ(folder.bytes(L"themecolors.une"), "Text2\r\n");
    unloadIfOpen<Formset3>();

    for (const wchar_t* file : {L"admin.une", L"PASSWARD.une"}) {
        system.messages.clear();
        system.endedNow = 0;
        folder.put(L"admin.une", "old\r\n");
        folder.put(L"PASSWARD.une", "\x1a\x19\x11\r\n");
        readOnly(file, file == std::wstring(L"admin.une") ? "old\r\n" : "\x1a\x19\x11\r\n");
        Formset3& step = ui::show<Formset3>();
        step.setText(L"Text1", L"new");
        step.setText(L"Text2", L"pw");
        EXPECT_TRUE(ends([&] { step.fire(L"Image3"); })) << file;
        writable(file);
        ASSERT_EQ(system.messages.size(), 1u) << file;
        EXPECT_NE(system.messages[0].text.find(folder.file(file)), std::wstring::npos);
        EXPECT_EQ(system.endedNow, 1) << file;
        EXPECT_FALSE(ui::isOpen<Formset0>()) << file;
        // the store stops at the file that failed: what came before stays, nothing is half written
        EXPECT_EQ(folder.bytes(L"admin.une"), file == std::wstring(L"admin.une") ? "old\r\n" : "new\r\n");
        EXPECT_EQ(folder.bytes(L"PASSWARD.une"), "\x1a\x19\x11\r\n") << file;
        unloadIfOpen<Formset3>();
    }

    system.messages.clear();
    system.endedNow = 0;
    readOnly(L"bft.une", "0\r\n");
    EXPECT_TRUE(ends([] { ui::show<Formset0>().fire(L"Image3"); }));
    writable(L"bft.une");
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_NE(system.messages[0].text.find(folder.file(L"bft.une")), std::wstring::npos);
    EXPECT_TRUE(system.started.empty()) << "the end comes before Launcher is started";
    EXPECT_EQ(folder.bytes(L"bft.une"), "0\r\n");
}
