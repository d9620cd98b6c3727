#include "account/FormSET.h"

#include "account/AccountEntry.h"
#include "forms/Program.h"
#include "install/FormE.h"
#include "install/ProgramFiles.h"
#include "startup/FormYHXY.h"
#include "startup/FormYSZC.h"
#include "state/Notification.h"
#include "state/StateFiles.h"
#include "system/Paths.h"
#include "system/System.h"

namespace {

const ui::Font kEntryFont{L"宋体", 12, true};
const std::wstring Done = L"设置成功";

}  // namespace

const ui::FormLayout FormSET::layout{
    .caption = L"Orvane设置",
    .start = ui::Start::Centred,
    .bounds = ui::px(0, 0, 1089, 640),
    .controls = {
        ui::picture(L"Image1", {0, 0, 16335, 9600}, ART_SETTINGS_LIGHT),
        ui::picture(L"Image2", {0, 0, 16335, 9600}, ART_SETTINGS_DARK),
        ui::clickArea(L"ImageL", {1200, 2040, 3495, 2535}, &FormSET::ImageL_Click, L"明亮主题"),
        ui::clickArea(L"ImageD", {6000, 2040, 3375, 2535}, &FormSET::ImageD_Click, L"黑暗主题"),
        ui::labelled(ui::hoverText(ui::entryBox(L"Text1", {3360, 5880, 2775, 390}, L"Orvane用户", kEntryFont),
                                   L"输入新的用户名"),
                     L"输入新的用户名"),
        ui::labelled(ui::hoverText(ui::entryBox(L"Text2", {3360, 6360, 2775, 390}, L"", kEntryFont, L'*'),
                                   L"输入新的密码"),
                     L"输入新的密码"),
        ui::clickArea(L"Image3", {9240, 6960, 1455, 495}, &FormSET::Image3_Click, L"保存更改"),
        ui::clickArea(L"Image4", {960, 8160, 1575, 495}, &FormSET::Image4_Click, L"点击恢复"),
        ui::link(
            ui::clickArea(L"Image5", {2640, 9000, 3255, 495}, &FormSET::Image5_Click, L"Orvane用户协议")),
        ui::link(
            ui::clickArea(L"Image6", {6480, 9000, 3135, 495}, &FormSET::Image6_Click, L"Orvane隐私政策")),
        ui::cross(ui::clickArea(L"ImageU", {15720, 120, 495, 495}, &FormSET::ImageU_Click, L"关闭")),
    }};

FormSET::FormSET() : Form(layout) {}

void FormSET::Form_Load() {
    fitToPicture(L"Image1");
    showThemePicture(state::isLightTheme());
    // The signed-in system user, not the stored name: nothing reads admin.une back.
    setText(L"Text1", sys::system().environment(L"USERNAME").value_or(L""));
}

// The window keeps its look: a new theme shows when a window next loads.
void FormSET::ImageL_Click() {
    sys::endOn(state::write(state::ThemeColors, state::LightTheme));
    sys::tell(state::postNotification(Done, L"已设置为明亮主题"));
}

void FormSET::ImageD_Click() {
    sys::endOn(state::write(state::ThemeColors, state::DarkTheme));
    sys::tell(state::postNotification(Done, L"已设置为黑暗主题"));
}

void FormSET::Image3_Click() {
    // An empty user name is refused before anything is written or announced.
    if (account::createFromEntries(text(L"Text1"), text(L"Text2")))
        sys::tell(state::postNotification(Done, L"已更新您的用户名以及密码"));
}

// The factory reset clears the first-run flag only; the setup that follows the restart
// writes the theme and the account again.
void FormSET::Image4_Click() {
    sys::endOn(state::write(state::FirstRun, state::SetupAgain));
    install::restartThroughLauncher(*this);
}

void FormSET::Image5_Click() {
    ui::show<FormYHXY>();
}

void FormSET::Image6_Click() {
    ui::show<FormYSZC>();
}

void FormSET::ImageU_Click() {
    unload();
}
