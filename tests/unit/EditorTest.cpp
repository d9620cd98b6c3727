// The score editor: theme colours, the line-number gutter, New, Open and Save with the
// line rules of .sop files, and rendering: the joining script, the start of
// outputWAV.bat and the success notice only once a new WAV file is there.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>

#include "FakeSystem.h"
#include "editor/FormEditor.h"
#include "forms/Program.h"
#include "startup/Formmain.h"
#include "system/Paths.h"
#include "text/Gbk.h"

namespace {

// Starts succeed with a process whose end the test decides.
class RenderSystem : public FakeSystem {
public:
    std::optional<uint32_t> exitCodeNow;  // nothing while the batch file runs
    sys::Started start(const std::wstring& path, const std::wstring& arguments) override {
        sys::Started started = FakeSystem::start(path, arguments);
        if (started) started.process = std::shared_ptr<void>(this, [](void*) {});
        return started;
    }
    std::optional<uint32_t> exitCode(const sys::Started& started) override {
        return started.process ? exitCodeNow : std::nullopt;
    }
};

struct Editor : ::testing::Test {
    RenderSystem system;
    TempFolder folder;
    std::wstring savedOutput;

    void SetUp() override {
        ui::initialise(L"奥文Orvane");
        folder.put(L"themecolors.une", "0\r\n");
        folder.put(L"AiMade.une", "0\r\n");
        savedOutput = FormEditor::outputFolder;
        FormEditor::outputFolder = folder.file(L"OutputWAV");
        std::filesystem::create_directories(FormEditor::outputFolder);
    }
    void TearDown() override {
        if (auto* editor = ui::find<FormEditor>()) editor->unload();
        if (auto* menu = ui::find<Formmain>()) menu->unload();
        ui::collect();
        FormEditor::outputFolder = savedOutput;
    }

    FormEditor& open() { return ui::show<FormEditor>(); }

    std::wstring gutterAfterTick(FormEditor& editor, const std::wstring& score) {
        editor.setText(L"txtCode", score);
        editor.fire(L"Timer1");
        return editor.text(L"lblLineNo");
    }

