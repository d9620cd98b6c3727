// The error window: a required program of the installation is missing. Its only
// button, 好的, ends the program. The main program and Launcher show it alike; each
// carries the picture ART_ERROR among its resources.
#pragma once

#include "forms/Form.h"

class FormE : public ui::Form {
public:
    FormE();

private:
    static const ui::FormLayout layout;
    void Form_Load() override;
    void Image2_Click();
};

namespace install {

// Whether the program (a file name of install/ProgramFiles.h) lies in the program folder.
// A program the requesting window needs that is missing means a damaged installation:
// the requester unloads and the error window takes its place.
bool require(const std::wstring& program, ui::Form& requester);

// The program restarts itself through Launcher.exe, which starts a fresh main program that
// routes anew by the state files. Without Launcher.exe the error window shows, as above;
// a Launcher.exe that will not start is named with the system's reason; then the program
// ends at once.
void restartThroughLauncher(ui::Form& requester);

}  // namespace install
