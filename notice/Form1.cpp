#include "notice/Form1.h"

#include <optional>

#include "forms/Program.h"
#include "install/ProgramFiles.h"
#include "system/Paths.h"
#include "text/LineFile.h"

namespace notice {

namespace {

// The first line of a request file, or nothing after telling the user why not.
std::optional<std::wstring> requestLine(const std::wstring& name) {
    const std::wstring path = sys::inProgramFolder(name);
    uint32_t error = 0;
    if (auto line = text::readFirstLine(path, &error)) return line;
    const std::wstring reason = error ? sys::describe(error) : L"文件是空的";
    sys::message(L"无法显示通知：读取通知文件失败。\n\n文件：" + path + L"\n原因：" + reason,
                 sys::Icon::Error);
    return std::nullopt;
}

}  // namespace

std::wstring clockText(const sys::TimeOfDay& time) {
    const std::wstring minutes = std::to_wstring(time.minute);
    return std::to_wstring(time.hour) + L":" + (time.minute < 10 ? L"0" : L"") + minutes;
}

const ui::FormLayout Form1::layout{
    .caption = L"青石软件_通知",
    .start = ui::Start::Fixed,
    .bounds = {16665, 10980, 5175, 1485},
    .takesFocus = false,
    .topmost = true,  // and kept there for its three seconds, without taking the focus
    .alert = true,    // read out by screen readers as it appears
    .controls = {
        ui::picture(L"Image1", {0, 0, 5175, 1485}, ART_NOTICE),
        // Label1 grows to the right with its title; a long one is cut off where the clock
        // begins, so that the clock stays legible.
        ui::autoSized(
            ui::label(L"Label1", {480, 120, 3600, 405}, L"", {L"黑体", 14.25, true}, RGB(224, 224, 224)),
            4080),
        ui::wrapped(ui::label(L"Label2", {720, 720, 4095, 615}, L"", {L"宋体", 9}, RGB(255, 255, 255))),
        ui::label(L"Label3", {4080, 240, 855, 255}, L"", {L"宋体", 9}, RGB(255, 255, 255)),
        ui::timer(L"Timer1", 3000, &Form1::Timer1_Timer, false),  // started by popUp()
    }};

Form1::Form1() : Form(layout) {}

void Form1::Form_Load() {
    fitToPicture(L"Image1");
    const auto title = requestLine(install::NoticeTitle);
    const auto body = title ? requestLine(install::NoticeText) : std::nullopt;
    if (!body) {
        unload();  // the only window: the program ends without a pop-up
        return;
    }
    setText(L"Label1", *title);
    setText(L"Label2", *body);
    setText(L"Label3", clockText(sys::system().localTime()));
}

void Form1::Timer1_Timer() {
    unload();
}

void popUp() {
    Form1& form = ui::show<Form1>();
    if (!form.loaded()) return;
    // The three seconds count from when the painted panel reaches the screen.
    form.paintNow();
    form.setTimerEnabled(L"Timer1", true);
}

}  // namespace notice
