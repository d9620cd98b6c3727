// The main menu: the picture of the theme, each tile clicked at its place in the
// artwork, the output folder with its error message, one window of each kind, and the
// close cross.
#include <gtest/gtest.h>

#include <windows.h>

#include "StandIn.h"
#include "WindowTest.h"
#include "account/FormLOGIN.h"
#include "editor/FormEditor.h"
#include "editor/Rendering.h"
#include "forms/Program.h"
#include "startup/FormABOUT.h"
#include "startup/FormYHXY.h"
#include "startup/FormYSZC.h"
#include "startup/Formmain.h"
#include "system/Paths.h"

namespace {

// The menu's click areas, by the names of its layout table.
using Tile = const wchar_t*;
constexpr Tile kAi = L"ImageAi", kAbout = L"ImageABOUT", kEditor = L"ImageEDITOR", kMyWorks = L"ImageWDZP",
               kSettings = L"ImageSET", kClose = L"ImageU", kAgreement = L"ImageYHXY",
               kPrivacy = L"ImageYSZC";

// A click near a corner of the tile, then, for clicks that leave the menu open, one
// near the opposite corner: the whole tile is the button.
// The tile's place as the window's own table lays it, in pixels at 96 dpi.
ui::Twips inPixels(const ui::Form& form, Tile tile) {
    const ui::Twips at = form.control(tile).bounds;
    return {at.left / ui::kTwipsPerPixel, at.top / ui::kTwipsPerPixel, at.width / ui::kTwipsPerPixel,
            at.height / ui::kTwipsPerPixel};
}
void click(const ui::Form& form, Tile tile) {
    const ui::Twips at = inPixels(form, tile);
    clickAt(form, at.left + 2, at.top + 2);
}
void clickFarCorner(const ui::Form& form, Tile tile) {
    const ui::Twips at = inPixels(form, tile);
    clickAt(form, at.left + at.width - 3, at.top + at.height - 3);
}

struct Menu : ::testing::Test {
    FakeSystem system;
    TempFolder folder;
    std::wstring output = folder.file(L"C盘\\Orvane\\OutputWAV");
    std::wstring savedOutput;
    std::vector<std::string> routed;
    std::string aiFlagWhenTheEditorLoads;
    bool menuOpenWhenTheEditorLoads = false;

