// Every screen: windows that shrink to fit the work area and stay inside it, the pop-up's
// corner where its place is off the screen, a move to a monitor of another DPI, pictures
// filtered to their size, and the hand over the click areas of the program's windows.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "WindowTest.h"
#include "account/FormLOGIN.h"
#include "forms/Pictures.h"
#include "forms/Program.h"
#include "forms/Screen.h"
#include "install/ProgramFiles.h"
#include "startup/FormABOUT.h"
#include "startup/Formmain.h"

namespace {

class Sample : public ui::Form {
public:
    Sample() : Form(layout) {}
    int clicks = 0;

private:
    static const ui::FormLayout layout;
    void Form_Load() override { fitToPicture(L"Image1"); }
    void Area_Click() { ++clicks; }
};

const ui::FormLayout Sample::layout{
    .caption = L"样品",
    .bounds = ui::px(0, 0, 514, 289),
    .controls = {
        ui::picture(L"Image1", ui::px(0, 0, 514, 289), ART_ERROR),
        ui::label(L"Label1", ui::px(10, 10, 200, 20), L"标题", {L"黑体", 12}, RGB(0, 0, 0)),
        ui::clickArea(L"Area", ui::px(184, 208, 153, 41), &Sample::Area_Click),
        ui::textBox(L"Text1", ui::px(10, 100, 300, 24), L"", {}, RGB(0, 0, 0), RGB(255, 255, 255)),
    }};

ui::Monitor monitor(RECT area, RECT work, int dpi) {
    return {dpi, area, work};
}

RECT childRect(const ui::Form& form, HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, form.hwnd(), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

LONG fontHeight(HFONT font) {
    LOGFONTW info{};
    GetObjectW(font, sizeof info, &info);
    return info.lfHeight;
}

using ScreensTest = WindowTest<Sample>;

}  // namespace

TEST(Screens, WindowsShrinkUniformlyToTheWorkAreaOnlyWhereTheyDoNotFit) {
    const RECT fullHd{0, 0, 1920, 1080}, laptop{0, 0, 1366, 728};  // 40 pixels of task bar
    EXPECT_EQ(ui::fitFactor({1286, 748}, 96, {0, 0}, fullHd), 1.0);
    EXPECT_EQ(ui::fitFactor({1286, 748}, 144, {0, 0}, {0, 0, 2560, 1400}), 1.0);
    // The menu at 150% on 1920 x 1080 is 1929 x 1122: its height decides.
    EXPECT_NEAR(ui::fitFactor({1286, 748}, 144, {0, 0}, fullHd), 1080.0 / 1122, 1e-9);
    // The editor at 100% on 1366 x 768: the narrower of the two ratios, frame included.
    EXPECT_NEAR(ui::fitFactor({1440, 863}, 96, {0, 0}, laptop), 728.0 / 863, 1e-9);
    EXPECT_NEAR(ui::fitFactor({721, 478}, 96, {16, 39}, {0, 0, 800, 500}), (500.0 - 39) / 478, 1e-9);
}

TEST(Screens, PlacesWindowsInsideTheWorkAreaAndThePopUpInTheCornerWhereItsPlaceIsOffIt) {
    // A task bar 40 pixels high along the bottom.
    const ui::Monitor fullHd = monitor({0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 96);
    const ui::Monitor laptop = monitor({0, 0, 1366, 768}, {0, 0, 1366, 728}, 96);
    const ui::Monitor taskBarLeft = monitor({0, 0, 1366, 768}, {60, 0, 1366, 768}, 96);

    EXPECT_EQ(ui::placement(ui::Start::Fixed, {345, 99}, fullHd, {1111, 732}, 12).x, 1111);
    const POINT corner = ui::placement(ui::Start::Fixed, {345, 99}, laptop, {1111, 732}, 12);
    EXPECT_EQ(corner.x, 1366 - 12 - 345);
    EXPECT_EQ(corner.y, 728 - 12 - 99);

    const POINT centred = ui::placement(ui::Start::Centred, {1286, 748}, fullHd, {}, 0);
    EXPECT_EQ(centred.x, (1920 - 1286) / 2);
    EXPECT_EQ(centred.y, (1080 - 748) / 2);
    const POINT kept = ui::placement(ui::Start::Centred, {1286, 720}, laptop, {}, 0);
    EXPECT_EQ(kept.y, 728 - 720) << "off the task bar";
    const POINT left = ui::placement(ui::Start::TopLeft, {1200, 700}, taskBarLeft, {}, 0);
    EXPECT_EQ(left.x, 60);
    EXPECT_EQ(left.y, 0);
}

TEST_F(ScreensTest, AMoveToAMonitorOfAnotherDpiTakesTheSuggestedRectangleAndLaysOutAgain) {
    Sample& form = ui::show<Sample>();
    const RECT area = form.pixelRect(L"Area");
    const RECT box = childRect(form, form.control(L"Text1").edit);
    const LONG label = fontHeight(form.control(L"Label1").hfont);
    const LONG boxFont = fontHeight(form.control(L"Text1").hfont);

    RECT suggested{100, 50, 100 + 2 * 514, 50 + 2 * 289};
    SendMessageW(form.hwnd(), WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    RECT now{};
    GetWindowRect(form.hwnd(), &now);
    EXPECT_TRUE(EqualRect(&now, &suggested));
    EXPECT_EQ(form.scale(), 2.0);
    const RECT area2 = form.pixelRect(L"Area");
    EXPECT_EQ(area2.left, 2 * area.left);
    EXPECT_EQ(area2.bottom, 2 * area.bottom);
    const RECT box2 = childRect(form, form.control(L"Text1").edit);
    EXPECT_EQ(box2.top, 2 * box.top);
    EXPECT_EQ(box2.right - box2.left, 2 * (box.right - box.left));
    EXPECT_EQ(fontHeight(form.control(L"Label1").hfont), 2 * label);
    EXPECT_EQ(fontHeight(form.control(L"Text1").hfont), 2 * boxFont);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(form.control(L"Text1").edit, WM_GETFONT, 0, 0)),
              form.control(L"Text1").hfont);

    // A click lands where the area is drawn now, and not where it was drawn before. The
    // click goes to the window itself: other tests' windows share this desktop.
    const auto click = [&](RECT r) {
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageW(form.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(form.hwnd(), WM_LBUTTONUP, 0, at);
    };
    click(area);
    EXPECT_EQ(form.clicks, 0);
    click(area2);
    EXPECT_EQ(form.clicks, 1);

    // Far too large for its monitor at 480 dpi: the window shrinks to fit after all.
    RECT huge{0, 0, 5 * 514, 5 * 289};
    SendMessageW(form.hwnd(), WM_DPICHANGED, MAKEWPARAM(480, 480), reinterpret_cast<LPARAM>(&huge));
    const ui::Monitor screen = ui::monitorOf(huge);
    GetWindowRect(form.hwnd(), &now);
    EXPECT_LT(form.scale(), 5.0);
    EXPECT_LE(now.right - now.left, screen.work.right - screen.work.left);
    EXPECT_LE(now.bottom - now.top, screen.work.bottom - screen.work.top);
}

TEST(Screens, PicturesAreFilteredToTheirSizeNotStretched) {
    // Blocks of two by two pixels shrink to exactly their colours; one colour stays one
    // colour at any size.
    const uint32_t a = 0xFF102030, b = 0xFFF0E0D0, c = 0xFF00FF00, d = 0xFF808080;
    const std::vector<uint32_t> blocks{a, a, b, b, a, a, b, b, c, c, d, d, c, c, d, d};
    EXPECT_EQ(ui::resample(blocks, {4, 4}, {2, 2}), (std::vector<uint32_t>{a, b, c, d}));
    const std::vector<uint32_t> plain(6 * 5, b);
    for (const SIZE size : {SIZE{9, 7}, SIZE{4, 3}, SIZE{1, 1}})
        EXPECT_EQ(ui::resample(plain, {6, 5}, size), std::vector<uint32_t>(size.cx * size.cy, b));

    // Each scale the program may need comes out at the size asked for.
    for (const SIZE size :
         {SIZE{514, 289}, SIZE{771, 434}, SIZE{1028, 578}, SIZE{455, 256}, SIZE{1285, 723}}) {
        HBITMAP bitmap = ui::loadPicture(ART_ERROR, size);
        ASSERT_NE(bitmap, nullptr);
        BITMAP info{};
        GetObjectW(bitmap, sizeof info, &info);
        EXPECT_EQ(info.bmWidth, size.cx);
        EXPECT_EQ(info.bmHeight, size.cy);
        DeleteObject(bitmap);
    }
}

TEST_F(ScreensTest, ThePointerIsAHandOverEveryClickAreaOfTheWindows) {
    TempFolder folder;
    folder.put(L"themecolors.une", "0\r\n");
    auto check = [](ui::Form& form) {
        RECT window{};
        GetWindowRect(form.hwnd(), &window);
        auto pointerAt = [&](POINT at) {
            SetCursorPos(window.left + at.x, window.top + at.y);
            SendMessageW(form.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form.hwnd()),
                         MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
            return GetCursor();
        };
        int areas = 0;
        for (const ui::Control& c : form.controls()) {
            if (c.kind != ui::Kind::ClickArea || !c.visible) continue;
            const RECT r = form.pixelRect(c.name);
            EXPECT_EQ(pointerAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2}),
                      LoadCursorW(nullptr, IDC_HAND))
                << "over a click area of " << form.controls().size() << " controls";
            ++areas;
        }
        EXPECT_GT(areas, 0);
        EXPECT_EQ(pointerAt({2, form.clientSize().cy / 2}), LoadCursorW(nullptr, IDC_ARROW));
        form.unload();
    };
    check(ui::show<Formmain>());
    check(ui::show<FormABOUT>());
    check(ui::show<FormLOGIN>());
    check(ui::show<Sample>());
}
