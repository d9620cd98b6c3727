#include "launcher/Form1.h"

#include "forms/Program.h"
#include "install/FormE.h"
#include "install/ProgramFiles.h"
#include "system/Paths.h"
#include "system/System.h"

namespace launcher {

const ui::FormLayout Form1::layout{
    .caption = L"Launcher",
    .start = ui::Start::Centred,
    .bounds = {0, 0, 210, 210},
    .controls = {},
};

Form1::Form1() : Form(layout) {}

void Form1::Form_Load() {
    if (!install::require(install::MainProgram, *this)) return;
    const std::wstring program = sys::inProgramFolder(install::MainProgram);
    if (const sys::Started started = sys::start(program); !started) {
        sys::message(L"无法启动奥文Orvane。\n\n文件：" + program + L"\n原因：" + sys::describe(started.error),
                     sys::Icon::Error);
    }
    ui::endNow();
}

}  // namespace launcher
