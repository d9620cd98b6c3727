#include "startup/FormABOUT.h"

#include "install/ProgramFiles.h"

const ui::FormLayout FormABOUT::layout{
    .caption = L"关于",
    .start = ui::Start::Centred,
    .bounds = ui::px(0, 0, 858, 612),
    .escapeCloses = true,  // as the cross does
    .controls = {
        ui::picture(L"Image1", ui::px(0, 0, 861, 615), ART_ABOUT),
        ui::cross(ui::clickArea(L"ImageU", ui::px(808, 32, 25, 25), &FormABOUT::ImageU_Click, L"关闭")),
    }};

FormABOUT::FormABOUT() : Form(layout) {}

void FormABOUT::ImageU_Click() {
    unload();
}
