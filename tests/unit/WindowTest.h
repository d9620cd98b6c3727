// The set-up the window tests share: FakeSystem answers in place of Windows, a fresh
// temporary program folder, and after each test whichever of the named windows it left
// open is unloaded, so that the next test finds none.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include "FakeSystem.h"
#include "editor/FormEditor.h"
#include "forms/Program.h"

template <class... Windows>
struct WindowTest : ::testing::Test {
    FakeSystem system;
    TempFolder folder;

    void SetUp() override { ui::initialise(L"奥文Orvane"); }
    void TearDown() override {
        (unloadIfOpen<Windows>(), ...);
        ui::collect();
    }

    template <class T>
    static void unloadIfOpen() {
        if (T* form = ui::find<T>()) form->unload();
    }
};

// A left click at pixel x, y of the window, pressed and released in place.
inline void clickAt(const ui::Form& form, int x, int y) {
    SendMessageW(form.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(form.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

// A click in the middle of the named area, where the window's own table lays it.
inline void clickMiddle(const ui::Form& form, const wchar_t* name) {
    const ui::Twips at = form.control(name).bounds;
    clickAt(form, (at.left + at.width / 2) / ui::kTwipsPerPixel,
            (at.top + at.height / 2) / ui::kTwipsPerPixel);
}

// The editor's windows in the light theme, with no request for the model waiting.
template <class... Windows>
struct EditorWindowTest : WindowTest<FormEditor, Windows...> {
    void SetUp() override {
        WindowTest<FormEditor, Windows...>::SetUp();
        this->folder.put(L"themecolors.une", "0\r\n");
        this->folder.put(L"AiMade.une", "0\r\n");
    }
};
