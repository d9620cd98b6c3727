#include "editor/FormEditor.h"

#include <windows.h>

#include <algorithm>

#include "editor/AiRun.h"
#include "editor/Gutter.h"
#include "editor/Midi.h"
#include "editor/Rendering.h"
#include "forms/Program.h"
#include "install/ProgramFiles.h"
#include "startup/Formmain.h"
#include "state/Notification.h"
#include "state/StateFiles.h"
#include "system/Paths.h"
#include "text/Gbk.h"
#include "text/LineFile.h"

namespace {

const ui::Font kSongTi{L"宋体", 10.5};
const ui::Font kNewSongTi{L"新宋体", 10.5};

const wchar_t kDefaultScore[] = L"Orvane测试版本\r\n远帆青石制作\r\n";
const wchar_t kRendering[] = L"正在生成WAV文件…";
const wchar_t kPlaying[] = L"播放中…（Esc停止）";

// The mark follows the sound at this pace, well within the 30 ms after a note starts.
constexpr unsigned kFollowMilliseconds = 10;

bool isModifier(UINT key) {
    return key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU || key == VK_LWIN || key == VK_RWIN;
}

WNDPROC editProcedure = nullptr;  // the edit control's own, under ours

}  // namespace

const ui::FormLayout FormEditor::layout{
    .caption = L"Orvane编辑器",
    .start = ui::Start::TopLeft,
    .bounds = {0, 0, 21600, 12945},
    .controls = {
        ui::picture(L"Image1", {0, 0, 21600, 13020}, ART_EDITOR_LIGHT),
        ui::picture(L"Image2", {0, 0, 21600, 13020}, ART_EDITOR_DARK),
        ui::clickArea(L"ImageAi", {360, 1800, 3975, 1095}, &FormEditor::ImageAi_Click, L"通过Ai模型创作"),
        ui::clickArea(L"ImageNEW", {360, 3240, 3975, 975}, &FormEditor::ImageNEW_Click, L"新建"),
        ui::clickArea(L"ImageOPEN", {360, 4560, 4095, 1095}, &FormEditor::ImageOPEN_Click, L"打开"),
        ui::clickArea(L"ImageSAVE", {360, 6000, 3975, 975}, &FormEditor::ImageSAVE_Click, L"保存"),
        ui::clickArea(L"ImageWAV", {360, 7320, 3975, 1095}, &FormEditor::ImageWAV_Click, L"生成WAV文件"),
        ui::clickArea(L"ImageAIXX", {360, 9840, 1920, 720}, &FormEditor::ImageAIXX_Click, L"AI续写"),
        ui::clickArea(L"ImageMIDI", {2415, 9840, 1920, 720}, &FormEditor::ImageMIDI_Click, L"导出MIDI"),
        ui::cross(ui::clickArea(L"ImageUN", {20880, 360, 375, 375}, &FormEditor::ImageUN_Click, L"关闭")),
        ui::wrapped(ui::label(L"LabelMSG", {360, 8760, 3975, 735},
                              L"注意！通过Ai模型创作、新建、打开 等操作会重置编辑器", kSongTi, RGB(0, 0, 0))),
        ui::label(L"LabelZT", {240, 11640, 3975, 375}, L"就绪", kNewSongTi, RGB(0, 0, 0)),
        ui::fitted(
            ui::opaque(ui::label(L"lblLineNo", {6000, 1920, 375, 9855}, L"", kSongTi, RGB(0x80, 0x80, 0x80)),
                       RGB(0xE0, 0xE0, 0xE0))),
        ui::labelled(ui::multiLine(ui::textBox(L"txtCode", {6360, 1920, 14775, 9855}, kDefaultScore, kSongTi,
                                               RGB(0, 0, 0), RGB(255, 255, 255))),
                     L"乐谱"),
        ui::timer(L"Timer1", 100, &FormEditor::Timer1_Timer),
        ui::timer(L"TimerZT", 3000, &FormEditor::TimerZT_Timer, false),
        ui::timer(L"TimerPlay", kFollowMilliseconds, &FormEditor::TimerPlay_Timer, false),
    }};

