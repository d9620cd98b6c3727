#include "state/Restart.h"

#include "install/ProgramFiles.h"
#include "system/Paths.h"
#include "system/System.h"

namespace state {

sys::Cause startLauncher() {
    const std::wstring launcher = sys::inProgramFolder(install::LauncherProgram);
    if (const sys::Started started = sys::start(launcher); !started)
        return sys::cannotStart(launcher, started.error);
    return std::nullopt;
}

}  // namespace state
