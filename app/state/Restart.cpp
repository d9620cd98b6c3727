#include "state/Restart.h"

#include "forms/Program.h"
#include "install/FormE.h"
#include "install/ProgramFiles.h"
#include "system/Paths.h"
#include "system/System.h"

namespace state {

void restartThroughLauncher(ui::Form& requester) {
    const std::wstring launcher = sys::inProgramFolder(install::LauncherProgram);
    if (!sys::exists(launcher)) {
        install::reportMissing(requester);
        return;
    }
    if (const sys::Started started = sys::start(launcher); !started)
        sys::message(sys::cannotStart(launcher, started.error), sys::Icon::Error);
    ui::endNow();
}

}  // namespace state
