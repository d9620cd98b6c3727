// The user agreement: a tool window with the read-only text, closed by its title bar.
#pragma once

#include "forms/Form.h"

class FormYHXY : public ui::Form {
public:
    FormYHXY();

private:
    static const ui::FormLayout layout;
};
