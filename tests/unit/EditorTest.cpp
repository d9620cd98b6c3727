// The score editor: theme colours, the line-number gutter, New, Open and Save with the
// line rules of .sop files, the question before closing, the keys, the preview, and
// rendering: the joining script, the start of outputWAV.bat and the success notice only
// once a new WAV file is there and the batch file ended well.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>

#include "FakeSystem.h"
#include "editor/FormEditor.h"
#include "editor/History.h"
#include "editor/Rendering.h"
#include "forms/Fonts.h"
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
        savedOutput = rendering::outputFolder;
        rendering::outputFolder = folder.file(L"OutputWAV");
        std::filesystem::create_directories(rendering::outputFolder);
        std::filesystem::create_directories(folder.file(L"wav"));
        FormEditor::lastScore = {};
    }
    void TearDown() override {
        if (auto* editor = ui::find<FormEditor>()) editor->unload();
        if (auto* menu = ui::find<Formmain>()) menu->unload();
        ui::collect();
        rendering::outputFolder = savedOutput;
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
    EXPECT_EQ(editor.text(L"LabelMSG"), L"注意！通过Ai模型创作、新建、打开 等操作会重置编辑器");
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
    std::wstring numbers = gutterAfterTick(editor, L"a\rb\nc\r\n" + std::wstring(5000, L'5'));
    numbers.erase(std::remove(numbers.begin(), numbers.end(), L'\r'), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());  // rows without a number
    EXPECT_EQ(numbers, L"1\n2\n");

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
    EXPECT_GE(shown * 17, static_cast<size_t>(label.bottom - label.top)) << "the label is filled";
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
    // A lone LF breaks the line on screen as it does under Wine, and counts as a line.
    EXPECT_EQ(openFile("a\nb\r\n\nc"), L"a\r\nb\r\n\r\nc\r\n");
    editor.fire(L"Timer1");
    EXPECT_EQ(editor.text(L"lblLineNo"), L"1\r\n2\r\n3\r\n4\r\n5\r\n");
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

    // Each dialog gets its own title and filter every time, whatever was shown before.
    ASSERT_EQ(system.dialogs.size(), 5u);
    for (const ShownDialog& shown : system.dialogs) {
        EXPECT_EQ(shown.dialog.title, shown.save ? L"保存" : L"选择一个 .sop 文件");
        EXPECT_EQ(shown.dialog.filter,
                  shown.save ? L"SOP （Orvane乐谱文件）|*.sop" : L"Orvane曲谱 (*.sop)|*.sop");
    }
    EXPECT_EQ(std::count_if(system.dialogs.begin(), system.dialogs.end(),
                            [](const ShownDialog& d) { return d.save; }),
              3);
}

TEST_F(Editor, TheCloseCrossShowsTheMainMenuAgain) {
    FormEditor& editor = open();
    editor.fire(L"ImageUN");
    EXPECT_FALSE(ui::isOpen<FormEditor>());
    EXPECT_TRUE(ui::isOpen<Formmain>());
    EXPECT_EQ(open().text(L"txtCode"), L"Orvane测试版本\r\n远帆青石制作\r\n") << "a fresh score";
}

