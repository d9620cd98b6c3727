#include "startup/Formlauncher.h"

#include "forms/Pictures.h"
#include "forms/Program.h"
#include "install/FormE.h"
#include "install/ProgramFiles.h"
#include "setup/Formwel.h"
#include "startup/Formmain.h"
#include "state/Notification.h"
#include "state/StateFiles.h"
#include "system/Paths.h"
#include "system/System.h"
#include "text/LineFile.h"

const ui::FormLayout Formlauncher::layout{
    .caption = L"Orvane正在启动",
    .start = ui::Start::Centred,
    .bounds = ui::px(0, 0, 1180, 654),
    .controls = {
        ui::picture(L"Image1", ui::px(0, 0, 1180, 654), ART_SPLASH_LIGHT),
        ui::picture(L"Image2", ui::px(0, 0, 1180, 654), ART_SPLASH_DARK),
        ui::hiddenText(L"Text1", L"欢迎"),
        ui::hiddenText(L"Text2", L"Orvane正在启动"),
        ui::timer(L"Timer1", 1895, &Formlauncher::Timer1_Timer),
    }};

Formlauncher::Formlauncher() : Form(layout) {}

void Formlauncher::Form_Load() {
    fitToPicture(L"Image1");
    showThemePicture(state::isLightTheme());
    // What the first paint does not need waits for it.
    afterShown([this] {
        // Writes that a kill cut short leave their temporary files behind.
        text::removeLeftovers(sys::programFolder());
        text::removeLeftovers(sys::inProgramFolder(install::SampleFolder));
        if (!sys::tell(state::postNotification(text(L"Text1"), text(L"Text2"))))
            install::require(install::NoticeProgram, *this);
        // The window after the splash decodes its picture without waiting for the
        // imaging component to load.
        ui::prepareImaging();
    });
}

void Formlauncher::Timer1_Timer() {
    // Once only: a tick while a message box of the routing is up would route again.
    setTimerEnabled(L"Timer1", false);
    // The next window opens before the splash goes, so the program always has one.
    if (state::firstRunComplete())
        ui::show<Formmain>();
    else
        ui::show<Formwel>();
    unload();
}