FormEditor::LastScore FormEditor::lastScore;

FormEditor::FormEditor()
    : Form(layout), undo_([this](const std::wstring& score) { setText(L"txtCode", score); }) {}

void FormEditor::Form_Load() {
    undo_.reset(text(L"txtCode"));
    if (const HWND box = control(L"txtCode").edit) {
        const auto own = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FormEditor::txtCodeProcedure)));
        if (own && own != &FormEditor::txtCodeProcedure) editProcedure = own;
    }
    const bool light = state::isLightTheme();
    showThemePicture(light);
    const COLORREF ink = light ? RGB(0, 0, 0) : RGB(0xE0, 0xE0, 0xE0);
    setColors(L"txtCode", ink, light ? RGB(255, 255, 255) : RGB(0, 0, 0));
    setColors(L"lblLineNo", light ? RGB(0x80, 0x80, 0x80) : ink,
              light ? RGB(0xE0, 0xE0, 0xE0) : RGB(0, 0, 0));
    setColors(L"LabelZT", ink, control(L"LabelZT").back);
    setColors(L"LabelMSG", ink, control(L"LabelMSG").back);
    Timer1_Timer();
    markUnchanged();
    if (rendering::running()) showStatus(kRendering);
    if (state::aiRequested()) {
        aiRun();
        sys::endOn(state::write(state::AiRequest, state::AiDone));
    }
}

// The AI run holds the window while the model works: the status line says so.
void FormEditor::aiRun() {
    stopPreview();
    showStatus(L"Ai思考中");
    const ai::Outcome outcome = ai::compose([this](unsigned waited) { showWaiting(waited); });
    if (!outcome.score) return aiFailed(outcome.cause);
    setText(L"txtCode", text::withCrLf(*outcome.score));
    scoreFile_.clear();
    showStatus(L"完毕！");
    sys::system().sleep(900);
    showStatus(idleStatus());
}

// Past the designed wait the status line counts the seconds, so that a slow first start
// of the model does not look like a hang.
void FormEditor::showWaiting(unsigned waited) {
    const std::wstring status = L"仍在等待OrvaneX，已等" + std::to_wstring(waited / 1000) + L"秒";
    if (text(L"LabelZT") != status) showStatus(status);
}

void FormEditor::aiFailed(const std::wstring& cause) {
    showStatus(idleStatus());
    sys::message(L"OrvaneX模型没有及时给出新的乐谱，编辑器中的内容保持不变。\r\n" + cause,
                 sys::Icon::Exclamation);
}

// The notes before the caret go to the model; what it writes is put in at the caret by
// one replacement (one step to undo), and the score on either side stays as it was.
// With a selection, the caret is taken at its end and nothing selected is replaced.
void FormEditor::ImageAIXX_Click() {
    stopPreview();
    const HWND edit = control(L"txtCode").edit;
    DWORD from = 0, caret = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&caret));
    std::wstring context;
    bool lineFollows = false;
    readText(L"txtCode", [&](std::wstring_view score) {
        caret = std::min<DWORD>(caret, static_cast<DWORD>(score.size()));
        context = score.substr(0, caret);
        lineFollows = caret < score.size() && score[caret] == L'\r';
    });
    showStatus(L"Ai思考中");
    const ai::Outcome outcome = ai::continueFrom(context, [this](unsigned waited) { showWaiting(waited); });
    if (!outcome.score) return aiFailed(outcome.cause);
    // The result ends its last line; before a line end of the score that would leave an empty line.
    std::wstring inserted = text::withCrLf(*outcome.score);
    if (lineFollows && inserted.ends_with(L"\r\n")) inserted.resize(inserted.size() - 2);
    SendMessageW(edit, EM_SETSEL, caret, caret);
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(inserted.c_str()));
    SendMessageW(edit, EM_SCROLLCARET, 0, 0);
    showStatus(L"完毕！");
    sys::system().sleep(900);
    showStatus(idleStatus());
}

// 就绪, unless a rendering or the preview is under way.
std::wstring FormEditor::idleStatus() const {
    return playing() ? playStatus_ : rendering::running() ? kRendering : L"就绪";
}

