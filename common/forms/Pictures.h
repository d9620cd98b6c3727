// Window pictures: PNG files (or runs of pixels, forms/Runs.h) embedded as resources,
// each drawn at several scales (RCDATA at 1x, PICTURE150 and PICTURE200 of the same id at
// 1.5x and 2x). A window asks for a picture at the size it shows it; the nearest scale
// that is not smaller is decoded (PNG by the imaging component, WIC) and, where its size
// differs, filtered to that size.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace ui {

// The picture's size at 1x (read from its header, without decoding), or 0 x 0
// when the resource is missing.
SIZE pictureSize(int resourceId);

// A new bitmap of the picture at `size`, owned by the caller; a picture that is missing
// or cannot be decoded throws sys::Failure.
HBITMAP loadPicture(int resourceId, SIZE size);

// Draws the picture at `size` with its top left at `at`, where the program carries it
// ready to draw at exactly that size (as runs, not PNG): row band by row band, with no
// bitmap made and no decoder loaded. False, with nothing drawn, where it does not carry
// it so; false too where drawing fails, after which the caller draws the picture anew.
bool drawReady(HDC dc, int resourceId, POINT at, SIZE size);

// Loads the imaging component in the background, ahead of the first PNG decoded.
void prepareImaging();

// The scales a picture is drawn at, in percent, for the resource types above.
inline constexpr int kPictureScales[] = {100, 150, 200};

// Resamples 32-bit pixels (rows top-down) to another size: an area filter when
// shrinking, linear when enlarging.
std::vector<uint32_t> resample(const std::vector<uint32_t>& pixels, SIZE from, SIZE to);

}  // namespace ui
