// Pictures carried as runs of pixels (tools/art writes them as name.runs): "RUNS", the
// width and the height, then each row as operations on 3-byte pixels (B, G, R). They
// are read in place from the program file and need no decoder, so that a window can
// draw one row band at a time with nothing loaded first.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace ui {

class Runs {
public:
    // Runs in `data`; size() is 0 x 0 where the header is not theirs.
    Runs(const unsigned char* data, size_t size);

    SIZE size() const { return size_; }
    // Whether every row decodes to exactly the width, within the data.
    bool whole() const;
    // Decodes the next row into `row` (width pixels, 0xFFRRGGBB); false where the data
    // ends early or an operation runs past the row's end.
    bool nextRow(uint32_t* row);

private:
    bool readRow(const unsigned char*& at, uint32_t* row) const;

    const unsigned char* at_ = nullptr;
    const unsigned char* end_ = nullptr;
    SIZE size_{0, 0};
};

}  // namespace ui
