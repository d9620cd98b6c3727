#include "editor/FormEditor.h"

#include <windows.h>

#include <algorithm>

#include "art/Art.h"
#include "editor/AiRun.h"
#include "editor/Midi.h"
#include "editor/Preview.h"
#include "editor/Rendering.h"
#include "forms/Program.h"
#include "startup/Formmain.h"
#include "state/StateFiles.h"
#include "system/Paths.h"
#include "text/Gbk.h"
#include "text/LineFile.h"

namespace {

const ui::Font kSongTi{L"宋体", 10.5};
const ui::Font kNewSongTi{L"新宋体", 10.5};

const wchar_t kDefaultScore[] = L"Orvane测试版本\r\n远帆青石制作\r\n";
const wchar_t kRendering[] = L"正在生成WAV…";
const wchar_t kPlaying[] = L"播放中…（Esc停止）";

}  // namespace

const ui::FormLayout FormEditor::layout{
    .caption = L"Orvane编辑器",
    .start = ui::Start::TopLeft,
    .bounds = {0, 0, 21600, 12945},
    .controls = {
        ui::picture(L"Image1", {0, 0, 21600, 13020}, ART_EDITOR_LIGHT),
        ui::picture(L"Image2", {0, 0, 21600, 13020}, ART_EDITOR_DARK),
        ui::clickArea(L"ImageAi", {360, 1800, 3975, 1095}, &FormEditor::ImageAi_Click),
        ui::clickArea(L"ImageNEW", {360, 3240, 3975, 975}, &FormEditor::ImageNEW_Click),
        ui::clickArea(L"ImageOPEN", {360, 4560, 4095, 1095}, &FormEditor::ImageOPEN_Click),
        ui::clickArea(L"ImageSAVE", {360, 6000, 3975, 975}, &FormEditor::ImageSAVE_Click),
        ui::clickArea(L"ImageWAV", {360, 7320, 3975, 1095}, &FormEditor::ImageWAV_Click),
        ui::clickArea(L"ImageUN", {20880, 360, 375, 375}, &FormEditor::ImageUN_Click),
        ui::clickArea(L"ImageMIDI", {2415, 9840, 1920, 720}, &FormEditor::ImageMIDI_Click),
        ui::wrapped(ui::label(L"LabelMSG", {360, 8760, 3975, 735},
                              L"注意！通过Ai模型创作、新建、打开 等操作会重置编辑器", kSongTi, RGB(0, 0, 0))),
        ui::label(L"LabelZT", {240, 11640, 3975, 375}, L"就绪", kNewSongTi, RGB(0, 0, 0)),
        ui::fitted(
            ui::opaque(ui::label(L"lblLineNo", {6000, 1920, 375, 9855}, L"", kSongTi, RGB(0x80, 0x80, 0x80)),
                       RGB(0xE0, 0xE0, 0xE0))),
        ui::multiLine(ui::textBox(L"txtCode", {6360, 1920, 14775, 9855}, kDefaultScore, kSongTi, RGB(0, 0, 0),
                                  RGB(255, 255, 255))),
        ui::timer(L"Timer1", 100, &FormEditor::Timer1_Timer),
        ui::timer(L"TimerZT", 3000, &FormEditor::TimerZT_Timer, false),
        ui::timer(L"TimerPlay", 50, &FormEditor::TimerPlay_Timer, false),
    }};

FormEditor::FormEditor() : Form(layout) {}

void FormEditor::Form_Load() {
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
        state::write(state::AiRequest, L"0");
    }
}

// The AI run holds the window while the model works: the status line says so.
void FormEditor::aiRun() {
    stopPreview();
    showStatus(L"Ai思考中");
    const ai::Outcome outcome = ai::compose();
    if (!outcome.score) {
        showStatus(idleStatus());
        sys::message(L"OrvaneX模型没有及时给出新的乐谱，编辑器中的内容保持不变。\r\n" + outcome.cause,
                     sys::Icon::Exclamation);
        return;
    }
    setText(L"txtCode", *outcome.score);
    scoreFile_.clear();
    showStatus(L"完毕！");
    sys::system().sleep(900);
    showStatus(idleStatus());
}

// 就绪, unless a rendering or the preview is under way.
std::wstring FormEditor::idleStatus() const {
    return playing() ? kPlaying : rendering::running() ? kRendering : L"就绪";
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

void FormEditor::renderingEnded(bool succeeded) {
    showOutcome(succeeded ? L"WAV文件已生成" : L"生成WAV失败");
}

void FormEditor::showStatus(const std::wstring& status) {
    setText(L"LabelZT", status);
    // The waits of the AI run hold the thread: paint what changed now, without
    // handling any click or key in between.
    if (!hwnd()) return;
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    GdiFlush();
    // A wait of no time that takes no message: Wine shows a window's painting on screen
    // only when its thread waits.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
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
        const auto pairsIn = [&](size_t from, size_t to) {
            size_t pairs = 0;
            for (size_t at = score.find(L'\r', from); at != std::wstring_view::npos && at + 1 < to;
                 at = score.find(L'\r', at + 1))
                if (score[at + 1] == L'\n') ++pairs;
            return pairs;
        };
        if (changes != gutterChanges_) lineCount_ = score.empty() ? 0 : pairsIn(0, score.size()) + 1;
        if (score.empty()) return;
        // Each line on screen that begins a line of the score gets its number; the rows
        // a long line wraps onto get none.
        size_t line = pairsIn(0, top) + 1, counted = top;
        for (const size_t start : rows) {
            line += pairsIn(counted, start);
            counted = start;
            const bool begins =
                start == 0 || (start >= 2 && score[start - 2] == L'\r' && score[start - 1] == L'\n');
            caption += (begins ? std::to_wstring(line) : L"") + L"\r\n";
        }
    });
    gutterChanges_ = changes;
    gutterTop_ = top;
    while (caption.size() >= 4 && caption.compare(caption.size() - 4, 4, L"\r\n\r\n") == 0)
        caption.resize(caption.size() - 2);  // no empty rows below the last number
    if (caption == L"\r\n") caption.clear();
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
    const auto file = sys::system().openFile({L"选择一个 .sop 文件", L"Orvane曲谱 (*.sop)|*.sop"});
    if (!file) return;
    uint32_t error = 0;
    const auto lines = text::readLines(*file, &error);
    if (!lines) {
        sys::message(L"无法打开乐谱文件 " + *file + L"：" + sys::describe(error), sys::Icon::Error);
        return;
    }
    std::wstring score;
    for (const std::wstring& line : *lines) score += line + L"\r\n";
    setText(L"txtCode", score);
    markUnchanged();
    scoreFile_ = *file;
}

