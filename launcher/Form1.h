// The starter window of Launcher: never shown. Its load starts 奥文Orvane.exe from
// Launcher's own folder and ends Launcher at once; when that file is missing it gives
// way to the error window, the only window a user of Launcher ever sees.
#pragma once

#include "forms/Form.h"

namespace launcher {

class Form1 : public ui::Form {
public:
    Form1();

private:
    static const ui::FormLayout layout;
    void Form_Load() override;
};

}  // namespace launcher
