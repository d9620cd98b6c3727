// Where scores go: the open and save dialogs start in the folder of the score last saved
// or opened while the program runs, and the save dialog offers its name; before any, they
// start in the works folder that 我的作品 opens.
#pragma once

#include <string>

#include "system/System.h"

namespace editor {

struct LastScore {
    std::wstring folder, name;

    void remember(const std::wstring& file);
    // A dialog that starts there; `offerName` puts the last name in.
    sys::FileDialog dialog(std::wstring title, std::wstring filter, bool offerName) const;
};

}  // namespace editor