// How something ended, for three seconds.
void FormEditor::showOutcome(const std::wstring& status) {
    showStatus(status);
    setTimerEnabled(L"TimerZT", true);
}

void FormEditor::TimerZT_Timer() {
    setTimerEnabled(L"TimerZT", false);
    showStatus(idleStatus());
}

void FormEditor::showStatus(const std::wstring& status) {
    setText(L"LabelZT", status);
    paintNow();  // the waits of the AI run hold the thread
}

void FormEditor::ImageAi_Click() {
    aiRun();
}

void FormEditor::Timer1_Timer() {
    // Rebuilt only when the text changed or scrolled, and only for the lines on screen:
    // a tick stays cheap on scores of any length.
    const unsigned changes = control(L"txtCode").changes;
    const std::vector<size_t> rows = visibleLineStarts(L"txtCode");
    const size_t top = rows.empty() ? 0 : rows.front();
    if (changes == gutterChanges_ && top == gutterTop_) return;
    std::wstring caption;
    readText(L"txtCode", [&](std::wstring_view score) {
        if (changes != gutterChanges_) lineCount_ = gutter::lineCount(score);
        caption = gutter::numbers(score, rows);
    });
    gutterChanges_ = changes;
    gutterTop_ = top;
    if (caption != text(L"lblLineNo")) setText(L"lblLineNo", caption);
}

bool FormEditor::confirmReset() {
    return sys::system().messageBox(L"你确定要继续吗？这将会清空输入框的现有内容", L"确认",
                                    sys::Buttons::YesNo, sys::Icon::Question) == sys::Answer::Yes;
}

void FormEditor::ImageNEW_Click() {
    if (!confirmReset()) return;
    setText(L"txtCode", L"");
    scoreFile_.clear();
}

void FormEditor::ImageOPEN_Click() {
    if (!confirmReset()) return;
    setText(L"txtCode", L"");
    scoreFile_.clear();
    const auto file =
        sys::system().openFile(lastScore.dialog(L"选择一个 .sop 文件", L"Orvane曲谱 (*.sop)|*.sop", false));
    if (!file) return;
    lastScore.remember(*file);
    uint32_t error = 0;
    const auto lines = text::readLines(*file, &error);
    if (!lines) {
        sys::message(L"无法打开乐谱文件 " + *file + L"：" + sys::describe(error), sys::Icon::Error);
        return;
    }
    std::wstring score;
    for (const std::wstring& line : *lines) score += line + L"\r\n";
    setText(L"txtCode", text::withCrLf(score));
    markUnchanged();
    undo_.reset(text(L"txtCode"));  // an opened score starts a history of its own
    scoreFile_ = *file;
}

void FormEditor::ImageSAVE_Click() {
    save();
}

// The save of the design, with one question before it: characters that a GBK file
// cannot hold would become "?", and the default answer writes nothing.
bool FormEditor::save() {
    const std::wstring score = text(L"txtCode");
    if (const std::wstring lost = text::outsideGbk(score); !lost.empty()) {
        std::wstring shown;
        size_t count = 0;
        for (size_t i = 0; i < lost.size() && count < 20; ++i, ++count) {
            if (IS_HIGH_SURROGATE(lost[i]) && i + 1 < lost.size()) shown += lost[i++];
            shown += lost[i];
            shown += L' ';
        }
        const bool more = shown.size() < lost.size() + count;
        const std::wstring question =
            L"乐谱中有以下字符无法保存在 .sop 文件中（GBK编码），保存后它们会变成“?”：\r\n" + shown +
            (more ? L"等" : L"") + L"\r\n仍要保存吗？";
        if (sys::system().messageBox(question, {}, sys::Buttons::YesNoDefaultNo, sys::Icon::Warning) !=
            sys::Answer::Yes)
            return false;
    }
    const auto file =
        sys::system().saveFile(lastScore.dialog(L"保存", L"SOP （Orvane乐谱文件）|*.sop", true));
    if (!file) {
        sys::system().messageBox(L"您取消了保存", L"Save Cancelled", sys::Buttons::Ok,
                                 sys::Icon::Exclamation);
        return false;
    }
    if (const uint32_t error = text::writeBytes(*file, text::toGbk(score) + "\r\n")) {
        sys::message(L"无法保存乐谱文件 " + *file + L"：" + sys::describe(error), sys::Icon::Error);
        return false;
    }
    unchangedText_ = score;
    lastScore.remember(*file);
    showOutcome(L"已保存 " + lastScore.name + L"（" + lastScore.folder + L"）");
    scoreFile_ = *file;
    return true;
}

