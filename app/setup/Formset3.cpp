#include "setup/Formset3.h"

#include "account/AccountEntry.h"
#include "forms/Program.h"
#include "install/ProgramFiles.h"
#include "setup/Formset0.h"
#include "system/System.h"

namespace {

const ui::Font kEntryFont{L"微软雅黑", 15, false};

}  // namespace

const ui::FormLayout Formset3::layout{
    .caption = L"新用户设置",
    .start = ui::Start::Centred,
    .bounds = {0, 0, 17250, 9900},
    .icon = false,
    .controls = {
        ui::picture(L"Image1", {0, 0, 17250, 9900}, ART_SETUP_ACCOUNT),
        // The user name comes first in the tab order and so has the focus at the start.
        ui::labelled(ui::entryBox(L"Text1", {9120, 4440, 5175, 495}, L"Orvane用户", kEntryFont), L"用户名"),
        ui::labelled(ui::entryBox(L"Text2", {9120, 5640, 4935, 375}, L"", kEntryFont), L"密码"),
        ui::cross(ui::clickArea(L"Image2", {16440, 240, 495, 375}, &Formset3::Image2_Click, L"关闭")),
        ui::clickArea(L"Image3", {14280, 8280, 1695, 615}, &Formset3::Image3_Click, L"下一步"),
    }};

Formset3::Formset3() : Form(layout) {}

void Formset3::Form_Load() {
    fitToPicture(L"Image1");
    setText(L"Text1", sys::system().environment(L"USERNAME").value_or(L""));
    setText(L"Text2", L"");
}

void Formset3::Image2_Click() {
    ui::endNow();
}

void Formset3::Image3_Click() {
    if (!account::createFromEntries(text(L"Text1"), text(L"Text2"))) return;
    ui::show<Formset0>();
    unload();
}
