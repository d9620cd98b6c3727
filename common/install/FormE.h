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

// A program the requesting window needs is missing: the requester unloads and the
// error window takes its place.
void reportMissing(ui::Form& requester);

}  // namespace install