    bool posted() const {
        for (const auto& start : system.started)
            if (start == folder.file(L"notice.exe")) return true;
        return false;
    }
};

TEST_F(Editor, OpensAtTheTopLeftWithTheDefaultScoreAndTheColoursOfTheTheme) {
    FormEditor& editor = open();
    RECT window{};
    GetWindowRect(editor.hwnd(), &window);
    EXPECT_EQ(window.left, 0);
    EXPECT_EQ(window.top, 0);
    EXPECT_EQ(editor.clientSize().cx, 1440);
    EXPECT_EQ(editor.clientSize().cy, 863);
    EXPECT_EQ(editor.text(L"txtCode"), L"Orvane测试版本\r\n远帆青石制作\r\n");
    EXPECT_EQ(editor.text(L"LabelZT"), L"就绪");
    EXPECT_TRUE(editor.visible(L"Image1"));
    EXPECT_FALSE(editor.visible(L"Image2"));
    EXPECT_EQ(editor.control(L"lblLineNo").back, RGB(0xE0, 0xE0, 0xE0));
    EXPECT_EQ(GetFocus(), editor.control(L"txtCode").edit);
    editor.unload();

    folder.put(L"themecolors.une", "Text2\r\n");
    FormEditor& dark = open();
    EXPECT_FALSE(dark.visible(L"Image1"));
    EXPECT_TRUE(dark.visible(L"Image2"));
    EXPECT_EQ(dark.control(L"txtCode").back, RGB(0, 0, 0));
    EXPECT_EQ(dark.control(L"txtCode").color, RGB(0xE0, 0xE0, 0xE0));
    EXPECT_EQ(dark.control(L"lblLineNo").back, RGB(0, 0, 0));
    EXPECT_EQ(dark.control(L"LabelMSG").color, RGB(0xE0, 0xE0, 0xE0));
    // The edit control paints with the theme's colours.
    HDC dc = GetDC(dark.control(L"txtCode").edit);
    SendMessageW(dark.hwnd(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(dark.control(L"txtCode").edit));
    EXPECT_EQ(GetBkColor(dc), RGB(0, 0, 0));
    ReleaseDC(dark.control(L"txtCode").edit, dc);
}

TEST_F(Editor, TheGutterNumbersTheLinesBetweenCrLfPairs) {
    FormEditor& editor = open();
    EXPECT_EQ(editor.text(L"lblLineNo"), L"1\r\n2\r\n3\r\n") << "the default text ends with CR LF";
    EXPECT_EQ(gutterAfterTick(editor, L""), L"");
    EXPECT_EQ(editor.lineCount(), 0u);
    EXPECT_EQ(gutterAfterTick(editor, L"do re mi"), L"1\r\n");
    // A lone CR or LF is no line end; a long line that wraps is still one line.
    EXPECT_EQ(gutterAfterTick(editor, L"a\rb\nc\r\n" + std::wstring(5000, L'5')), L"1\r\n2\r\n");

    // Typing changes the gutter at the next tick.
    SendMessageW(editor.control(L"txtCode").edit, EM_SETSEL, 0, -1);
    SendMessageW(editor.control(L"txtCode").edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"1\r\n2"));
    editor.fire(L"Timer1");
    EXPECT_EQ(editor.text(L"lblLineNo"), L"1\r\n2\r\n");
}

TEST_F(Editor, AScoreOfAnyLengthIsCountedAndTheGutterListsTheLinesThatShow) {
    FormEditor& editor = open();
    std::wstring score;
    for (int i = 0; i < 40000; ++i) score += L"1 2 3\r\n";
    const std::wstring gutter = gutterAfterTick(editor, score);
    EXPECT_EQ(editor.text(L"txtCode").size(), score.size()) << "no length limit";
    EXPECT_EQ(editor.lineCount(), 40001u) << "beyond 32,767 lines";
    EXPECT_EQ(gutter.substr(0, 9), L"1\r\n2\r\n3\r\n");
    const RECT label = editor.pixelRect(L"lblLineNo");
    const size_t shown = static_cast<size_t>(std::count(gutter.begin(), gutter.end(), L'\n'));
    EXPECT_GE(shown * 14, static_cast<size_t>(label.bottom - label.top)) << "the label is filled";
    EXPECT_LT(shown, 60u) << "numbers nobody sees are not built";
}

TEST_F(Editor, NewAndOpenAnsweredNoChangeNothing) {
    FormEditor& editor = open();
    editor.setText(L"txtCode", L"1 2 3");
    system.answers = {sys::Answer::No, sys::Answer::No};
    editor.fire(L"ImageNEW");
    editor.fire(L"ImageOPEN");
    EXPECT_EQ(editor.text(L"txtCode"), L"1 2 3");
    ASSERT_EQ(system.messages.size(), 2u);
    for (const ShownMessage& m : system.messages) {
        EXPECT_EQ(m.text, L"你确定要继续吗？这将会清空输入框的现有内容");
        EXPECT_EQ(m.title, L"确认");
        EXPECT_EQ(m.buttons, sys::Buttons::YesNo);
        EXPECT_EQ(m.icon, sys::Icon::Question);
    }

    system.answers = {sys::Answer::Yes};
    editor.fire(L"ImageNEW");
    EXPECT_EQ(editor.text(L"txtCode"), L"");
    editor.fire(L"Timer1");
    EXPECT_EQ(editor.text(L"lblLineNo"), L"");

    // Open confirmed, then the dialog cancelled: the editor stays empty.
    editor.setText(L"txtCode", L"1 2 3");
    system.answers = {sys::Answer::Yes};
    editor.fire(L"ImageOPEN");
    EXPECT_EQ(editor.text(L"txtCode"), L"");
}

TEST_F(Editor, OpenReadsEachLineAndEndsItWithCrLf) {
    FormEditor& editor = open();
    const auto openFile = [&](const std::string& bytes) {
        folder.put(L"曲谱.sop", bytes);
        system.answers = {sys::Answer::Yes};
        system.chosenFiles = {folder.file(L"曲谱.sop")};
        editor.fire(L"ImageOPEN");
        return editor.text(L"txtCode");
    };
    EXPECT_EQ(openFile(""), L"");
    EXPECT_EQ(openFile("1 2\r\n3"), L"1 2\r\n3\r\n") << "the last line gains its CR LF";
    EXPECT_EQ(openFile("a\rb"), L"a\r\nb\r\n") << "a lone CR ends a line";
    EXPECT_EQ(openFile("a\nb\r\n"), L"a\nb\r\n") << "a lone LF stays in the line";
    EXPECT_EQ(openFile("\r\n\r\nx"), L"\r\n\r\nx\r\n");
    EXPECT_EQ(openFile(text::toGbk(L"小星星\r\n1 1 5 5")), L"小星星\r\n1 1 5 5\r\n");

    system.answers = {sys::Answer::Yes};
    system.chosenFiles = {folder.file(L"没有这个文件.sop")};
    editor.fire(L"ImageOPEN");
    EXPECT_NE(system.messages.back().text.find(L"没有这个文件.sop"), std::wstring::npos);
}

TEST_F(Editor, SaveThenOpenAddsOneEmptyLine) {
    FormEditor& editor = open();
    editor.setText(L"txtCode", L"欢乐颂\r\n3 3 4 5");
    system.chosenFiles = {folder.file(L"欢乐颂")};
    editor.fire(L"ImageSAVE");
    EXPECT_EQ(folder.bytes(L"欢乐颂"), text::toGbk(L"欢乐颂\r\n3 3 4 5\r\n")) << "the name is used as given";

    system.answers = {sys::Answer::Yes};
    system.chosenFiles = {folder.file(L"欢乐颂")};
    editor.fire(L"ImageOPEN");
    EXPECT_EQ(editor.text(L"txtCode"), L"欢乐颂\r\n3 3 4 5\r\n");
    system.chosenFiles = {folder.file(L"欢乐颂")};
    editor.fire(L"ImageSAVE");
    system.answers = {sys::Answer::Yes};
    system.chosenFiles = {folder.file(L"欢乐颂")};
    editor.fire(L"ImageOPEN");
    EXPECT_EQ(editor.text(L"txtCode"), L"欢乐颂\r\n3 3 4 5\r\n\r\n");

    const size_t before = system.messages.size();
    editor.fire(L"ImageSAVE");  // cancelled
    ASSERT_EQ(system.messages.size(), before + 1);
    EXPECT_EQ(system.messages.back().text, L"您取消了保存");
    EXPECT_EQ(system.messages.back().title, L"Save Cancelled");
    EXPECT_EQ(system.messages.back().icon, sys::Icon::Exclamation);
}

TEST_F(Editor, TheCloseCrossShowsTheMainMenuAgain) {
    FormEditor& editor = open();
    editor.fire(L"ImageUN");
    EXPECT_FALSE(ui::isOpen<FormEditor>());
    EXPECT_TRUE(ui::isOpen<Formmain>());
    EXPECT_EQ(open().text(L"txtCode"), L"Orvane测试版本\r\n远帆青石制作\r\n") << "a fresh score";
}

TEST(Rendering, TheDigitsZeroToSevenBecomeTheSampleList) {
    EXPECT_EQ(FormEditor::noteDigits(L"1 2 3\r\n8 9 0"), L"1230");
    EXPECT_EQ(FormEditor::noteDigits(L"do 1, re 2 mi 3 ０１２ ⑦ 89"), L"123");
    EXPECT_EQ(FormEditor::sampleList(L"1230"), L"files[1], files[2], files[3], files[0]");
    EXPECT_EQ(FormEditor::sampleList(L""), L"");
    EXPECT_EQ(FormEditor::joiningScript(L"[FFFFFFFFFFF] FFFFFFFFFFFF ffffffffffff", L"x"), L"[x] xF ffffffffffff");
    std::wstring longScore(1'000'000, L'a');
    longScore[999'999] = L'7';
    EXPECT_EQ(FormEditor::noteDigits(longScore), L"7") << "no length limit";
}

TEST_F(Editor, RenderingWritesTheScriptStartsTheBatchAndAnnouncesOnlyANewFile) {
    folder.put(L"outputWAV.bat", "@echo off\r\n");
    folder.put(L"notice.exe", "");
    FormEditor& editor = open();
    editor.setText(L"txtCode", L"1 2 3\r\n8 9 0");
    editor.fire(L"ImageWAV");

    const std::string script = folder.bytes(L"wav\\wav.py");
    EXPECT_EQ(script.size(), 924u - 11 + 38 + 2);
    EXPECT_NE(script.find("\r\nfor file in [files[1], files[2], files[3], files[0]]:\r\n"), std::string::npos);
    EXPECT_EQ(script.substr(0, 13), "import wave\r\n");
    const std::string end = "    for data in data_list:\r\n        output_file.writeframes(data)\r\n\r\n";
    EXPECT_EQ(script.substr(script.size() - end.size()), end) << "one more CR LF after the script";
    ASSERT_EQ(system.started.size(), 1u);
    EXPECT_EQ(system.started[0], folder.file(L"outputWAV.bat"));
    EXPECT_TRUE(editor.rendering());

    // Running: nothing announced yet.
    editor.fire(L"TimerWAV");
    EXPECT_FALSE(posted());
    // A second click while it runs starts nothing.
    editor.fire(L"ImageWAV");
    EXPECT_EQ(system.started.size(), 1u);

    folder.put(L"OutputWAV\\WAV_20261209_120000.wav", "RIFF");
    system.exitCodeNow = 0;
    editor.fire(L"TimerWAV");
    EXPECT_FALSE(editor.rendering());
    EXPECT_TRUE(posted());
    EXPECT_EQ(folder.bytes(L"title.une"), text::toGbk(L"生成成功\r\n"));
    EXPECT_EQ(folder.bytes(L"text.une"), text::toGbk(L"生成的wav文件已为您保存在C:\\Orvane\\OutputWAV中\r\n"));
}

TEST_F(Editor, RenderingThatFailsNamesTheCauseAndAnnouncesNothing) {
    folder.put(L"notice.exe", "");
    FormEditor& editor = open();
    const auto render = [&](std::optional<uint32_t> exitCode) {
        system.messages.clear();
        system.started.clear();
        editor.fire(L"ImageWAV");
        system.exitCodeNow = exitCode;
        editor.fire(L"TimerWAV");
        EXPECT_FALSE(posted());
        return system.messages.empty() ? std::wstring() : system.messages.back().text;
    };
    EXPECT_NE(render(0).find(L"outputWAV.bat"), std::wstring::npos) << "the batch file is missing";
    EXPECT_TRUE(system.started.empty());

    folder.put(L"outputWAV.bat", "@echo off\r\n");
    system.startError = ERROR_ACCESS_DENIED;
    EXPECT_NE(render(0).find(L"无法启动批处理文件 outputWAV.bat"), std::wstring::npos);
    system.startError = 0;

    EXPECT_NE(render(2).find(L"Python"), std::wstring::npos);
    for (wchar_t d = L'0'; d <= L'7'; ++d)
        if (d != L'5') folder.put(L"wav\\" + std::wstring(1, d) + L".wav", "RIFF");
    EXPECT_NE(render(3).find(L"5.wav"), std::wstring::npos) << "names the missing sample";
    folder.put(L"wav\\5.wav", "RIFF");
    EXPECT_NE(render(4).find(L"退出代码 4"), std::wstring::npos);
    // A file that was there before is no success; the same name written anew is.
    folder.put(L"OutputWAV\\WAV_old.wav", "RIFF");
    EXPECT_NE(render(0).find(L"没有出现新的WAV文件"), std::wstring::npos);
    system.messages.clear();
    editor.fire(L"ImageWAV");
    Sleep(20);
    folder.put(L"OutputWAV\\WAV_old.wav", "RIFF2");
    system.exitCodeNow = 0;
    editor.fire(L"TimerWAV");
    EXPECT_TRUE(system.messages.empty());
    EXPECT_TRUE(posted());
}

}  // namespace
