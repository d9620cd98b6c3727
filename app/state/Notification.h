// A notification request: the title and the text go into title.une and text.une,
// both written and closed, then notice.exe shows them for three seconds.
#pragma once

#include <string>

namespace ui {
class Form;
}

namespace state {

// Posts the request. A missing notice.exe shows nothing. Returns whether notice.exe
// was started.
bool postNotification(const std::wstring& title, const std::wstring& text);

// The same, where a missing notice.exe means a damaged installation: the requesting
// window unloads and the error window takes its place.
bool postNotification(const std::wstring& title, const std::wstring& text, ui::Form& requester);

}  // namespace state