TEST(Rendering, TheDigitsZeroToSevenBecomeTheSampleList) {
    EXPECT_EQ(rendering::noteDigits(L"1 2 3\r\n8 9 0"), L"1230");
    EXPECT_EQ(rendering::noteDigits(L"do 1, re 2 mi 3 ０１２ ⑦ 89"), L"123");
    EXPECT_EQ(rendering::sampleList(L"1230"), L"files[1], files[2], files[3], files[0]");
    EXPECT_EQ(rendering::sampleList(L""), L"");
    EXPECT_EQ(rendering::joiningScript(L"[FFFFFFFFFFF] FFFFFFFFFFFF ffffffffffff", L"x"),
              L"[x] xF ffffffffffff");
    std::wstring longScore(1'000'000, L'a');
    longScore[999'999] = L'7';
    EXPECT_EQ(rendering::noteDigits(longScore), L"7") << "no length limit";
}

TEST_F(Editor, RenderingWritesTheScriptStartsTheBatchAndAnnouncesOnlyANewFile) {
    folder.put(L"outputWAV.bat", "@echo off\r\n");
    folder.put(L"notice.exe", "");
    FormEditor& editor = open();
    editor.setText(L"txtCode", L"1 2 3\r\n8 9 0");
    editor.fire(L"ImageWAV");

    const std::string script = folder.bytes(L"wav\\wav.py");
    EXPECT_EQ(script.size(), 924u - 11 + 38 + 2);
    EXPECT_NE(script.find("\r\nfor file in [files[1], files[2], files[3], files[0]]:\r\n"),
              std::string::npos);
    EXPECT_EQ(script.substr(0, 13), "import wave\r\n");
    const std::string end = "    for data in data_list:\r\n        output_file.writeframes(data)\r\n\r\n";
    EXPECT_EQ(script.substr(script.size() - end.size()), end) << "one more CR LF after the script";
    ASSERT_EQ(system.started.size(), 1u);
    EXPECT_EQ(system.startedHidden, std::vector<std::wstring>{folder.file(L"outputWAV.bat")}) << "no console";
    EXPECT_TRUE(rendering::running());
    EXPECT_EQ(editor.text(L"LabelZT"), L"正在生成WAV文件…");

    // Running: nothing announced yet.
    rendering::check();
    EXPECT_FALSE(posted());
    // A second click while it runs starts nothing.
    editor.fire(L"ImageWAV");
    EXPECT_EQ(system.started.size(), 1u);

    folder.put(L"OutputWAV\\WAV_20261209_120000.wav", "RIFF");
    system.exitCodeNow = 0;
    rendering::check();
    EXPECT_FALSE(rendering::running());
    EXPECT_TRUE(posted());
    EXPECT_EQ(editor.text(L"LabelZT"), L"WAV文件已生成");
    editor.fire(L"TimerZT");
    EXPECT_EQ(editor.text(L"LabelZT"), L"就绪");
    EXPECT_EQ(folder.bytes(L"title.une"), text::toGbk(L"生成成功\r\n"));
    EXPECT_EQ(folder.bytes(L"text.une"),
              text::toGbk(L"生成的wav文件已为您保存在C:\\Orvane\\OutputWAV中\r\n"));
}

TEST_F(Editor, RenderingThatFailsNamesTheCauseAndAnnouncesNothing) {
    folder.put(L"notice.exe", "");
    FormEditor& editor = open();
    const auto render = [&](std::optional<uint32_t> exitCode) {
        system.messages.clear();
        system.started.clear();
        editor.fire(L"ImageWAV");
        system.exitCodeNow = exitCode;
        rendering::check();
        EXPECT_FALSE(posted());
        return system.messages.empty() ? std::wstring() : system.messages.back().text;
    };
    const std::wstring noBatch = render(0);
    EXPECT_NE(noBatch.find(L"outputWAV.bat"), std::wstring::npos) << "the batch file is missing";
    EXPECT_NE(noBatch.find(L"wavjoin.exe"), std::wstring::npos) << "it runs the joiner without Python";
    EXPECT_TRUE(system.started.empty());

    folder.put(L"outputWAV.bat", "@echo off\r\n");
    system.startError = ERROR_ACCESS_DENIED;
    EXPECT_NE(render(0).find(L"无法启动批处理文件 outputWAV.bat"), std::wstring::npos);
    system.startError = 0;

    for (wchar_t d = L'0'; d <= L'7'; ++d)
        if (d != L'5') folder.put(L"wav\\" + std::wstring(1, d) + L".wav", "RIFF");
    EXPECT_NE(render(3).find(L"5.wav"), std::wstring::npos) << "names the missing sample";
    folder.put(L"wav\\5.wav", "RIFF");
    EXPECT_NE(render(3).find(L"wavjoin.exe"), std::wstring::npos);
    EXPECT_NE(render(1).find(L"：Python运行生成脚本"), std::wstring::npos) << "only Python ends with 1";
    EXPECT_NE(render(9009).find(L"：生成WAV文件时出错（退出代码9009）"), std::wstring::npos)
        << "an unknown code names the step";
    EXPECT_NE(render(5).find(rendering::outputFolder), std::wstring::npos) << "names the output folder";
    // A file that was there before is no success; the same name written anew is.
    folder.put(L"OutputWAV\\WAV_old.wav", "RIFF");
    EXPECT_NE(render(0).find(L"没有出现新的WAV文件"), std::wstring::npos);
    system.messages.clear();
    editor.fire(L"ImageWAV");
    Sleep(20);
    folder.put(L"OutputWAV\\WAV_old.wav", "RIFF2");
    system.exitCodeNow = 0;
    rendering::check();
    EXPECT_TRUE(system.messages.empty());
    EXPECT_TRUE(posted());
}

TEST_F(Editor, ANewFileIsNoSuccessWhenTheBatchFileFailedAndTheWatchOutlivesTheEditor) {
    folder.put(L"outputWAV.bat", "@echo off\r\n");
    folder.put(L"notice.exe", "");
    for (wchar_t d = L'0'; d <= L'7'; ++d) folder.put(L"wav\\" + std::wstring(1, d) + L".wav", "RIFF");
    FormEditor& editor = open();
    editor.fire(L"ImageWAV");
    folder.put(L"OutputWAV\\WAV_half.wav", "RIFF");
    system.exitCodeNow = 1;
    rendering::check();
    EXPECT_FALSE(posted());
    ASSERT_FALSE(system.messages.empty());
    EXPECT_NE(system.messages.back().text.find(L"新文件可能不完整"), std::wstring::npos);
    EXPECT_EQ(editor.text(L"LabelZT"), L"生成WAV文件失败");

    // Closed while it runs: the outcome still comes, and a reopened editor neither
    // forgets the rendering nor starts a second one.
    system.exitCodeNow.reset();
    editor.fire(L"ImageWAV");
    editor.fire(L"ImageUN");
    ASSERT_FALSE(ui::isOpen<FormEditor>());
    rendering::check();
    FormEditor& reopened = open();
    EXPECT_EQ(reopened.text(L"LabelZT"), L"正在生成WAV文件…");
    reopened.fire(L"ImageWAV");
    EXPECT_EQ(system.started.size(), 2u) << "one rendering at a time";
    reopened.unload();
    folder.put(L"OutputWAV\\WAV_next.wav", "RIFF");
    system.exitCodeNow = 0;
    rendering::check();
    EXPECT_TRUE(posted());
    EXPECT_FALSE(rendering::running());
}

TEST_F(Editor, CharactersOutsideGbkAreNamedAndNothingIsSavedUnlessTheUserAgrees) {
    FormEditor& editor = open();
    editor.setText(L"txtCode", L"아리랑 😀\r\n1 1 5 5");
    system.chosenFiles = {folder.file(L"a.sop")};
    editor.fire(L"ImageSAVE");  // the default answer
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_NE(system.messages[0].text.find(L"아 리 랑 😀"), std::wstring::npos);
    EXPECT_EQ(system.messages[0].buttons, sys::Buttons::YesNoDefaultNo);
    EXPECT_EQ(folder.bytes(L"a.sop"), "<missing>");
    EXPECT_EQ(system.chosenFiles.size(), 1u) << "no dialog either";

    system.answers = {sys::Answer::Yes};
    editor.fire(L"ImageSAVE");
    EXPECT_EQ(folder.bytes(L"a.sop"), "??? ??\r\n1 1 5 5\r\n") << "one ? for each half of the emoji";
}

TEST_F(Editor, ClosingWithChangesAsksToSaveAndEachAnswerDoesWhatItSays) {
    FormEditor* editor = &open();
    editor->fire(L"ImageUN");
    EXPECT_TRUE(system.messages.empty()) << "the text as loaded needs no question";
    editor = &open();
    editor->setText(L"txtCode", L"1 2 3");
    system.answers = {sys::Answer::Cancel};
    editor->fire(L"ImageUN");
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_EQ(system.messages[0].buttons, sys::Buttons::SaveDiscardCancel);
    EXPECT_TRUE(ui::isOpen<FormEditor>()) << "取消 keeps the editor";

    // 保存 through the save of the design: cancelled there, the editor stays.
    system.answers = {sys::Answer::Save};
    editor->fire(L"ImageUN");
    EXPECT_EQ(system.messages.back().text, L"您取消了保存");
    EXPECT_TRUE(ui::isOpen<FormEditor>());
    system.answers = {sys::Answer::Save};
    system.chosenFiles = {folder.file(L"kept.sop")};
    SendMessageW(editor->hwnd(), WM_CLOSE, 0, 0);  // Alt+F4 acts as the cross
    EXPECT_EQ(folder.bytes(L"kept.sop"), "1 2 3\r\n");
    EXPECT_FALSE(ui::isOpen<FormEditor>());
    EXPECT_TRUE(ui::isOpen<Formmain>()) << "back to the menu";

    editor = &open();
    editor->setText(L"txtCode", L"4 5 6");
    system.answers = {sys::Answer::Discard};
    editor->fire(L"ImageUN");
    EXPECT_FALSE(ui::isOpen<FormEditor>());

    // Opened, or saved, counts as unchanged.
    editor = &open();
    folder.put(L"b.sop", "7 7\r\n");
    system.answers = {sys::Answer::Yes};
    system.chosenFiles = {folder.file(L"b.sop")};
    editor->fire(L"ImageOPEN");
    const size_t asked = system.messages.size();
    editor->fire(L"ImageUN");
    EXPECT_EQ(system.messages.size(), asked);
    EXPECT_FALSE(ui::isOpen<FormEditor>());
}

TEST_F(Editor, ControlKeysRunNewOpenAndSaveWithTheirQuestions) {
    FormEditor& editor = open();
    editor.setText(L"txtCode", L"1 2 3");
    system.answers = {sys::Answer::No, sys::Answer::No};
    EXPECT_TRUE(editor.pressKey('N', true));
    EXPECT_TRUE(editor.pressKey('O', true));
    ASSERT_EQ(system.messages.size(), 2u);
    EXPECT_EQ(system.messages[1].title, L"确认");
    EXPECT_EQ(editor.text(L"txtCode"), L"1 2 3");
    system.chosenFiles = {folder.file(L"c.sop")};
    EXPECT_TRUE(editor.pressKey('S', true));
    EXPECT_EQ(folder.bytes(L"c.sop"), "1 2 3\r\n");
    EXPECT_FALSE(editor.pressKey('N', false)) << "a plain N is typed";
    EXPECT_FALSE(editor.pressKey(VK_ESCAPE, false)) << "Esc only stops a preview";
}

namespace {

// How wide the fitted label draws one line of its text, in pixels.
int drawnWidth(const ui::Form& form, const std::wstring& name, const std::wstring& line) {
    const ui::Control& c = form.control(name);
    const RECT box = form.pixelRect(name);
    const sys::WindowDc dc(form.hwnd());
    const sys::Font narrow =
        ui::narrowedFont(dc, c.hfont, line, box.right - box.left - form.toPixels(ui::kFittedGap));
    sys::Selection selected(dc, narrow ? narrow.get() : c.hfont.get());
    SIZE size{};
    GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size);
    return size.cx;
}

}  // namespace