void FormEditor::markUnchanged() {
    unchangedText_ = text(L"txtCode");
}

bool FormEditor::changed() const {
    bool same = false;
    readText(L"txtCode", [&](std::wstring_view score) { same = score == unchangedText_; });
    return !same;
}

void FormEditor::ImageUN_Click() {
    if (changed()) {
        const sys::Answer answer =
            sys::system().messageBox(L"乐谱有未保存的更改。关闭编辑器之前要保存吗？", {},
                                     sys::Buttons::SaveDiscardCancel, sys::Icon::Question);
        if (answer == sys::Answer::Cancel || (answer == sys::Answer::Save && !save())) return;
    }
    stopPreview();
    unload();
    ui::show<Formmain>();
}

bool FormEditor::Form_KeyDown(UINT key, bool ctrl) {
    // Any other key ends the preview first, so that it acts where the user left the
    // caret, not on the marked note.
    if (playing() && key != VK_F5 && key != VK_ESCAPE && !isModifier(key)) stopPreview();
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    // Shift+Delete cuts and Shift+Insert pastes: steps of their own, never typing.
    typing_ = !ctrl && !(shift && (key == VK_DELETE || key == VK_INSERT));
    if (ctrl) {
        if (key == 'N')
            ImageNEW_Click();
        else if (key == 'O')
            ImageOPEN_Click();
        else if (key == 'S')
            ImageSAVE_Click();
        else if (key == 'J')  // taken here, it never reaches the text box as a line feed
            ImageAIXX_Click();
        else if (key == 'Z' && !shift)
            undo();
        else if (key == 'Y' || key == 'Z')
            redo();
        else if (key == VK_F5)
            playing() ? stopPreview() : startPreview(true);
        else if (key == 'E')
            ImageMIDI_Click();
        else
            return false;
        return true;
    }
    if (key == VK_F5) {
        if (playing())
            stopPreview();
        else
            startPreview(false);
        return true;
    }
    if (key == VK_ESCAPE && playing()) {
        stopPreview();
        return true;
    }
    return false;
}

void FormEditor::TextBox_Change(const std::wstring& name) {
    if (name != L"txtCode" || undo_.applying()) return;
    if (playing()) stopPreview();
    catchUp(typing_);
    typing_ = false;
}

void FormEditor::catchUp(bool typed) {
    readText(L"txtCode", [&](std::wstring_view now) { undo_.catchUp(control(L"txtCode").edit, now, typed); });
}

void FormEditor::undo() {
    stopPreview();
    catchUp(false);
    undo_.undo(control(L"txtCode").edit);
}

void FormEditor::redo() {
    stopPreview();
    catchUp(false);
    undo_.redo(control(L"txtCode").edit);
}

// Under the score's edit control: its undo (the context menu's, WM_UNDO, EM_UNDO) is
// the editor's, and a click while the preview plays ends it.
LRESULT CALLBACK FormEditor::txtCodeProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* editor = dynamic_cast<FormEditor*>(ui::formOf(box));
    if (editor) {
        switch (message) {
            case WM_UNDO:
            case EM_UNDO:
                editor->undo();
                return TRUE;
            case EM_CANUNDO:
                return editor->history().steps() > 0;
            case WM_LBUTTONDOWN:
                editor->stopPreview(false);  // the click places the caret
                break;
            case WM_RBUTTONDOWN:
                editor->stopPreview();  // the menu acts on the user's own selection
                break;
        }
    }
    return CallWindowProcW(editProcedure ? editProcedure : DefWindowProcW, box, message, wParam, lParam);
}

