// The about window: one picture with the program, its version and its maker, and a
// close cross. It keeps its stored size, 3 pixels smaller than the picture.
#pragma once

#include "forms/Form.h"

class FormABOUT : public ui::Form {
public:
    FormABOUT();

private:
    static const ui::FormLayout layout;
    void ImageU_Click();
};