TEST_F(Editor, TheGutterFollowsTheTextAndEveryNumberFitsItsWidth) {
    FormEditor& editor = open();
    std::wstring score;
    for (int i = 1; i <= 10000; ++i)
        score += L"1 2 3 第" + std::to_wstring(i) + L"行" + (i < 10000 ? L"\r\n" : L"");
    editor.setText(L"txtCode", score);
    editor.fire(L"Timer1");
    EXPECT_EQ(editor.text(L"lblLineNo").substr(0, 9), L"1\r\n2\r\n3\r\n");
    const HWND box = editor.control(L"txtCode").edit;
    SendMessageW(box, EM_SETSEL, score.size(), score.size());
    SendMessageW(box, EM_SCROLLCARET, 0, 0);
    editor.fire(L"Timer1");
    const std::wstring gutter = editor.text(L"lblLineNo");
    ASSERT_GE(gutter.size(), 7u);
    EXPECT_EQ(gutter.substr(gutter.size() - 7), L"10000\r\n") << "the last line on screen";
    const RECT label = editor.pixelRect(L"lblLineNo");
    for (const wchar_t* number : {L"7", L"99", L"100", L"9999", L"10000", L"32767"}) {
        const int width = drawnWidth(editor, L"lblLineNo", number);
        EXPECT_LE(width, label.right - label.left) << number;
        EXPECT_GE(width, 3 * static_cast<int>(wcslen(number))) << number << " stays legible";
    }
    // A line that wraps is numbered once.
    editor.setText(L"txtCode", L"a\r\n" + std::wstring(3000, L'5') + L"\r\nb");
    editor.fire(L"Timer1");
    const std::wstring wrapped = editor.text(L"lblLineNo");
    EXPECT_EQ(wrapped.substr(0, 6), L"1\r\n2\r\n");
    EXPECT_EQ(wrapped.substr(wrapped.size() - 3), L"3\r\n");
    EXPECT_GT(std::count(wrapped.begin(), wrapped.end(), L'\n'), 3) << "rows without a number";
}

