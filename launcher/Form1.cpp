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
    const std::wstring program = sys::inProgramFolder(install::MainProgram);
    if (!sys::exists(program)) {
        install::reportMissing(*this);
        return;
    }
    if (const sys::Started started = sys::start(program); !started) {
        // Some of the system's texts name the file as "%1".
        std::wstring reason = sys::describe(started.error);
        if (const size_t insert = reason.find(L"%1"); insert != std::wstring::npos)
            reason.replace(insert, 2, install::MainProgram);
        sys::message(L"无法启动奥文Orvane。\n\n文件：" + program + L"\n原因：" + reason, sys::Icon::Error);
    }
    ui::endNow();
}

}  // namespace launcher
