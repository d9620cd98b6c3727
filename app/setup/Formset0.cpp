#include "setup/Formset0.h"

#include "art/Art.h"
#include "forms/Program.h"
#include "state/FormE.h"
#include "state/StateFiles.h"
#include "system/Paths.h"
#include "system/System.h"

const ui::FormLayout Formset0::layout{
    .caption = L"新用户设置",
    .start = ui::Start::Centred,
    .bounds = {0, 0, 17250, 9900},
    .icon = false,
    .controls = {
        ui::picture(L"Image1", {0, 0, 17250, 9900}, ART_SETUP_DONE),
        ui::clickArea(L"Image2", {16440, 240, 495, 375}, &Formset0::Image2_Click),
        ui::clickArea(L"Image3", {14280, 8160, 1695, 855}, &Formset0::Image3_Click),
        ui::hiddenText(L"Text1", L"1"),
    }};

Formset0::Formset0() : Form(layout) {}

void Formset0::Form_Load() {
    fitToPicture(L"Image1");
}

void Formset0::Image2_Click() {
    ui::endNow();
}

// The flag is written before Launcher is looked for: with Launcher missing the setup
// still counts as complete, and the next start opens the main menu.
void Formset0::Image3_Click() {
    state::write(state::FirstRun, text(L"Text1"));
    const std::wstring launcher = sys::inProgramFolder(L"Launcher.exe");
    if (!sys::exists(launcher)) {
        unload();
        ui::show<FormE>();
        return;
    }
    if (const sys::Started started = sys::start(launcher); !started)
        sys::message(L"无法启动 " + launcher + L"：" + sys::describe(started.error), sys::Icon::Error);
    ui::endNow();
}