// A note sample of a given format whose frames are `count` times `value`.
std::string sampleWav(int16_t value, size_t count, uint16_t channels = 1, uint32_t rate = 44100,
                      uint16_t format = 1) {
    std::string data(count * 2, '\0');
    for (size_t i = 0; i < count; ++i) memcpy(&data[i * 2], &value, 2);
    const auto le = [](uint32_t v, int size) {
        std::string bytes;
        for (int i = 0; i < size; ++i) bytes += static_cast<char>((v >> (8 * i)) & 0xFF);
        return bytes;
    };
    return "RIFF" + le(36 + static_cast<uint32_t>(data.size()), 4) + "WAVEfmt " + le(16, 4) + le(format, 2) +
           le(channels, 2) + le(rate, 4) + le(rate * 2 * channels, 4) + le(2 * channels, 2) + le(16, 2) +
           "data" + le(static_cast<uint32_t>(data.size()), 4) + data;
}

TEST_F(Editor, F5PlaysTheSamplesRenderingWouldJoinAndStops) {
    for (int16_t d = 0; d <= 7; ++d)
        folder.put(L"wav\\" + std::to_wstring(d) + L".wav", sampleWav(d * 100, 3));
    folder.put(L"wav\\6.wav", sampleWav(600, 3, 2));  // stereo: adds nothing, as in rendering
    // A RIFF chunk that ends after the first frame: the joining script reads no further.
    std::string cut = sampleWav(200, 3);
    cut[4] = 4 + 24 + 8 + 2;
    folder.put(L"wav\\2.wav", cut);
    FormEditor& editor = open();
    editor.setText(L"txtCode", L"1 2 3\r\n8 9 6 0");
    ASSERT_TRUE(editor.pressKey(VK_F5, false));
    EXPECT_TRUE(editor.playing());
    EXPECT_EQ(editor.text(L"LabelZT"), L"正在播放第1行（Esc停止）");
    EXPECT_EQ(system.pull(100), (std::vector<int16_t>{100, 100, 100, 200, 300, 300, 300, 0, 0, 0}));
    EXPECT_TRUE(system.started.empty());
    EXPECT_EQ(folder.bytes(L"wav\\wav.py"), "<missing>") << "nothing written";
    system.soundFinished = true;
    editor.fire(L"TimerPlay");
    EXPECT_FALSE(editor.playing());
    EXPECT_EQ(editor.text(L"LabelZT"), L"就绪");

    // Esc, F5 again, an edit and the close each stop it.
    const auto stops = [&](const std::function<void()>& act) {
        editor.pressKey(VK_F5, false);
        EXPECT_TRUE(system.playing);
        act();
        editor.fire(L"TimerPlay");
        return !system.playing && editor.text(L"LabelZT") == L"就绪";
    };
    EXPECT_TRUE(stops([&] { editor.pressKey(VK_ESCAPE, false); }));
    EXPECT_TRUE(stops([&] { editor.pressKey(VK_F5, false); }));
    EXPECT_TRUE(stops([&] { editor.setText(L"txtCode", L"5 5"); }));
    editor.pressKey(VK_F5, false);
    system.answers = {sys::Answer::Discard};
    editor.fire(L"ImageUN");
    EXPECT_FALSE(system.playing) << "closing the editor";
    EXPECT_EQ(system.soundsStarted, 5);
}