void FormEditor::startPreview(bool fromCaret) {
    std::optional<editor::Playback::Refusal> refusal;
    readText(L"txtCode", [&](std::wstring_view score) {
        refusal = playback_.start(control(L"txtCode").edit, score, fromCaret);
    });
    if (refusal && refusal->quiet) return showOutcome(refusal->text);
    if (refusal) return sys::message(refusal->text, sys::Icon::Exclamation);
    playedChanges_ = control(L"txtCode").changes;
    playStatus_ = kPlaying;
    setTimerEnabled(L"TimerZT", false);
    showStatus(kPlaying);
    setTimerEnabled(L"TimerPlay", true);
    followPlayback();
}

void FormEditor::stopPreview(bool restoreSelection) {
    if (!playing()) return;
    playback_.stop(control(L"txtCode").edit, restoreSelection);
    setTimerEnabled(L"TimerPlay", false);
    if (text(L"LabelZT") == playStatus_) showStatus(idleStatus());
}

// The end of the score, any edit or a failing output ends the preview.
void FormEditor::TimerPlay_Timer() {
    if (!playing()) return stopPreview();
    if (const std::wstring failure = playback_.failure(); !failure.empty()) {
        stopPreview();
        sys::message(L"播放中断：声音输出设备出错（" + failure + L"）。", sys::Icon::Exclamation);
        return;
    }
    if (playback_.finished() || control(L"txtCode").changes != playedChanges_) return stopPreview();
    followPlayback();
}

// The status line names the line the sounding note is on.
void FormEditor::followPlayback() {
    if (const size_t line = playback_.follow(control(L"txtCode").edit)) {
        playStatus_ = L"正在播放第" + std::to_wstring(line) + L"行（Esc停止）";
        setText(L"LabelZT", playStatus_);
    }
}

void FormEditor::ImageWAV_Click() {
    if (rendering::running()) {
        sys::message(L"上一次生成还没有结束，请稍候再试。", sys::Icon::Exclamation);
        return;
    }
    sys::Cause cause;
    readText(L"txtCode", [&](std::wstring_view score) { cause = rendering::render(score, renderingEnded); });
    if (cause) return renderingEnded(cause);
    setTimerEnabled(L"TimerZT", false);
    showStatus(kRendering);
}

// How a rendering ended, told whether or not the editor is still open: the notice
// "生成成功" or the cause, and an open editor's status line for three seconds.
void FormEditor::renderingEnded(const sys::Cause& failure) {
    if (auto* editor = ui::find<FormEditor>())
        editor->showOutcome(failure ? L"生成WAV文件失败" : L"WAV文件已生成");
    if (failure)
        sys::message(L"没有生成WAV文件：" + *failure, sys::Icon::Error);
    else
        sys::tell(state::postNotification(L"生成成功",
                                          L"生成的wav文件已为您保存在" + install::OutputFolder + L"中"));
}

// The score as a MIDI file, proposed under the name of the score's own file.
void FormEditor::ImageMIDI_Click() {
    std::string bytes;
    readText(L"txtCode", [&](std::wstring_view score) { bytes = midi::fromScore(score); });
    if (bytes.empty()) {
        sys::message(L"乐谱中没有音符（数字0到7），没有可以导出为MIDI的内容。", sys::Icon::Exclamation);
        return;
    }
    const size_t slash = scoreFile_.find_last_of(L"\\/");
    std::wstring name = scoreFile_.substr(slash == std::wstring::npos ? 0 : slash + 1);
    if (const size_t dot = name.rfind(L'.'); dot != std::wstring::npos) name.resize(dot);
    sys::FileDialog dialog = lastScore.dialog(L"导出MIDI", L"MIDI文件 (*.mid)|*.mid", false);
    dialog.name = (scoreFile_.empty() ? L"作品" : name) + L".mid";
    dialog.extension = L"mid";
    const auto file = sys::system().saveFile(dialog);
    if (!file) return;
    if (const uint32_t error = text::writeBytes(*file, bytes)) {
        sys::message(L"无法导出MIDI文件 " + *file + L"：" + sys::describe(error), sys::Icon::Error);
        return;
    }
    showOutcome(L"MIDI文件已导出");
}
