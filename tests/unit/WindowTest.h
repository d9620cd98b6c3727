// The set-up the window tests share: FakeSystem answers in place of Windows, a fresh
// temporary program folder, and after each test whichever of the named windows it left
// open is unloaded, so that the next test finds none.
#pragma once

#include <gtest/gtest.h>

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

// The editor's windows in the light theme, with no request for the model waiting.
template <class... Windows>
struct EditorWindowTest : WindowTest<FormEditor, Windows...> {
    void SetUp() override {
        WindowTest<FormEditor, Windows...>::SetUp();
        this->folder.put(L"themecolors.une", "0\r\n");
        this->folder.put(L"AiMade.une", "0\r\n");
    }
};