TEST_F(Editor, APreviewWithoutSoundOrSampleSaysSoAndChangesNothing) {
    for (int16_t d = 0; d <= 7; ++d)
        if (d != 5) folder.put(L"wav\\" + std::to_wstring(d) + L".wav", sampleWav(d, 1));
    // Not PCM (IEEE float): the joining script stops on it with "unknown format", and so
    // does the preview rather than play it as a sample that adds nothing.
    folder.put(L"wav\\3.wav", sampleWav(3, 2, 1, 44100, 3));
    FormEditor& editor = open();
    for (const std::wstring name : {L"5.wav", L"3.wav"}) {
        system.messages.clear();
        editor.setText(L"txtCode", L"1 " + name.substr(0, 1));
        editor.pressKey(VK_F5, false);
        ASSERT_EQ(system.messages.size(), 1u);
        EXPECT_NE(system.messages[0].text.find(name), std::wstring::npos);
        EXPECT_EQ(system.soundsStarted, 0);
        EXPECT_EQ(editor.text(L"LabelZT"), L"就绪");
    }
    EXPECT_NE(system.messages[0].text.find(L"PCM"), std::wstring::npos);

    editor.setText(L"txtCode", L"1 2");
    system.soundError = ERROR_DEV_NOT_EXIST;
    editor.pressKey(VK_F5, false);
    ASSERT_EQ(system.messages.size(), 2u);
    EXPECT_NE(system.messages[1].text.find(L"声音输出设备"), std::wstring::npos);
    EXPECT_FALSE(editor.playing());
    EXPECT_EQ(editor.text(L"LabelZT"), L"就绪");
    EXPECT_EQ(editor.text(L"txtCode"), L"1 2");
}

