// The splash carried as runs of pixels: the same pixels as its PNG at every scale,
// drawn whole or not at all, and runs that do not add up refused rather than read past.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <vector>

#include "forms/Pictures.h"
#include "forms/Runs.h"
#include "install/ProgramFiles.h"
#include "system/Failure.h"
#include "system/Scoped.h"

namespace {

constexpr int kSplashLightPng = 9101, kSplashDarkPng = 9102;  // pictures.rc
constexpr uint32_t kColour = 0x00FFFFFF;                       // the fourth byte is never shown
constexpr uint32_t kUntouched = 0x00123456;

// Pixels, 32-bit top-down, of a bitmap: its colour only, and the bitmap freed.
std::vector<uint32_t> coloursOf(HBITMAP bitmap) {
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    std::vector<uint32_t> pixels;
    if (info.bmBits && info.bmBitsPixel == 32)
        for (const auto* p = static_cast<const uint32_t*>(info.bmBits),
                        *end = p + static_cast<size_t>(info.bmWidth) * info.bmHeight;
             p != end; ++p)
            pixels.push_back(*p & kColour);
    DeleteObject(bitmap);
    return pixels;
}

// What drawReady leaves on a bitmap of `size` filled with kUntouched, and whether it drew.
std::pair<bool, std::vector<uint32_t>> drawnReady(int resourceId, SIZE size) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;  // rows top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    EXPECT_NE(bitmap, nullptr);
    std::fill_n(static_cast<uint32_t*>(bits), static_cast<size_t>(size.cx) * size.cy, kUntouched);
    bool drew = false;
    {
        const sys::MemoryDc dc(CreateCompatibleDC(nullptr));
        sys::Selection selected(dc, bitmap);
        drew = ui::drawReady(dc, resourceId, {0, 0}, size);
        GdiFlush();
    }
    return {drew, coloursOf(bitmap)};
}

std::vector<unsigned char> runsOf(LONG width, LONG height, std::vector<unsigned char> rows) {
    std::vector<unsigned char> data{'R', 'U', 'N', 'S'};
    for (LONG n : {width, height})
        for (int i = 0; i < 4; ++i) data.push_back(static_cast<unsigned char>(n >> (8 * i)));
    data.insert(data.end(), rows.begin(), rows.end());
    return data;
}

}  // namespace

TEST(Pictures, TheSplashRunsAreItsPngPixelForPixelAtEveryScale) {
    for (const auto& [runs, png] : {std::pair{ART_SPLASH_LIGHT, kSplashLightPng}, {ART_SPLASH_DARK, kSplashDarkPng}}) {
        ASSERT_EQ(ui::pictureSize(runs).cx, 1180);
        ASSERT_EQ(ui::pictureSize(runs).cy, 654);
        for (const SIZE size : {SIZE{1180, 654}, SIZE{1770, 981}, SIZE{2360, 1308}}) {
            SCOPED_TRACE(size.cx);
            const std::vector<uint32_t> expected = coloursOf(ui::loadPicture(png, size));
            ASSERT_EQ(expected.size(), static_cast<size_t>(size.cx) * size.cy);
            EXPECT_TRUE(coloursOf(ui::loadPicture(runs, size)) == expected);
            const auto [drew, drawn] = drawnReady(runs, size);
            EXPECT_TRUE(drew);
            EXPECT_TRUE(drawn == expected);
        }
        // Between the scales it carries, the picture is filtered from the next larger one
        // as a PNG is, and nothing is drawn ready.
        const SIZE between{1475, 818};
        EXPECT_TRUE(coloursOf(ui::loadPicture(runs, between)) == coloursOf(ui::loadPicture(png, between)));
        const auto [drew, drawn] = drawnReady(runs, between);
        EXPECT_FALSE(drew);
        EXPECT_EQ(drawn, std::vector<uint32_t>(drawn.size(), kUntouched));
    }
    // A PNG is never drawn ready: it needs its decoder.
    EXPECT_FALSE(drawnReady(ART_ERROR, ui::pictureSize(ART_ERROR)).first);
}

TEST(Pictures, RunsDecodeRowByRowAndRefuseWhatDoesNotAddUp) {
    // Two rows of 130: a literal of 128 pixels then a run of 2; a run of 129 then one pixel.
    std::vector<unsigned char> rows{127};
    for (int i = 0; i < 128; ++i) rows.insert(rows.end(), {static_cast<unsigned char>(i), 2, 3});
    rows.insert(rows.end(), {128, 0x30, 0x20, 0x10, 255, 9, 8, 7, 0, 1, 1, 1});
    const auto good = runsOf(130, 2, rows);
    ui::Runs runs(good.data(), good.size());
    ASSERT_EQ(runs.size().cx, 130);
    EXPECT_TRUE(runs.whole());
    std::vector<uint32_t> row(130);
    ASSERT_TRUE(runs.nextRow(row.data()));
    EXPECT_EQ(row[5], 0xFF030205u);
    EXPECT_EQ(row[128], 0xFF102030u);
    EXPECT_EQ(row[129], 0xFF102030u);
    ASSERT_TRUE(runs.nextRow(row.data()));
    EXPECT_EQ(row[0], 0xFF070809u);
    EXPECT_EQ(row[128], 0xFF070809u);
    EXPECT_EQ(row[129], 0xFF010101u);

    // Cut short anywhere, or with an operation past its row's end, the runs are not whole,
    // and a picture stops where they stop.
    for (size_t cut = 12; cut < good.size(); cut += 37) {
        const std::vector<unsigned char> shorter(good.begin(), good.begin() + static_cast<long>(cut));
        EXPECT_FALSE(ui::Runs(shorter.data(), shorter.size()).whole()) << cut;
    }
    const auto across = runsOf(3, 2, {129, 1, 2, 3, 0, 4, 5, 6, 130, 7, 8, 9});  // 3, then 1 + 4
    ui::Runs spilling(across.data(), across.size());
    EXPECT_FALSE(spilling.whole());
    EXPECT_TRUE(spilling.nextRow(row.data()));
    EXPECT_FALSE(spilling.nextRow(row.data()));

    // A header that is not theirs, or sizes no picture has, give no size.
    for (const auto& other : {runsOf(0, 5, {}), runsOf(5, -1, {}), runsOf(1 << 20, 2, {}),
                              std::vector<unsigned char>{0x89, 'P', 'N', 'G', 0, 0, 0, 0, 0, 0, 0, 0}})
        EXPECT_EQ(ui::Runs(other.data(), other.size()).size().cx, 0);
}
