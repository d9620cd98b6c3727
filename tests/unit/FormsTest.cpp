// The forms layer: one window per kind, the sizing rule, clicks on release over the
// same area, text boxes without a length limit, the program's end with its last window,
// keys for the whole window, timers of the program, and the GDI objects each window owns.
#include <gtest/gtest.h>

#include <functional>

#include "FakeSystem.h"
#include "forms/Fonts.h"
#include "forms/Pictures.h"
#include "forms/Program.h"
#include "install/ProgramFiles.h"

namespace {

class Probe : public ui::Form {
public:
    Probe() : Form(layout) {}
    int clicksA = 0, clicksB = 0, ticks = 0;
    UINT lastKey = 0;
    bool unloadWhileLoading = false, unloadOnTick = false;
    std::function<void()> whenClickedA;

private:
    static const ui::FormLayout layout;
    void Form_Load() override {
        fitToPicture(L"Image1");
        if (unloadWhileLoading) unload();
    }
    bool Form_KeyDown(UINT key, bool) override {
        lastKey = key;
        return key == VK_F5;
    }
    void AreaA_Click() {
        ++clicksA;
        if (whenClickedA) whenClickedA();
    }
    void AreaB_Click() { ++clicksB; }
    void Timer1_Timer() {
        ++ticks;
        if (unloadOnTick) unload();
    }
};

const ui::FormLayout Probe::layout{
    .caption = L"探针",
    .bounds = ui::px(0, 0, 100, 100),
    .controls = {
        ui::picture(L"Image1", ui::px(0, 0, 514, 289), ART_ERROR),
        ui::clickArea(L"AreaA", ui::px(10, 10, 100, 50), &Probe::AreaA_Click),
        ui::clickArea(L"AreaB", ui::px(60, 30, 100, 50), &Probe::AreaB_Click),
        ui::textBox(L"Text1", ui::px(10, 200, 300, 40), L"", {}, RGB(0, 0, 0), RGB(255, 255, 255)),
        ui::timer(L"Timer1", 10, &Probe::Timer1_Timer, false),
    }};

void press(const ui::Form& form, int x, int y) {
    SendMessageW(form.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
}
void release(const ui::Form& form, int x, int y) {
    SendMessageW(form.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

// A window whose load asks something, and one whose picture is not in the program.
class Asking : public ui::Form {
public:
    Asking() : Form(layout) {}

private:
    static inline const ui::FormLayout layout{.caption = L"提问", .bounds = ui::px(0, 0, 50, 50)};
    void Form_Load() override { sys::message(L"问题"); }
};

class Broken : public ui::Form {
public:
    Broken() : Form(layout) {}

private:
    static inline const ui::FormLayout layout{
        .caption = L"坏图",
        .bounds = ui::px(0, 0, 50, 50),
        .controls = {ui::picture(L"Image1", ui::px(0, 0, 50, 50), 9999)}};
};

// Labels in a face every system has here and in one that none has.
class Faces : public ui::Form {
public:
    Faces() : Form(layout) {}

private:
    static inline const ui::FormLayout layout{
        .caption = L"字体",
        .bounds = ui::px(0, 0, 200, 100),
        .controls = {
            ui::label(L"Label1", ui::px(0, 0, 200, 40), L"宋体", {L"宋体", 12}, RGB(0, 0, 0)),
            ui::label(L"Label2", ui::px(0, 50, 200, 40), L"缺", {L"没有这种字体", 12}, RGB(0, 0, 0))}};
};

std::wstring faceOf(HFONT font) {
    LOGFONTW face{};
    GetObjectW(font, sizeof face, &face);
    return face.lfFaceName;
}

struct FormsTest : ::testing::Test {
    FakeSystem system;
    void SetUp() override { ui::initialise(L"测试"); }
    void TearDown() override {
        while (auto* open = ui::find<Probe>()) open->unload();
        if (auto* open = ui::find<Asking>()) open->unload();
        if (auto* open = ui::find<Broken>()) open->unload();
        if (auto* open = ui::find<Faces>()) open->unload();
        ui::collect();
    }
};

}  // namespace

TEST_F(FormsTest, TheWindowTakesTheSizeOfItsPicture) {
    Probe& probe = ui::show<Probe>();
    EXPECT_EQ(probe.clientSize().cx, 514);
    EXPECT_EQ(probe.clientSize().cy, 289);
    EXPECT_EQ(ui::pictureSize(ART_ERROR).cx, 514);
    EXPECT_TRUE(IsWindowVisible(probe.hwnd()));
}

// The caption and the taskbar show the icon's own image at each size: a small icon
// shrunk from the large one is blurred.
TEST_F(FormsTest, TheWindowsIconsAreTheProgramIconsImagesOfTheirSizes) {
    Probe& probe = ui::show<Probe>();
    const auto width = [&](WPARAM which) {
        const auto icon = reinterpret_cast<HICON>(SendMessageW(probe.hwnd(), WM_GETICON, which, 0));
        ICONINFO info{};
        if (!icon || !GetIconInfo(icon, &info)) return 0;
        BITMAP bitmap{};
        GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        return static_cast<int>(bitmap.bmWidth);
    };
    EXPECT_EQ(width(ICON_SMALL), GetSystemMetrics(SM_CXSMICON));
    EXPECT_EQ(width(ICON_BIG), GetSystemMetrics(SM_CXICON));
}

TEST_F(FormsTest, EachWindowExistsOnce) {
    Probe& first = ui::show<Probe>();
    Probe& second = ui::show<Probe>();
    EXPECT_EQ(&first, &second);
    EXPECT_EQ(ui::openCount(), 1u);
    first.unload();
    EXPECT_EQ(ui::openCount(), 0u);
    EXPECT_FALSE(ui::isOpen<Probe>());
    Probe& again = ui::show<Probe>();
    EXPECT_TRUE(again.loaded());
}

TEST_F(FormsTest, AWindowThatUnloadsWhileLoadingIsNeverShown) {
    struct Unloads : Probe {
        Unloads() { unloadWhileLoading = true; }
    };
    Unloads& form = ui::show<Unloads>();
    EXPECT_FALSE(form.loaded());
    EXPECT_EQ(ui::openCount(), 0u);
}

TEST_F(FormsTest, AClickFiresOnReleaseOverTheSameArea) {
    Probe& probe = ui::show<Probe>();
    press(probe, 20, 20);
    EXPECT_EQ(probe.clicksA, 0) << "nothing happens on the press";
    release(probe, 25, 25);
    EXPECT_EQ(probe.clicksA, 1);

    press(probe, 20, 20);
    release(probe, 300, 150);  // dragged off the area
    press(probe, 300, 150);
    release(probe, 20, 20);  // pressed outside, released inside
    EXPECT_EQ(probe.clicksA, 1);

    press(probe, 80, 40);  // where both areas lie the later one in the table is on top
    release(probe, 80, 40);
    EXPECT_EQ(probe.clicksB, 1);
    EXPECT_EQ(probe.clicksA, 1);

    probe.setVisible(L"AreaB", false);
    press(probe, 80, 40);
    release(probe, 80, 40);
    EXPECT_EQ(probe.clicksA, 2);
    EXPECT_EQ(probe.clicksB, 1);
}

TEST_F(FormsTest, TextBoxesTakeTextOfAnyLengthAndAnyCharacter) {
    Probe& probe = ui::show<Probe>();
    const std::wstring longText(200000, L'谱');
    probe.setText(L"Text1", longText);
    EXPECT_EQ(probe.text(L"Text1"), longText);
    // A NUL would end the box's text there: it stands as a space, and what follows stays.
    probe.setText(L"Text1", std::wstring(L"1 2\0 3\0\0 4", 10));
    EXPECT_EQ(probe.text(L"Text1"), L"1 2  3   4");
}

TEST_F(FormsTest, TimersTickOnlyWhenEnabled) {
    Probe& probe = ui::show<Probe>();
    probe.setTimerEnabled(L"Timer1", true);
    const DWORD until = GetTickCount() + 2000;
    MSG message;
    while (probe.ticks == 0 && GetTickCount() < until) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        Sleep(5);
    }
    EXPECT_GT(probe.ticks, 0);
    probe.setTimerEnabled(L"Timer1", false);
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    const int ticks = probe.ticks;
    Sleep(50);
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    EXPECT_EQ(probe.ticks, ticks);
}

TEST_F(FormsTest, GeometryIsInTwipsAtTheWindowsDpi) {
    Probe& probe = ui::show<Probe>();
    const RECT area = probe.pixelRect(L"AreaA");
    EXPECT_EQ(area.left, probe.toPixels(150));
    EXPECT_EQ(area.right - area.left, probe.toPixels(1500));
    EXPECT_EQ(probe.toPixels(1440), GetDeviceCaps(GetDC(nullptr), LOGPIXELSX));
}

TEST_F(FormsTest, TheProgramEndsWhenItsLastWindowUnloads) {
    Probe& probe = ui::show<Probe>();
    probe.unloadOnTick = true;
    probe.setTimerEnabled(L"Timer1", true);
    EXPECT_EQ(ui::run(), 0);  // returns only once no window is left
    EXPECT_EQ(probe.ticks, 1);
    EXPECT_EQ(ui::openCount(), 0u);
}

TEST_F(FormsTest, ATextBoxKeepsItsLastTextAfterUnload) {
    Probe& probe = ui::show<Probe>();
    probe.setText(L"Text1", L"乐谱 1 2 3");
    probe.unload();
    EXPECT_EQ(probe.text(L"Text1"), L"乐谱 1 2 3");
}

TEST_F(FormsTest, EachWindowMakesItsOwnFontsAndBrushesAndFreesThemWhenItUnloads) {
    struct Other : Probe {};
    Probe& first = ui::show<Probe>();
    Other& second = ui::show<Other>();
    const HFONT font = first.control(L"Text1").hfont;
    const HBRUSH brush = first.control(L"Text1").brush;
    EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
    EXPECT_NE(font, second.control(L"Text1").hfont.get()) << "the table's row is copied without its font";
    EXPECT_NE(brush, second.control(L"Text1").brush.get());

    first.setColors(L"Text1", RGB(1, 2, 3), RGB(4, 5, 6));
    EXPECT_EQ(GetObjectType(brush), 0u) << "a replaced brush is deleted";
    first.unload();
    EXPECT_EQ(GetObjectType(font), 0u);
    EXPECT_EQ(GetObjectType(second.control(L"Text1").hfont), static_cast<DWORD>(OBJ_FONT))
        << "the other window keeps its own";
    second.unload();
}

namespace {
int programTicks = 0;
void countTick() {
    ++programTicks;
}
}  // namespace

TEST_F(FormsTest, AKeyGoesToTheWindowFirstAndAProgramTimerTicksWithoutOne) {
    Probe& probe = ui::show<Probe>();
    MSG key{probe.control(L"Text1").edit, WM_KEYDOWN, VK_F5, 0, 0, {}};
    EXPECT_TRUE(ui::previewKey(key)) << "taken from the text box with the focus";
    key.wParam = 'A';
    EXPECT_FALSE(ui::previewKey(key)) << "left to the text box";
    EXPECT_EQ(probe.lastKey, static_cast<UINT>('A'));
    key.hwnd = GetDesktopWindow();
    EXPECT_FALSE(ui::previewKey(key)) << "not one of our windows";

    probe.unload();
    ui::startProgramTimer(10, countTick);
    ui::startProgramTimer(10, countTick);  // still one timer
    MSG message;
    const DWORD until = GetTickCount() + 5000;
    while (programTicks < 3 && GetTickCount() < until)
        if (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    ui::stopProgramTimer(countTick);
    EXPECT_GE(programTicks, 3);
    const int ticks = programTicks;
    Sleep(50);
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    EXPECT_EQ(programTicks, ticks) << "stopped";
}

// A box belongs to the window whose handler asks, or to the window being loaded, which
// then shows beneath it: never is a box hidden behind the window it belongs to.
TEST_F(FormsTest, MessageBoxesBelongToTheWindowThatAsks) {
    Probe& probe = ui::show<Probe>();
    probe.whenClickedA = [] { sys::message(L"点击"); };
    press(probe, 20, 20);
    release(probe, 20, 20);
    probe.whenClickedA = [] { ui::show<Asking>(); };
    press(probe, 20, 20);
    release(probe, 20, 20);
    ASSERT_EQ(system.messages.size(), 2u);
    EXPECT_EQ(system.messages[0].owner, probe.hwnd());
    ASSERT_TRUE(ui::isOpen<Asking>());
    EXPECT_EQ(system.messages[1].owner, ui::find<Asking>()->hwnd());
}

// A failure inside a window's handler or paint: no window stays half drawn, a plain
// message names what failed, and the program ends.
TEST_F(FormsTest, AFailureInAHandlerOrAPaintIsToldAndEndsTheProgram) {
    Probe& probe = ui::show<Probe>();
    probe.whenClickedA = [&] { probe.setText(L"Text9", L"x"); };
    press(probe, 20, 20);
    release(probe, 20, 20);
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_NE(system.messages[0].text.find(L"Text9"), std::wstring::npos);
    EXPECT_NE(system.messages[0].text.find(L"探针"), std::wstring::npos);
    EXPECT_EQ(system.messages[0].icon, sys::Icon::Error);
    EXPECT_EQ(system.endedNow, 1);
    EXPECT_FALSE(IsWindowVisible(probe.hwnd()));

    system.messages.clear();
    Broken& broken = ui::show<Broken>();
    UpdateWindow(broken.hwnd());
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_NE(system.messages[0].text.find(L"无法载入图片 9999"), std::wstring::npos);
    EXPECT_EQ(system.endedNow, 2);
    EXPECT_FALSE(IsWindowVisible(broken.hwnd()));
}

namespace {
void failingTick() {
    throw sys::Failure(L"计时器出错");
}
}  // namespace

// A timer of the program runs outside every window: its failure is told all the same,
// not swallowed by the system or left to end the process unexplained.
TEST_F(FormsTest, AFailureInAProgramTimerIsToldAndEndsTheProgram) {
    ui::startProgramTimer(10, failingTick);
    MSG message;
    const DWORD until = GetTickCount() + 5000;
    while (system.messages.empty() && GetTickCount() < until)
        if (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    ui::stopProgramTimer(failingTick);
    ASSERT_FALSE(system.messages.empty());
    EXPECT_NE(system.messages[0].text.find(L"计时器出错"), std::wstring::npos);
    EXPECT_EQ(system.messages[0].icon, sys::Icon::Error);
    EXPECT_EQ(system.endedNow, 1);
}

// A face the system lacks is not left to GDI's guess, which may draw no Chinese at all.
TEST_F(FormsTest, AFaceTheSystemLacksGivesWayToOneEveryWindowsHas) {
    Faces& faces = ui::show<Faces>();
    EXPECT_EQ(faceOf(faces.control(L"Label1").hfont), L"宋体");
    EXPECT_EQ(faceOf(faces.control(L"Label2").hfont), ui::kFallbackFace);
    EXPECT_EQ(ui::faceFor(L"没有这种字体"), ui::kFallbackFace);
    EXPECT_EQ(ui::faceFor(L"新宋体"), L"新宋体");
}
