// What a window shows assistive technology: its client as an MSAA object whose children
// are its click areas (simple elements: name, role, default action) and its text boxes
// (the system's own objects for edit controls, named by their labels). Everything is
// read from the window's control table at the moment it is asked, through the window's
// handle: an object a screen reader keeps after the window has gone answers that it has.
#pragma once

#include <windows.h>

namespace ui {

class Form;

// The answer to WM_GETOBJECT for the window's client (OBJID_CLIENT), 0 for others.
LRESULT answerClientObject(HWND window, WPARAM flags, LPARAM objectId);

// Lets a text box answer WM_GETOBJECT with its label as its name.
void nameTextBox(HWND edit);

}  // namespace ui
