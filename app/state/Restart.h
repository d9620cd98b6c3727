// The program restarts itself through Launcher.exe, which starts a fresh main program
// that routes anew by the state files.
#pragma once

namespace ui {
class Form;
}

namespace state {

// Starts Launcher.exe from the program folder and ends the program at once. With
// Launcher.exe missing, the requesting window unloads and the error window shows; a
// Launcher.exe that cannot be started is named with the system's reason first.
void restartThroughLauncher(ui::Form& requester);

}  // namespace state
