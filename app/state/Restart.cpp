#include "state/Restart.h"

#include "forms/Program.h"
#include "state/FormE.h"
#include "system/Paths.h"
#include "system/System.h"

namespace state {

void restartThroughLauncher(ui::Form& requester) {
    const std::wstring launcher = sys::inProgramFolder(L"Launcher.exe");
    if (!sys::exists(launcher)) {
        requester.unload();
        ui::show<FormE>();
        return;
    }
    if (const sys::Started started = sys::start(launcher); !started)
        sys::message(L"无法启动 " + launcher + L"：" + sys::describe(started.error), sys::Icon::Error);
    ui::endNow();
}

}  // namespace state
