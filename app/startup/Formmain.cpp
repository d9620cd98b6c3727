#include "startup/Formmain.h"

#include <windows.h>

#include "account/FormLOGIN.h"
#include "editor/FormEditor.h"
#include "editor/Rendering.h"
#include "forms/Program.h"
#include "install/ProgramFiles.h"
#include "startup/FormABOUT.h"
#include "startup/FormYHXY.h"
#include "startup/FormYSZC.h"
#include "state/StateFiles.h"
#include "system/Paths.h"
#include "system/System.h"

const ui::FormLayout Formmain::layout{
    .caption = L"Orvane",
    .start = ui::Start::Centred,
    .bounds = ui::px(0, 0, 1286, 748),
    .controls = {
        ui::picture(L"Image1", ui::px(0, 0, 1286, 748), ART_MENU_LIGHT),
        ui::picture(L"Image2", ui::px(0, 0, 1286, 748), ART_MENU_DARK),
        ui::clickArea(L"ImageAi", ui::px(176, 216, 265, 401), &Formmain::ImageAi_Click, L"AI创作"),
        ui::clickArea(L"ImageABOUT", ui::px(464, 216, 617, 81), &Formmain::ImageABOUT_Click, L"关于"),
        ui::clickArea(L"ImageEDITOR", ui::px(464, 328, 193, 289), &Formmain::ImageEDITOR_Click, L"编辑器"),
        ui::clickArea(L"ImageWDZP", ui::px(672, 328, 201, 289), &Formmain::ImageWDZP_Click, L"我的作品"),
        ui::clickArea(L"ImageSET", ui::px(880, 320, 201, 297), &Formmain::ImageSET_Click, L"设置"),
        ui::cross(ui::clickArea(L"ImageU", ui::px(1240, 16, 33, 25), &Formmain::ImageU_Click, L"关闭")),
        ui::link(ui::clickArea(L"ImageYHXY", ui::px(384, 712, 137, 25), &Formmain::ImageYHXY_Click,
                               L"Orvane用户协议")),
        ui::link(ui::clickArea(L"ImageYSZC", ui::px(552, 712, 145, 25), &Formmain::ImageYSZC_Click,
                               L"Orvane隐私政策")),
    }};

Formmain::Formmain() : Form(layout) {}

std::wstring Formmain::explorerPath() {
    wchar_t folder[MAX_PATH] = {};
    GetWindowsDirectoryW(folder, MAX_PATH);
    return std::wstring(folder) + L"\\explorer.exe";
}

void Formmain::Form_Load() {
    fitToPicture(L"Image1");
    showThemePicture(state::isLightTheme());
}

void Formmain::ImageAi_Click() {
    sys::endOn(state::write(state::AiRequest, state::AiWanted));
    // The editor runs the AI model while it loads, before the menu goes.
    ui::show<FormEditor>();
    unload();
}

void Formmain::ImageEDITOR_Click() {
    unload();
    ui::show<FormEditor>();
}

namespace {

// Creates the folder unless a folder or a file of that name is there. Returns 0 or
// the system's error code.
uint32_t createFolderIfMissing(const std::wstring& path) {
    if (path.empty() || GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return 0;
    return CreateDirectoryW(path.c_str(), nullptr) ? 0 : GetLastError();
}

}  // namespace

void Formmain::ImageWDZP_Click() {
    uint32_t error = createFolderIfMissing(sys::parentOf(rendering::outputFolder));
    if (!error) error = createFolderIfMissing(rendering::outputFolder);
    if (!error) error = sys::start(explorerPath(), L"\"" + rendering::outputFolder + L"\"").error;
    if (error) sys::message(L"错误: " + sys::describe(error));
}

void Formmain::ImageSET_Click() {
    ui::show<FormLOGIN>();
}

void Formmain::ImageABOUT_Click() {
    ui::show<FormABOUT>();
}

void Formmain::ImageYHXY_Click() {
    ui::show<FormYHXY>();
}

void Formmain::ImageYSZC_Click() {
    ui::show<FormYSZC>();
}

void Formmain::ImageU_Click() {
    unload();
}
