#include "account/FormLOGIN.h"

#include "account/FormSET.h"
#include "forms/Program.h"
#include "install/ProgramFiles.h"
#include "state/StateFiles.h"
#include "system/System.h"

const ui::FormLayout FormLOGIN::layout{
    .caption = L"登录",
    .start = ui::Start::Centred,
    .bounds = ui::px(0, 0, 345, 551),
    .controls = {
        ui::picture(L"Image1", ui::px(0, 0, 345, 551), ART_LOGIN_LIGHT),
        ui::picture(L"Image2", ui::px(0, 0, 345, 551), ART_LOGIN_DARK),
        ui::labelled(ui::entryBox(L"Text2", {720, 4800, 3735, 375}, L"", {L"宋体", 15, true}, L'*'), L"密码"),
        ui::clickArea(L"ImageLOGIN", {1320, 5760, 2655, 855}, &FormLOGIN::ImageLOGIN_Click, L"登录"),
        ui::clickArea(L"ImageUN", {1320, 6720, 2655, 855}, &FormLOGIN::ImageUN_Click, L"取消"),
    }};

FormLOGIN::FormLOGIN() : Form(layout) {}

void FormLOGIN::Form_Load() {
    fitToPicture(L"Image1");
    showThemePicture(state::isLightTheme());
}

void FormLOGIN::ImageLOGIN_Click() {
    const account::Check check = account::checkPassword(text(L"Text2"));
    if (check == account::Check::Fail) {
        sys::message(L"密码错误。", sys::Icon::Warning);
        return;
    }
    if (check == account::Check::Pass) {
        ui::show<FormSET>();
        unload();
        return;
    }
    sys::message(
        L"无法打开或读取文件 " + account::passwordPath() + L"，请检查文件路径和文件内容是否为纯文本。",
        sys::Icon::Error);
}

void FormLOGIN::ImageUN_Click() {
    unload();
}
