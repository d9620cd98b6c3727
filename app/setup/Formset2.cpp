#include "setup/Formset2.h"

#include "forms/Program.h"
#include "install/FormE.h"
#include "install/ProgramFiles.h"
#include "setup/Formset3.h"
#include "state/Notification.h"
#include "state/StateFiles.h"
#include "system/System.h"

const ui::FormLayout Formset2::layout{
    .caption = L"新用户设置",
    .start = ui::Start::Centred,
    .bounds = {0, 0, 17250, 9900},
    .icon = false,
    .controls = {
        ui::picture(L"Image1", {0, 0, 17250, 9900}, ART_SETUP_THEME),
        ui::cross(ui::clickArea(L"Image2", {16440, 240, 495, 375}, &Formset2::Image2_Click, L"关闭")),
        ui::clickArea(L"Image3", {6960, 4200, 8655, 1695}, &Formset2::Image3_Click, L"洁白主题"),
        ui::clickArea(L"Image4", {6960, 6240, 8655, 1695}, &Formset2::Image4_Click, L"暗黑主题"),
        ui::clickArea(L"Image5", {14280, 8280, 1695, 615}, &Formset2::Image5_Click, L"下一步"),
        ui::hiddenText(L"Text3", L"通知"),
        ui::hiddenText(L"Text4", L"已为您自动选择洁白主题"),
    }};

Formset2::Formset2() : Form(layout) {}

void Formset2::Form_Load() {
    fitToPicture(L"Image1");
}

void Formset2::Image2_Click() {
    ui::endNow();
}

void Formset2::Image3_Click() {
    sys::endOn(state::write(state::ThemeColors, state::LightTheme));
    unload();
    ui::show<Formset3>();
}

void Formset2::Image4_Click() {
    sys::endOn(state::write(state::ThemeColors, state::SetupDarkTheme));
    unload();
    ui::show<Formset3>();
}

// Step 3 is already up when the notification is posted, so the error window of a
// missing notice.exe stands in front of it; this window has gone before.
void Formset2::Image5_Click() {
    unload();
    ui::show<Formset3>();
    sys::endOn(state::write(state::ThemeColors, state::LightTheme));
    if (!sys::tell(state::postNotification(text(L"Text3"), text(L"Text4"))))
        install::require(install::NoticeProgram, *this);
}
