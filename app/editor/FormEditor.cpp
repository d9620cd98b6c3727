#include "editor/FormEditor.h"

#include <windows.h>

#include <algorithm>
#include <optional>

#include "art/Art.h"
#include "forms/Program.h"
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
const wchar_t kPlaceholder[] = L"FFFFFFFFFFF";

// The joining script: joins the frames of the listed note samples (mono, 16-bit,
// 44100 Hz) into one WAV file named after the moment it runs. 29 lines, 924 characters.
const wchar_t kScriptTemplate[] =
    L"import wave\r\n"
    L"import os\r\n"
    L"from datetime import datetime\r\n"
    L"\r\n"
    L"output_dir = r'C:\\Orvane\\OutputWAV'\r\n"
    L"\r\n"
    L"if not os.path.exists(output_dir):\r\n"
    L"    os.makedirs(output_dir)\r\n"
    L"\r\n"
    L"files = ['0.wav', '1.wav', '2.wav', '3.wav', '4.wav', '5.wav', '6.wav', '7.wav']\r\n"
    L"\r\n"
    L"n_channels = 1\r\n"
    L"sampwidth = 2\r\n"
    L"framerate = 44100\r\n"
    L"\r\n"
    L"data_list = []\r\n"
    L"for file in [FFFFFFFFFFF]:\r\n"
    L"    with wave.open(file, 'rb') as w:\r\n"
    L"        if w.getnchannels() == n_channels and w.getsampwidth() == sampwidth and "
    L"w.getframerate()==framerate:\r\n"
    L"         data_list.append(w.readframes(w.getnframes()))\r\n"
    L"current_time = datetime.now().strftime('%Y%m%d_%H%M%S')\r\n"
    L"output_filename = os.path.join(output_dir, f'WAV_{current_time}.wav')\r\n"
    L"\r\n"
    L"with wave.open(output_filename, 'wb') as output_file:\r\n"
    L"    output_file.setnchannels(n_channels)\r\n"
    L"    output_file.setsampwidth(sampwidth)\r\n"
    L"    output_file.setframerate(framerate)\r\n"
    L"    for data in data_list:\r\n"
    L"        output_file.writeframes(data)\r\n";

// Exit codes of outputWAV.bat.
constexpr DWORD kNoPython = 2, kMissingItems = 3;

unsigned long long fileTime(const FILETIME& time) {
    return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

using FileStamps = std::vector<std::pair<std::wstring, unsigned long long>>;

// The WAV files of a folder with the times they were last written.
FileStamps wavFiles(const std::wstring& folder) {
    FileStamps files;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*.wav").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return files;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        files.emplace_back(found.cFileName, fileTime(found.ftLastWriteTime));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return files;
}

// When an ordinary file was last written, in the system's time; nothing when there is none.
std::optional<unsigned long long> lastWritten(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return fileTime(data.ftLastWriteTime);
}

// FAT volumes keep write times to two seconds. A result of an earlier run is older
// than that: every run takes about four seconds.
constexpr unsigned long long kWriteTimeSlack = 2 * 10'000'000ull;

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
        ui::wrapped(ui::label(L"LabelMSG", {360, 8760, 3975, 735},
                           L"注意！通过Ai模型创作、新建、打开 等操作会重置编辑器", kSongTi, RGB(0, 0, 0))),
        ui::label(L"LabelZT", {240, 11640, 3975, 375}, L"就绪", kNewSongTi, RGB(0, 0, 0)),
        ui::opaque(ui::label(L"lblLineNo", {6000, 1920, 375, 9855}, L"", kSongTi, RGB(0x80, 0x80, 0x80)),
               RGB(0xE0, 0xE0, 0xE0)),
        ui::multiLine(ui::textBox(L"txtCode", {6360, 1920, 14775, 9855}, kDefaultScore, kSongTi,
                              RGB(0, 0, 0), RGB(255, 255, 255))),
        ui::timer(L"Timer1", 100, &FormEditor::Timer1_Timer),
        ui::timer(L"TimerWAV", 200, &FormEditor::TimerWAV_Timer, false),
        ui::hiddenText(L"TextY", kScriptTemplate),
        ui::hiddenText(L"Text1", L""),
        ui::hiddenText(L"TextPY", L""),
    }};

std::wstring FormEditor::outputFolder = L"C:\\Orvane\\OutputWAV";

FormEditor::FormEditor() : Form(layout) {}

