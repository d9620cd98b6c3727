#include "install/FormE.h"

#include "forms/Program.h"
#include "install/ProgramFiles.h"
#include "system/Paths.h"
#include "system/System.h"

const ui::FormLayout FormE::layout{
    .caption = L"出错了",
    .start = ui::Start::Centred,
    .bounds = ui::px(0, 0, 514, 289),
    .icon = false,
    .controls = {
        ui::picture(L"Image1", ui::px(0, 0, 514, 289), ART_ERROR),
        ui::clickArea(L"Image2", ui::px(184, 208, 153, 41), &FormE::Image2_Click, L"好的"),
    }};

FormE::FormE() : Form(layout) {}

void FormE::Form_Load() {
    fitToPicture(L"Image1");
}

void FormE::Image2_Click() {
    ui::endNow();
}

namespace install {

bool require(const std::wstring& program, ui::Form& requester) {
    if (sys::exists(sys::inProgramFolder(program))) return true;
    requester.unload();
    ui::show<FormE>();
    return false;
}

void restartThroughLauncher(ui::Form& requester) {
    if (!require(LauncherProgram, requester)) return;
    const std::wstring launcher = sys::inProgramFolder(LauncherProgram);
    if (const sys::Started started = sys::start(launcher); !started)
        sys::message(sys::cannotStart(launcher, started.error), sys::Icon::Error);
    ui::endNow();
}

}  // namespace install