TEST_F(Editor, ALongScoreIsPlayedAsItGoesNotBuiltAtOnce) {
    for (int16_t d = 0; d <= 7; ++d) folder.put(L"wav\\" + std::to_wstring(d) + L".wav", sampleWav(d, 22050));
    FormEditor& editor = open();
    std::wstring score;
    for (int i = 0; i < 32768; ++i)
        score += std::wstring(1, L'0' + (i * 3) % 8) + (i % 16 == 15 ? L"\r\n" : L" ");
    editor.setText(L"txtCode", score);
    editor.pressKey(VK_F5, false);
    const std::vector<int16_t> first = system.pull(22050 + 1);
    EXPECT_EQ(first.front(), 0);
    EXPECT_EQ(first.back(), 3) << "the second note follows the first";
}

// Each note sample is `frames` frames of its digit times 100.
void putSamples(const TempFolder& folder, size_t frames) {
    for (int16_t d = 0; d <= 7; ++d)
        folder.put(L"wav\\" + std::to_wstring(d) + L".wav", sampleWav(static_cast<int16_t>(d * 100), frames));
}

std::pair<DWORD, DWORD> selection(FormEditor& editor) {
    DWORD start = 0, end = 0;
    SendMessageW(editor.control(L"txtCode").edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    return {start, end};
}

void select(FormEditor& editor, DWORD start, DWORD end) {
    SendMessageW(editor.control(L"txtCode").edit, EM_SETSEL, start, end);
}

TEST_F(Editor, TheMarkFollowsTheReportedPositionAndTheSelectionComesBackAtTheEnd) {
    putSamples(folder, 100);
    FormEditor& editor = open();
    editor.setText(L"txtCode", L"1 2\r\n3 4");
    select(editor, 1, 1);
    editor.pressKey(VK_F5, false);
    EXPECT_EQ(selection(editor), std::make_pair(DWORD{0}, DWORD{1})) << "the first note sounds at once";
    EXPECT_EQ(editor.text(L"LabelZT"), L"正在播放第1行（Esc停止）");
    system.soundPosition = 99;
    editor.fire(L"TimerPlay");
    EXPECT_EQ(selection(editor).first, 0u) << "not before its note is heard";
    system.soundPosition = 100;
    editor.fire(L"TimerPlay");
    EXPECT_EQ(selection(editor).first, 2u);
    system.soundPosition = 250;
    editor.fire(L"TimerPlay");
    EXPECT_EQ(selection(editor), std::make_pair(DWORD{5}, DWORD{6}));
    EXPECT_EQ(editor.text(L"LabelZT"), L"正在播放第2行（Esc停止）");
    system.soundPosition = 0;  // a stopped output starts counting again
    editor.fire(L"TimerPlay");
    EXPECT_EQ(selection(editor).first, 5u) << "the mark never jumps back";
    system.soundFinished = true;
    editor.fire(L"TimerPlay");
    EXPECT_FALSE(editor.playing());
    EXPECT_EQ(selection(editor), std::make_pair(DWORD{1}, DWORD{1}));
    EXPECT_EQ(editor.text(L"LabelZT"), L"就绪");
}

TEST_F(Editor, ASelectionOrTheRestFromTheCaretPlaysExactlyItsNotes) {
    putSamples(folder, 2);
    FormEditor& editor = open();
    editor.setText(L"txtCode", L"1 do 2\r\n3 mi 9 4");
    select(editor, 2, 10);  // "do 2\r\n3 " : remarks, a line break and two notes
    editor.pressKey(VK_F5, false);
    EXPECT_EQ(system.pull(100), (std::vector<int16_t>{200, 200, 300, 300}));
    editor.pressKey(VK_ESCAPE, false);
    EXPECT_EQ(selection(editor), std::make_pair(DWORD{2}, DWORD{10})) << "the selection stays for a replay";

    select(editor, 8, 8);
    ASSERT_TRUE(editor.pressKey(VK_F5, true));
    EXPECT_EQ(system.pull(100), (std::vector<int16_t>{300, 300, 400, 400})) << "Ctrl+F5: from the caret on";
    editor.pressKey(VK_ESCAPE, false);

    select(editor, 2, 5);  // "do " holds no note
    const int started = system.soundsStarted;
    editor.pressKey(VK_F5, false);
    EXPECT_EQ(system.soundsStarted, started);
    EXPECT_EQ(editor.text(L"LabelZT"), L"选中的部分没有音符");
    EXPECT_TRUE(system.messages.empty());

    select(editor, 0, 0);
    editor.pressKey(VK_F5, false);
    EXPECT_EQ(system.pull(100), (std::vector<int16_t>{100, 100, 200, 200, 300, 300, 400, 400}))
        << "no selection: the whole score";
}

TEST_F(Editor, AnOutputThatFailsMidPlayEndsThePreviewWithAMessage) {
    putSamples(folder, 2);
    FormEditor& editor = open();
    editor.setText(L"txtCode", L"1 2 3");
    editor.pressKey(VK_F5, false);
    system.soundFailure = L"设备已被移除";
    editor.fire(L"TimerPlay");
    EXPECT_FALSE(editor.playing());
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_NE(system.messages[0].text.find(L"设备已被移除"), std::wstring::npos);
    EXPECT_EQ(editor.text(L"LabelZT"), L"就绪");
}

TEST(History, ChangesAreFoundAtTheCaretAndTypingIsGroupedByWord) {
    const editor::Change typed = editor::difference(L"a11b", L"a111b", 2);
    EXPECT_EQ(typed.at, 1u) << "the 1 typed after the first one";
    EXPECT_EQ(typed.inserted, L"1");
    const editor::Change replaced = editor::difference(L"abcdef", L"abXYf", 4);
    EXPECT_EQ(replaced.at, 2u);
    EXPECT_EQ(replaced.removed, L"cde");
    EXPECT_EQ(replaced.inserted, L"XY");

    editor::History history;
    const std::wstring words = L"do re\r\nmi";
    for (size_t i = 0; i < words.size(); ++i) history.record({i, L"", words.substr(i, 1)}, true);
    EXPECT_EQ(history.steps(), 3u) << "\"do \", \"re\\r\\n\", \"mi\"";
    history.record({8, L"i", L""}, true);  // Backspace, twice
    history.record({7, L"m", L""}, true);
    EXPECT_EQ(history.steps(), 4u);
    EXPECT_EQ(history.undo()->inserted, L"mi");
    EXPECT_EQ(history.undo()->removed, L"mi");
    history.record({7, L"", L"x"}, true);
    EXPECT_FALSE(history.redo()) << "a change ends what could be redone";
    EXPECT_EQ(history.steps(), 3u) << "typing after an undo starts a step";
}

// Types as a user does: the key, then its character into the text box.
void type(FormEditor& editor, const std::wstring& keys) {
    for (const wchar_t c : keys) {
        editor.pressKey(c == L'\r' ? VK_RETURN : VkKeyScanW(c) & 0xFF, false);
        SendMessageW(editor.control(L"txtCode").edit, WM_CHAR, c, 0);
    }
}

TEST_F(Editor, UndoAndRedoGoOverTypingPasteAnAiScoreAndNew) {
    FormEditor& editor = open();
    const std::wstring start = editor.text(L"txtCode");
    const HWND box = editor.control(L"txtCode").edit;
    select(editor, 0, 0);
    type(editor, L"1 2 ");
    type(editor, L"33");
    SendMessageW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"4567"));  // a paste or an AI insert
    system.answers = {sys::Answer::Yes};
    editor.fire(L"ImageNEW");
    editor.setText(L"txtCode", L"AI: 7 6 5");  // an AI score replaces the text
    // "1 " and "2 " are a word and its space each.
    const std::vector<std::wstring> states = {
        L"AI: 7 6 5", L"", L"1 2 334567" + start, L"1 2 33" + start, L"1 2 " + start, L"1 " + start, start};
    for (size_t i = 0; i + 1 < states.size(); ++i) {
        EXPECT_EQ(editor.text(L"txtCode"), states[i]);
        EXPECT_TRUE(editor.pressKey('Z', true));
    }
    EXPECT_EQ(editor.text(L"txtCode"), start);
    editor.pressKey('Z', true);
    EXPECT_EQ(editor.text(L"txtCode"), start) << "nothing more to undo";
    for (size_t i = states.size() - 1; i-- > 0;) {
        EXPECT_TRUE(editor.pressKey('Y', true));
        EXPECT_EQ(editor.text(L"txtCode"), states[i]);
    }
    // Ctrl+Shift+Z redoes as Ctrl+Y does.
    editor.pressKey('Z', true);
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    editor.pressKey('Z', true);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(editor.text(L"txtCode"), L"AI: 7 6 5");
    // The text box's own undo is the history's.
    SendMessageW(box, WM_UNDO, 0, 0);
    EXPECT_EQ(editor.text(L"txtCode"), L"");
    EXPECT_TRUE(SendMessageW(box, EM_CANUNDO, 0, 0));
}

