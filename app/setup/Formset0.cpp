#include "setup/Formset0.h"

#include "forms/Program.h"
#include "install/FormE.h"
#include "install/ProgramFiles.h"
#include "state/StateFiles.h"
#include "system/System.h"

const ui::FormLayout Formset0::layout{
    .caption = L"新用户设置",
    .start = ui::Start::Centred,
    .bounds = {0, 0, 17250, 9900},
    .icon = false,
    .controls = {
        ui::picture(L"Image1", {0, 0, 17250, 9900}, ART_SETUP_DONE),
        ui::cross(ui::clickArea(L"Image2", {16440, 240, 495, 375}, &Formset0::Image2_Click, L"关闭")),
        ui::clickArea(L"Image3", {14280, 8160, 1695, 855}, &Formset0::Image3_Click, L"完成"),
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
    sys::endOn(state::write(state::FirstRun, state::SetupDone));
    install::restartThroughLauncher(*this);
}
