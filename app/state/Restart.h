// The program restarts itself through Launcher.exe, which starts a fresh main program
// that routes anew by the state files.
#pragma once

#include "system/Failure.h"

namespace state {

// Starts Launcher.exe from the program folder: the cause when it would not start. The
// window that asked ends the program either way.
sys::Cause startLauncher();

}  // namespace state