TEST_F(Editor, AHundredStepsAndMoreAreKeptAndOpenStartsAFreshHistory) {
    FormEditor& editor = open();
    const std::wstring start = editor.text(L"txtCode");
    const HWND box = editor.control(L"txtCode").edit;
    for (int i = 0; i < 150; ++i) {
        select(editor, 0, 0);
        SendMessageW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(std::to_wstring(i % 8).c_str()));
    }
    for (int i = 0; i < 150; ++i) editor.pressKey('Z', true);
    EXPECT_EQ(editor.text(L"txtCode"), start);

    folder.put(L"a.sop", "5 5\r\n");
    system.answers = {sys::Answer::Yes};
    system.chosenFiles = {folder.file(L"a.sop")};
    editor.fire(L"ImageOPEN");
    editor.pressKey('Z', true);
    EXPECT_EQ(editor.text(L"txtCode"), L"5 5\r\n");
}

TEST_F(Editor, UndoingBackToTheSavedTextLeavesNothingUnsaved) {
    FormEditor& editor = open();
    system.chosenFiles = {folder.file(L"s.sop")};
    editor.fire(L"ImageSAVE");
    select(editor, 0, 0);
    type(editor, L"7");
    editor.pressKey('Z', true);
    const size_t asked = system.messages.size();
    editor.pressKey('Y', true);
    system.answers = {sys::Answer::Cancel};
    editor.fire(L"ImageUN");
    EXPECT_EQ(system.messages.size(), asked + 1) << "redone: the change is unsaved again";
    editor.pressKey('Z', true);
    editor.fire(L"ImageUN");
    EXPECT_EQ(system.messages.size(), asked + 1) << "undone to the saved text: no question";
    EXPECT_FALSE(ui::isOpen<FormEditor>());
}