void FormEditor::Form_Load() {
    const bool light = state::isLightTheme();
    showThemePicture(light);
    const COLORREF ink = light ? RGB(0, 0, 0) : RGB(0xE0, 0xE0, 0xE0);
    setColors(L"txtCode", ink, light ? RGB(255, 255, 255) : RGB(0, 0, 0));
    setColors(L"lblLineNo", light ? RGB(0x80, 0x80, 0x80) : ink, light ? RGB(0xE0, 0xE0, 0xE0) : RGB(0, 0, 0));
    setColors(L"LabelZT", ink, control(L"LabelZT").back);
    setColors(L"LabelMSG", ink, control(L"LabelMSG").back);
    Timer1_Timer();
    if (state::aiRequested()) {
        aiRun();
        state::write(state::AiRequest, L"0");
    }
}

// The AI run: Ai.bat starts the model, which has about three seconds to write
// output\output.sop. Only a score written during this run is loaded: a result that is
// missing, unreadable or left from an earlier run keeps the text as it is.
void FormEditor::aiRun() {
    showStatus(L"Ai思考中");
    FILETIME before;
    GetSystemTimeAsFileTime(&before);
    const sys::Started model = sys::start(sys::inProgramFolder(L"Ai.bat"));
    state::postNotification(L"Ai思考中", L"请等待大约3秒");
    sys::system().sleep(3000);

    const std::wstring result = sys::inProgramFolder(L"output\\output.sop");
    const auto written = lastWritten(result);
    const bool fresh = written && *written + kWriteTimeSlack >= fileTime(before);
    uint32_t error = 0;
    const auto lines = fresh ? text::readLines(result, &error) : std::nullopt;
    if (!lines) {
        showStatus(L"就绪");
        const std::wstring cause = !model     ? L"无法启动 Ai.bat：" + sys::describe(model.error)
                                   : !written ? L"没有找到结果文件 " + result + L"。"
                                   : !fresh   ? L"结果文件 " + result + L" 仍是之前留下的乐谱。"
                                            : L"无法读取结果文件 " + result + L"：" + sys::describe(error);
        sys::message(L"OrvaneX模型没有及时给出新的乐谱，编辑器中的内容保持不变。\r\n" + cause,
                     sys::Icon::Exclamation);
        return;
    }
    std::wstring score;
    for (const std::wstring& line : *lines) score += line + L"\r\n";
    setText(L"txtCode", score);
    showStatus(L"完毕！");
    sys::system().sleep(900);
    showStatus(L"就绪");
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

void FormEditor::ImageAi_Click() { aiRun(); }

void FormEditor::Timer1_Timer() {
    // Rebuilt only when the text changed, and only as many numbers as the label shows:
    // a tick stays cheap on scores of any length.
    const unsigned changes = control(L"txtCode").changes;
    if (changes == gutterChanges_) return;
    gutterChanges_ = changes;
    readText(L"txtCode", [this](std::wstring_view score) {
        size_t pairs = 0;
        for (size_t at = score.find(L'\r'); at != std::wstring_view::npos; at = score.find(L'\r', at + 1))
            if (at + 1 < score.size() && score[at + 1] == L'\n') ++pairs;
        lineCount_ = score.empty() ? 0 : pairs + 1;
    });

    const RECT gutter = pixelRect(L"lblLineNo");
    const int lineHeight = std::max(1, toPixels(static_cast<int>(control(L"lblLineNo").font.points * 20)));
    const size_t fit = static_cast<size_t>((gutter.bottom - gutter.top) / lineHeight + 1);
    std::wstring caption;
    for (size_t k = 1; k <= std::min(lineCount_, fit); ++k) caption += std::to_wstring(k) + L"\r\n";
    if (caption != text(L"lblLineNo")) setText(L"lblLineNo", caption);
}

bool FormEditor::confirmReset() {
    return sys::system().messageBox(L"你确定要继续吗？这将会清空输入框的现有内容", L"确认", sys::Buttons::YesNo,
                                    sys::Icon::Question) == sys::Answer::Yes;
}

void FormEditor::ImageNEW_Click() {
    if (confirmReset()) setText(L"txtCode", L"");
}

void FormEditor::ImageOPEN_Click() {
    if (!confirmReset()) return;
    setText(L"txtCode", L"");
    const auto file = sys::system().openFile({L"选择一个 .sop 文件", L"Orvane曲谱 (*.sop)|*.sop", {}});
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
}

void FormEditor::ImageSAVE_Click() {
    const auto file = sys::system().saveFile({L"保存", L"SOP （Orvane乐谱文件）|*.sop", {}});
    if (!file) {
        sys::system().messageBox(L"您取消了保存", L"Save Cancelled", sys::Buttons::Ok, sys::Icon::Exclamation);
        return;
    }
    if (const uint32_t error = text::writeBytes(*file, text::toGbk(text(L"txtCode")) + "\r\n"))
        sys::message(L"无法保存乐谱文件 " + *file + L"：" + sys::describe(error), sys::Icon::Error);
}

void FormEditor::ImageUN_Click() {
    unload();
    ui::show<Formmain>();
}

std::wstring FormEditor::noteDigits(std::wstring_view score) {
    std::wstring digits;
    for (const wchar_t c : score)
        if (c >= L'0' && c <= L'7') digits += c;
    return digits;
}

std::wstring FormEditor::sampleList(std::wstring_view digits) {
    std::wstring list;
    for (const wchar_t d : digits) {
        if (!list.empty()) list += L", ";
        list += L"files[";
        list += d;
        list += L"]";
    }
    return list;
}

std::wstring FormEditor::joiningScript(std::wstring_view scriptTemplate, std::wstring_view list) {
    const std::wstring_view placeholder = kPlaceholder;
    std::wstring script;
    size_t from = 0;
    for (size_t at = scriptTemplate.find(placeholder); at != std::wstring_view::npos;
         at = scriptTemplate.find(placeholder, from)) {
        script.append(scriptTemplate.substr(from, at - from)).append(list);
        from = at + placeholder.size();
    }
    return script.append(scriptTemplate.substr(from));
}

void FormEditor::ImageWAV_Click() {
    if (rendering()) {
        sys::message(L"上一次生成还没有结束，请稍候再试。", sys::Icon::Exclamation);
        return;
    }
    setText(L"Text1", noteDigits(text(L"txtCode")));
    setText(L"Text1", sampleList(text(L"Text1")));
    setText(L"TextPY", joiningScript(text(L"TextY"), text(L"Text1")));

    const std::wstring wavFolder = sys::inProgramFolder(L"wav");
    const DWORD attributes = GetFileAttributesW(wavFolder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        if (!CreateDirectoryW(wavFolder.c_str(), nullptr))
            return renderingFailed(L"无法创建文件夹 " + wavFolder + L"：" + sys::describe(GetLastError()));
    }
    const std::wstring script = wavFolder + L"\\wav.py";
    if (const uint32_t error = text::writeBytes(script, text::toGbk(text(L"TextPY")) + "\r\n"))
        return renderingFailed(L"无法写入生成脚本 " + script + L"：" + sys::describe(error));

    const std::wstring batch = sys::inProgramFolder(L"outputWAV.bat");
    if (!sys::exists(batch))
        return renderingFailed(L"找不到批处理文件 outputWAV.bat（" + batch + L"），它用 Python 把音符采样连成WAV文件。"
                               L"请重新安装奥文Orvane。");
    outputBefore_ = wavFiles(outputFolder);
    sys::Started started = sys::start(batch);
    if (!started)
        return renderingFailed(L"无法启动批处理文件 outputWAV.bat：" + sys::describe(started.error));
    // Success is known only once the batch file has ended and a new file is there.
    batch_ = std::move(started);
    watching_ = true;
    setTimerEnabled(L"TimerWAV", true);
}

void FormEditor::TimerWAV_Timer() {
    if (!watching_) return setTimerEnabled(L"TimerWAV", false);
    const auto code = sys::system().exitCode(batch_);
    if (!code) return;
    watching_ = false;
    batch_ = {};
    setTimerEnabled(L"TimerWAV", false);

    for (const auto& file : wavFiles(outputFolder))
        if (std::find(outputBefore_.begin(), outputBefore_.end(), file) == outputBefore_.end()) {
            state::postNotification(L"生成成功", L"生成的wav文件已为您保存在C:\\Orvane\\OutputWAV中");
            return;
        }

    std::wstring missing;
    for (wchar_t d = L'0'; d <= L'7'; ++d) {
        const std::wstring sample = std::wstring(1, d) + L".wav";
        if (!sys::exists(sys::inProgramFolder(L"wav\\" + sample))) missing += (missing.empty() ? L"" : L"、") + sample;
    }
    if (*code == kNoPython)
        renderingFailed(L"找不到 Python 3.6 或更高版本的解释器。请先安装 Python（程序文件夹中的 python.exe "
                        L"是它的安装程序），然后再试。");
    else if (!missing.empty())
        renderingFailed(L"缺少音符采样 " + missing + L"（应在 " + sys::inProgramFolder(L"wav") + L" 中）。"
                        L"请重新安装奥文Orvane。");
    else if (*code == kMissingItems)
        renderingFailed(L"outputWAV.bat 找不到生成脚本或音符采样（" + sys::inProgramFolder(L"wav") + L"）。");
    else if (*code != 0)
        renderingFailed(L"Python 运行生成脚本 wav\\wav.py 时出错（退出代码 " + std::to_wstring(*code) +
                        L"）。请检查音符采样 0.wav 到 7.wav 是否完好。");
    else
        renderingFailed(L"outputWAV.bat 已运行结束，但输出文件夹 " + outputFolder + L" 中没有出现新的WAV文件。");
}

void FormEditor::renderingFailed(const std::wstring& cause) {
    sys::message(L"没有生成WAV文件：" + cause, sys::Icon::Error);
}