    void SetUp() override {
        ui::initialise(L"奥文Orvane");
        folder.put(L"themecolors.une", "0\r\n");
        folder.put(L"AiMade.une", "0\r\n");
        savedOutput = rendering::outputFolder;
        rendering::outputFolder = output;
        standIn<FormEditor>([this](ui::Form&) {
            routed.push_back("editor");
            aiFlagWhenTheEditorLoads = folder.bytes(L"AiMade.une");
            menuOpenWhenTheEditorLoads = ui::isOpen<Formmain>();
        });
    }
    void TearDown() override {
        while (ui::openCount() > 0) {
            if (auto* f = ui::find<Formmain>()) f->unload();
            if (auto* f = ui::find<FormABOUT>()) f->unload();
            if (auto* f = ui::find<FormYHXY>()) f->unload();
            if (auto* f = ui::find<FormYSZC>()) f->unload();
            if (auto* f = ui::find<FormLOGIN>()) f->unload();
            if (auto* f = ui::find<FormEditor>()) f->unload();
        }
        ui::collect();
        rendering::outputFolder = savedOutput;
        putBack<FormEditor>();
    }
    bool isFolder(const std::wstring& path) {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
};

}  // namespace

TEST_F(Menu, ShowsTheMenuOfTheThemeAtThePicturesSize) {
    Formmain& light = ui::show<Formmain>();
    EXPECT_TRUE(light.visible(L"Image1"));
    EXPECT_FALSE(light.visible(L"Image2"));
    EXPECT_EQ(light.clientSize().cx, 1286);
    EXPECT_EQ(light.clientSize().cy, 748);
    EXPECT_EQ(light.caption(), L"Orvane");
    light.unload();

    for (const char* dark : {"1\r\n", "Text2\r\n", "0\n"}) {
        folder.put(L"themecolors.une", dark);
        Formmain& menu = ui::show<Formmain>();
        EXPECT_FALSE(menu.visible(L"Image1")) << dark;
        EXPECT_TRUE(menu.visible(L"Image2")) << dark;
        menu.unload();
    }
}

TEST_F(Menu, TheAiTileAsksForTheAiAndTheEditorTakesTheMenusPlace) {
    click(ui::show<Formmain>(), kAi);
    EXPECT_EQ(routed, std::vector<std::string>{"editor"});
    EXPECT_EQ(aiFlagWhenTheEditorLoads, "1\r\n") << "the editor finds the request while it loads";
    EXPECT_TRUE(menuOpenWhenTheEditorLoads) << "the menu stays until the editor is there";
    EXPECT_FALSE(ui::isOpen<Formmain>());
}

TEST_F(Menu, TheEditorTileLeavesTheAiRequestAlone) {
    click(ui::show<Formmain>(), kEditor);
    EXPECT_EQ(routed, std::vector<std::string>{"editor"});
    EXPECT_EQ(folder.bytes(L"AiMade.une"), "0\r\n");
    EXPECT_FALSE(menuOpenWhenTheEditorLoads) << "the menu goes first";
    EXPECT_FALSE(ui::isOpen<Formmain>());
}

TEST_F(Menu, MyWorksCreatesTheOutputFolderAndOpensItInTheExplorer) {
    Formmain& menu = ui::show<Formmain>();
    CreateDirectoryW(folder.file(L"C盘").c_str(), nullptr);
    click(menu, kMyWorks);
    EXPECT_TRUE(isFolder(folder.file(L"C盘\\Orvane")));
    EXPECT_TRUE(isFolder(output));

    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    const std::wstring explorer = std::wstring(windows) + L"\\explorer.exe";
    EXPECT_TRUE(GetFileAttributesW(explorer.c_str()) != INVALID_FILE_ATTRIBUTES) << "a program that is there";
    ASSERT_EQ(system.started.size(), 1u);
    EXPECT_EQ(system.started[0], explorer + L" \"" + output + L"\"");
    EXPECT_TRUE(system.messages.empty());
    EXPECT_TRUE(ui::isOpen<Formmain>());

    // Again, with both folders there: nothing to create, the explorer all the same.
    clickFarCorner(menu, kMyWorks);
    EXPECT_EQ(system.started.size(), 2u);
    EXPECT_TRUE(system.messages.empty());
    EXPECT_EQ(Formmain::explorerPath(), explorer);
}

TEST_F(Menu, MyWorksReportsAnyFailureWithTheSystemsWordsAndTheMenuStays) {
    Formmain& menu = ui::show<Formmain>();
    // "Orvane" is a file: the output folder cannot be created inside it.
    CreateDirectoryW(folder.file(L"C盘").c_str(), nullptr);
    folder.put(L"C盘\\Orvane", "not a folder");
    click(menu, kMyWorks);
    ASSERT_EQ(system.messages.size(), 1u);
    const ShownMessage& shown = system.messages[0];
    EXPECT_EQ(shown.text.rfind(L"错误: ", 0), 0u) << "starts with the prefix";
    EXPECT_GT(shown.text.size(), 4u) << "and carries the system's description";
    EXPECT_EQ(shown.title, L"") << "the program's name titles it";
    EXPECT_EQ(shown.buttons, sys::Buttons::Ok);
    EXPECT_EQ(shown.icon, sys::Icon::None);
    EXPECT_TRUE(system.started.empty());
    EXPECT_EQ(folder.bytes(L"C盘\\Orvane"), "not a folder");

    // No drive or folder above it: the parent cannot be created.
    rendering::outputFolder = folder.file(L"无此文件夹\\Orvane\\OutputWAV");
    click(menu, kMyWorks);
    ASSERT_EQ(system.messages.size(), 2u);
    EXPECT_EQ(system.messages[1].text, L"错误: " + sys::describe(ERROR_PATH_NOT_FOUND));

    // The explorer does not start.
    rendering::outputFolder = output;
    DeleteFileW(folder.file(L"C盘\\Orvane").c_str());
    system.startError = ERROR_FILE_NOT_FOUND;
    click(menu, kMyWorks);
    ASSERT_EQ(system.messages.size(), 3u);
    EXPECT_EQ(system.messages[2].text, L"错误: " + sys::describe(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(isFolder(output)) << "the folders were made before the start failed";
    EXPECT_TRUE(ui::isOpen<Formmain>());
    EXPECT_TRUE(routed.empty());
}

TEST_F(Menu, TheOtherTilesOpenTheirWindowOnceAndTheMenuStays) {
    Formmain& menu = ui::show<Formmain>();
    for (const Tile tile : {kSettings, kAbout, kAgreement, kPrivacy}) {
        click(menu, tile);
        clickFarCorner(menu, tile);
    }
    EXPECT_TRUE(routed.empty());
    EXPECT_TRUE(ui::isOpen<FormLOGIN>());
    EXPECT_TRUE(ui::isOpen<FormABOUT>());
    EXPECT_TRUE(ui::isOpen<FormYHXY>());
    EXPECT_TRUE(ui::isOpen<FormYSZC>());
    EXPECT_TRUE(ui::isOpen<Formmain>());
    EXPECT_EQ(ui::openCount(), 5u) << "one of each";
    EXPECT_EQ(folder.bytes(L"AiMade.une"), "0\r\n");
}

TEST_F(Menu, TheCloseCrossUnloadsTheMenuAndLeavesTheOthersOpen) {
    Formmain& menu = ui::show<Formmain>();
    click(menu, kAbout);
    click(menu, kClose);
    EXPECT_FALSE(ui::isOpen<Formmain>());
    EXPECT_TRUE(ui::isOpen<FormABOUT>());
    EXPECT_EQ(ui::openCount(), 1u);

    ui::find<FormABOUT>()->unload();
    clickFarCorner(ui::show<Formmain>(), kClose);
    EXPECT_EQ(ui::openCount(), 0u) << "the program ends with its last window";
}

TEST_F(Menu, ClicksBesideTheTilesDoNothing) {
    Formmain& menu = ui::show<Formmain>();
    const POINT beside[] = {{100, 100}, {220, 140}, {1180, 400}, {452, 400},
                            {664, 400}, {876, 400}, {700, 310},  {300, 640},
                            {1240, 60}, {540, 724}, {700, 724},  {176 + 265 + 2, 216}};
    for (const POINT& at : beside) clickAt(menu, at.x, at.y);
    EXPECT_TRUE(routed.empty());
    EXPECT_TRUE(system.started.empty());
    EXPECT_TRUE(system.messages.empty());
    EXPECT_EQ(ui::openCount(), 1u);
    EXPECT_EQ(folder.bytes(L"AiMade.une"), "0\r\n");
}
