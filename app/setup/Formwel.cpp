#include "setup/Formwel.h"

#include <windows.h>

#include "forms/Program.h"
#include "install/ProgramFiles.h"
#include "setup/Formset1.h"
#include "system/Paths.h"
#include "system/System.h"

const ui::FormLayout Formwel::layout{
    .caption = L"欢迎使用Orvane",
    .start = ui::Start::Centred,
    .bounds = {0, 0, 11805, 6645},
    .controls = {
        ui::picture(L"Image1", {0, 0, 11805, 6645}, ART_WELCOME),
        ui::clickArea(L"Image2", {5160, 4680, 1455, 615}, &Formwel::Image2_Click, L"开始"),
    }};

Formwel::Formwel() : Form(layout) {}

// VB.bat is started at every load. A batch file goes through the command interpreter,
// which starts whether or not the file is there, so a missing one is looked for first:
// a batch file that cannot be started stops the setup before its first window shows.
// Its console comes up behind the keyboard: the welcome keeps it, so that Enter starts
// the setup at once (under Wine a console that took it leaves it with no window).
void Formwel::Form_Load() {
    fitToPicture(L"Image1");
    const std::wstring batch = sys::inProgramFolder(install::SetupBatch);
    const sys::Started started =
        sys::exists(batch) ? sys::system().startBehind(batch) : sys::Started{ERROR_FILE_NOT_FOUND, nullptr};
    if (!started) {
        sys::message(sys::cannotStart(batch, started.error), sys::Icon::Error);
        unload();
        ui::endNow();
    }
}

void Formwel::Image2_Click() {
    ui::show<Formset1>();
    unload();
}