void FormEditor::ImageSAVE_Click() {
    save();
}

// The save of the design, with one question before it: characters that a GBK file
// cannot hold would become "?", and the default answer writes nothing.
bool FormEditor::save() {
    const std::wstring score = text(L"txtCode");
    if (const std::wstring lost = outsideGbk(score); !lost.empty()) {
        std::wstring shown;
        size_t count = 0;
        for (size_t i = 0; i < lost.size() && count < 20; ++i, ++count) {
            if (IS_HIGH_SURROGATE(lost[i]) && i + 1 < lost.size()) shown += lost[i++];
            shown += lost[i];
            shown += L' ';
        }
        const bool more = shown.size() < lost.size() + count;
        const std::wstring question =
            L"乐谱中有以下字符无法保存在 .sop 文件中（GBK 编码），保存后它们会变成“?”：\r\n" + shown +
            (more ? L"等" : L"") + L"\r\n仍要保存吗？";
        if (sys::system().messageBox(question, {}, sys::Buttons::YesNoDefaultNo, sys::Icon::Warning) !=
            sys::Answer::Yes)
            return false;
    }
    const auto file = sys::system().saveFile({L"保存", L"SOP （Orvane乐谱文件）|*.sop"});
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
    if (ctrl) {
        if (key == 'N')
            ImageNEW_Click();
        else if (key == 'O')
            ImageOPEN_Click();
        else if (key == 'S')
            ImageSAVE_Click();
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
            startPreview();
        return true;
    }
    if (key == VK_ESCAPE && playing()) {
        stopPreview();
        return true;
    }
    return false;
}

void FormEditor::startPreview() {
    std::wstring digits;
    readText(L"txtCode", [&](std::wstring_view score) { digits = rendering::noteDigits(score); });
    std::wstring failure;
    auto samples = preview::loadSamples(sys::inProgramFolder(L"wav"), digits, failure);
    if (!samples) {
        sys::message(failure, sys::Icon::Exclamation);
        return;
    }
    uint32_t error = 0;
    sound_ = sys::system().play(
        preview::source(digits, std::make_shared<const preview::Samples>(std::move(*samples))), error);
    if (!sound_) {
        sys::message(L"无法播放：没有可用的声音输出设备（" + sys::describe(error) + L"）。",
                     sys::Icon::Exclamation);
        return;
    }
    playedChanges_ = control(L"txtCode").changes;
    showStatus(kPlaying);
    setTimerEnabled(L"TimerPlay", true);
}

void FormEditor::stopPreview() {
    if (!sound_) return;
    sound_.reset();
    setTimerEnabled(L"TimerPlay", false);
    if (text(L"LabelZT") == kPlaying) showStatus(idleStatus());
}

// The end of the score, or any edit, ends the preview.
void FormEditor::TimerPlay_Timer() {
    if (!sound_ || sound_->finished() || control(L"txtCode").changes != playedChanges_) stopPreview();
}

std::wstring FormEditor::outsideGbk(std::wstring_view text) {
    const auto fits = [](std::wstring_view part) {
        BOOL lost = FALSE;
        if (part.empty()) return true;
        const int size = WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, part.data(),
                                             static_cast<int>(part.size()), nullptr, 0, nullptr, &lost);
        return size > 0 && !lost;
    };
    std::wstring found;
    if (fits(text)) return found;
    for (size_t i = 0; i < text.size(); ++i) {
        const size_t length = IS_HIGH_SURROGATE(text[i]) && i + 1 < text.size() ? 2 : 1;
        const std::wstring_view character = text.substr(i, length);
        if (!fits(character) && found.find(character) == std::wstring::npos) found += character;
        i += length - 1;
    }
    return found;
}

void FormEditor::ImageWAV_Click() {
    if (rendering::running()) {
        sys::message(L"上一次生成还没有结束，请稍候再试。", sys::Icon::Exclamation);
        return;
    }
    std::wstring cause;
    readText(L"txtCode", [&](std::wstring_view score) { cause = rendering::render(score); });
    if (!cause.empty()) return renderingFailed(cause);
    setTimerEnabled(L"TimerZT", false);
    showStatus(kRendering);
}

void FormEditor::renderingFailed(const std::wstring& cause) {
    showOutcome(L"生成WAV失败");
    sys::message(L"没有生成WAV文件：" + cause, sys::Icon::Error);
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
    const auto file = sys::system().saveFile(
        {L"导出MIDI", L"MIDI文件 (*.mid)|*.mid", (scoreFile_.empty() ? L"作品" : name) + L".mid", L"mid"});
    if (!file) return;
    if (const uint32_t error = text::writeBytes(*file, bytes)) {
        sys::message(L"无法导出MIDI文件 " + *file + L"：" + sys::describe(error), sys::Icon::Error);
        return;
    }
    showOutcome(L"MIDI文件已导出");
}
