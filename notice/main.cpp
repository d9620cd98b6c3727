// notice: shows one notification request for three seconds, then ends.
#include <windows.h>

#include "forms/Program.h"
#include "notice/Form1.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    ui::initialise(L"notice");
    ui::guard(notice::popUp);
    return ui::run();
}
