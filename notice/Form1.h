// The notice window: a small dark panel with a title, a body text and the time of
// day, topmost at a fixed place of the screen. It reads one notification request
// (title.une, text.une) from its program folder and ends three seconds after it
// appears. It never takes the focus from the program in front and writes no file.
#pragma once

#include <string>

#include "forms/Form.h"
#include "system/System.h"

namespace notice {

// The clock of the panel: the hour without a leading zero, the minutes in two digits.
std::wstring clockText(const sys::TimeOfDay& time);

class Form1 : public ui::Form {
public:
    Form1();

private:
    static const ui::FormLayout layout;
    void Form_Load() override;
    void Timer1_Timer();
};

// Shows the panel and starts its three seconds. They count from the moment the panel is
// on the screen and painted, not from its load: the first paint can take a moment
// while the fonts load.
void popUp();

}  // namespace notice
