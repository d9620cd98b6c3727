#include "forms/Runs.h"

#include <cstring>

namespace ui {

namespace {

constexpr unsigned char kMagic[4] = {'R', 'U', 'N', 'S'};
constexpr size_t kHeader = 12;
constexpr LONG kLargest = 1 << 15;  // pixels a side: more is no picture of ours

LONG number(const unsigned char* at) {
    return static_cast<LONG>(at[0] | (at[1] << 8) | (at[2] << 16) | (static_cast<uint32_t>(at[3]) << 24));
}

uint32_t pixel(const unsigned char* bgr) {
    return 0xFF000000u | (static_cast<uint32_t>(bgr[2]) << 16) | (static_cast<uint32_t>(bgr[1]) << 8) | bgr[0];
}

}  // namespace

Runs::Runs(const unsigned char* data, size_t size) {
    if (!data || size < kHeader || std::memcmp(data, kMagic, sizeof kMagic) != 0) return;
    const SIZE read{number(data + 4), number(data + 8)};
    if (read.cx <= 0 || read.cy <= 0 || read.cx > kLargest || read.cy > kLargest) return;
    size_ = read;
    at_ = data + kHeader;
    end_ = data + size;
}

bool Runs::whole() const {
    if (size_.cx <= 0) return false;
    const unsigned char* at = at_;
    for (LONG y = 0; y < size_.cy; ++y)
        if (!readRow(at, nullptr)) return false;
    return true;
}

bool Runs::nextRow(uint32_t* row) {
    return size_.cx > 0 && readRow(at_, row);
}

// One row from `at`, written to `row` unless it is null (a check only).
bool Runs::readRow(const unsigned char*& at, uint32_t* row) const {
    for (LONG x = 0; x < size_.cx;) {
        if (at >= end_) return false;
        const unsigned op = *at++;
        const LONG count = op < 128 ? static_cast<LONG>(op) + 1 : static_cast<LONG>(op) - 126;
        const size_t bytes = op < 128 ? static_cast<size_t>(count) * 3 : 3;
        if (count > size_.cx - x || static_cast<size_t>(end_ - at) < bytes) return false;
        if (row && op < 128) {
            for (LONG i = 0; i < count; ++i) row[x + i] = pixel(at + 3 * i);
        } else if (row) {
            const uint32_t p = pixel(at);
            for (LONG i = 0; i < count; ++i) row[x + i] = p;
        }
        at += bytes;
        x += count;
    }
    return true;
}

}  // namespace ui