TEST_F(Editor, TheDialogsStartInTheWorksFolderThenWhereTheLastScoreWent) {
    std::filesystem::remove_all(rendering::outputFolder);
    FormEditor& editor = open();
    system.answers = {sys::Answer::Yes};
    editor.fire(L"ImageOPEN");  // cancelled
    ASSERT_EQ(system.dialogs.size(), 1u);
    EXPECT_EQ(system.dialogs[0].dialog.folder, rendering::outputFolder);
    EXPECT_TRUE(std::filesystem::is_directory(rendering::outputFolder)) << "made for the dialog";

    std::filesystem::create_directories(folder.file(L"乐谱"));
    system.chosenFiles = {folder.file(L"乐谱\\小星星.sop")};
    editor.fire(L"ImageSAVE");
    EXPECT_EQ(system.dialogs[1].dialog.name, L"") << "no name used yet";
    EXPECT_EQ(editor.text(L"LabelZT"), L"已保存 小星星.sop（" + folder.file(L"乐谱") + L"）");
    editor.fire(L"TimerZT");
    EXPECT_EQ(editor.text(L"LabelZT"), L"就绪") << "for a few seconds";

    editor.fire(L"ImageSAVE");  // cancelled
    ASSERT_EQ(system.dialogs.size(), 3u);
    EXPECT_EQ(system.dialogs[2].dialog.folder, folder.file(L"乐谱"));
    EXPECT_EQ(system.dialogs[2].dialog.name, L"小星星.sop");
    system.answers = {sys::Answer::Yes};
    editor.fire(L"ImageOPEN");
    EXPECT_EQ(system.dialogs[3].dialog.folder, folder.file(L"乐谱"));
}

}  // namespace
