// Window pictures: PNG files embedded as RCDATA resources, decoded once by GDI+ and
// kept as bitmaps for the life of the program.
#pragma once

#include <windows.h>

namespace ui {

// The decoded picture of a resource id; a missing or broken one throws sys::Failure.
HBITMAP pictureBitmap(int resourceId);
SIZE pictureSize(int resourceId);

}  // namespace ui
