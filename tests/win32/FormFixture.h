// A fresh main window for a test, with a settings file of its own and following the mouse switched off.
#pragma once

#include "ShellTestSupport.h"
#include "TargetProcess.h"
#include "app/Main.h"
#include "config/EasyConfig.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

// The keyboard state that GetKeyState reports to this thread, as if the user held the keys.
inline void HoldKeys(std::initializer_list<int> keys) {
    BYTE state[256] = {};
    for (int key : keys)
        state[key] = 0x80;
    SetKeyboardState(state);
}

class FormTest : public ::testing::Test {
  protected:
    std::unique_ptr<TPaneprobeForm> form;

    void SetUp() override {
        DeleteFileA(SettingsPath().c_str());
        HoldKeys({});
        form = std::make_unique<TPaneprobeForm>();
        form->ScanAtMouse->SetValue(false);
        PumpMessages(50);
    }
    void TearDown() override {
        HoldKeys({});
        form.reset();
        DeleteFileA(SettingsPath().c_str());
    }

    template <class T> T& Tab() {
        TPaneprobeTab* tab = form->TabManager->FindTab(TabClassOf<T>());
        EXPECT_NE(tab, nullptr);
        return *static_cast<T*>(tab);
    }
};
