// Window pictures: PNG files embedded as resources, each drawn at several scales (RCDATA
// at 1x, PICTURE150 and PICTURE200 of the same id at 1.5x and 2x). A window asks
// for a picture at the size it shows it; the nearest scale that is not smaller is
// decoded by the imaging component (WIC) and, where its size differs, filtered to that size.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace ui {

// The picture's size at 1x (read from the PNG header, without decoding), or 0 x 0
// when the resource is missing.
SIZE pictureSize(int resourceId);

// A new bitmap of the picture at `size`, owned by the caller; a picture that is missing
// or cannot be decoded throws sys::Failure.
HBITMAP loadPicture(int resourceId, SIZE size);

// Starts decoding the picture on a thread of its own, at the scale of the system's DPI
// (the primary monitor's, where windows open): the next loadPicture of it at that scale
// takes the pixels instead of decoding them, so that a first paint waits less while the
// window is made. A picture shown at another scale is decoded as usual.
void preparePicture(int resourceId);

// The scales a picture is drawn at, in percent, for the resource types above.
inline constexpr int kPictureScales[] = {100, 150, 200};

// Resamples 32-bit pixels (rows top-down) to another size: an area filter when
// shrinking, linear when enlarging.
std::vector<uint32_t> resample(const std::vector<uint32_t>& pixels, SIZE from, SIZE to);

}  // namespace ui
