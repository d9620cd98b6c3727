#include "setup/Formset1.h"

#include "forms/Program.h"
#include "install/ProgramFiles.h"
#include "setup/Formset2.h"
#include "system/Paths.h"
#include "system/System.h"

const ui::FormLayout Formset1::layout{
    .caption = L"新用户设置",
    .start = ui::Start::Centred,
    .bounds = {0, 0, 17250, 9900},
    .icon = false,
    .controls = {
        ui::picture(L"Image1", {0, 0, 17250, 9900}, ART_SETUP_PYTHON),
        ui::cross(ui::clickArea(L"Image2", {16440, 240, 495, 375}, &Formset1::Image2_Click, L"关闭")),
        ui::clickArea(L"Image4", {6960, 4680, 8655, 1695}, &Formset1::Image4_Click, L"安装python-3.8.10"),
        ui::clickArea(L"Image3", {14280, 8160, 1695, 855}, &Formset1::Image3_Click, L"下一步"),
    }};

Formset1::Formset1() : Form(layout) {}

void Formset1::Form_Load() {
    fitToPicture(L"Image1");
}

void Formset1::Image2_Click() {
    ui::endNow();
}

void Formset1::Image3_Click() {
    unload();
    ui::show<Formset2>();
}

void Formset1::Image4_Click() {
    const std::wstring installer = sys::inProgramFolder(install::PythonInstaller);
    if (!sys::exists(installer)) {
        sys::message(
            L"本程序没有附带Python安装程序（程序文件夹中没有 python.exe）。"
            L"在这个版本中Python是可选的：不安装Python，也可以作曲和生成WAV文件。"
            L"如需安装Python，可从 python.org 下载。点击“下一步”继续设置。");
        return;
    }
    if (const sys::Started started = sys::start(installer); !started) {
        sys::message(sys::cannotStart(installer, started.error), sys::Icon::Error);
        ui::endNow();
    }
}
