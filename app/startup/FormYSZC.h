// The privacy policy: a tool window with the read-only text, closed by its title bar.
#pragma once

#include "forms/Form.h"

class FormYSZC : public ui::Form {
public:
    FormYSZC();

private:
    static const ui::FormLayout layout;
};
