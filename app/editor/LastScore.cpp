#include "editor/LastScore.h"

#include <windows.h>

#include "editor/Rendering.h"
#include "system/Paths.h"

namespace editor {

void LastScore::remember(const std::wstring& file) {
    const size_t slash = file.find_last_of(L"\\/");
    folder = slash == std::wstring::npos ? std::wstring{} : file.substr(0, slash);
    name = slash == std::wstring::npos ? file : file.substr(slash + 1);
}

// The works folder is made if it is not there yet.
sys::FileDialog LastScore::dialog(std::wstring title, std::wstring filter, bool offerName) const {
    sys::FileDialog dialog{std::move(title), std::move(filter), folder, {}};
    if (offerName) dialog.name = name;
    if (dialog.folder.empty()) {
        const std::wstring& works = rendering::outputFolder;
        const std::wstring parent = sys::parentOf(works);
        if (GetFileAttributesW(parent.c_str()) == INVALID_FILE_ATTRIBUTES)
            CreateDirectoryW(parent.c_str(), nullptr);
        if (GetFileAttributesW(works.c_str()) == INVALID_FILE_ATTRIBUTES)
            CreateDirectoryW(works.c_str(), nullptr);
        // A works folder that could not be made leaves the start to the system.
        const DWORD attributes = GetFileAttributesW(works.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            dialog.folder = works;
    }
    return dialog;
}

}  // namespace editor
