#include "forms/Pictures.h"

#include <wincodec.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <system_error>
#include <thread>

#include "forms/Runs.h"
#include "system/Failure.h"
#include "system/Paths.h"
#include "system/Scoped.h"

namespace ui {

namespace {

IWICImagingFactory* makeFactory() {
    IWICImagingFactory* made = nullptr;
    CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&made));
    return made;
}

// The imaging component's factory, made once for the thread of the windows.
IWICImagingFactory* imaging() {
    static IWICImagingFactory* factory = [] {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // S_FALSE when it already was
        return makeFactory();
    }();
    return factory;
}

const wchar_t* resourceType(int percent) {
    switch (percent) {
        case 150:
            return L"PICTURE150";
        case 200:
            return L"PICTURE200";
        default:
            return MAKEINTRESOURCEW(10);  // RT_RCDATA
    }
}

struct Resource {
    const unsigned char* data = nullptr;
    DWORD size = 0;
};

Resource find(int resourceId, int percent) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(resourceId), resourceType(percent));
    if (!resource) return {};
    const auto* data = static_cast<const unsigned char*>(LockResource(LoadResource(module, resource)));
    return {data, data ? SizeofResource(module, resource) : 0};
}

bool isPng(const Resource& picture) {
    return picture.size >= 24 && std::memcmp(picture.data + 12, "IHDR", 4) == 0;
}

// Width and height from the PNG's header chunk, or from the runs' header.
SIZE headerSize(const Resource& picture) {
    if (!isPng(picture)) return Runs(picture.data, picture.size).size();
    auto number = [&](int at) {
        return static_cast<LONG>((picture.data[at] << 24) | (picture.data[at + 1] << 16) |
                                 (picture.data[at + 2] << 8) | picture.data[at + 3]);
    };
    return {number(16), number(20)};
}

// A bitmap of 32-bit pixels, rows top-down, that the program writes directly.
struct Pixels {
    sys::Bitmap bitmap;
    uint32_t* bits = nullptr;
    explicit operator bool() const { return bits != nullptr; }
};

// The header of 32-bit pixels of `size`, rows top-down.
BITMAPINFO topDown(SIZE size) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

Pixels newPixels(SIZE size) {
    const BITMAPINFO info = topDown(size);
    void* bits = nullptr;
    Pixels made;
    made.bitmap.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (made.bitmap) made.bits = static_cast<uint32_t*>(bits);
    return made;
}

// The PNG's pixels; none when it cannot be decoded. The imaging component reads the
// resource in place and writes the rows straight into the bitmap.
Pixels decode(IWICImagingFactory* factory, const Resource& png, SIZE size) {
    sys::Com<IWICStream> stream;
    sys::Com<IWICBitmapDecoder> decoder;
    sys::Com<IWICBitmapFrameDecode> frame;
    sys::Com<IWICBitmapSource> converted;
    UINT width = 0, height = 0;
    const bool ok =
        factory && SUCCEEDED(factory->CreateStream(stream.put())) &&
        SUCCEEDED(stream->InitializeFromMemory(const_cast<BYTE*>(png.data), png.size)) &&
        SUCCEEDED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                                   decoder.put())) &&
        SUCCEEDED(decoder->GetFrame(0, frame.put())) &&
        SUCCEEDED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGR, frame.get(), converted.put())) &&
        SUCCEEDED(converted->GetSize(&width, &height)) && static_cast<LONG>(width) == size.cx &&
        static_cast<LONG>(height) == size.cy;
    if (!ok) return {};
    Pixels pixels = newPixels(size);
    const UINT bytes = width * height * 4;
    if (pixels && FAILED(converted->CopyPixels(nullptr, width * 4, bytes, reinterpret_cast<BYTE*>(pixels.bits))))
        return {};
    return pixels;
}

Pixels decodeRuns(const Resource& picture, SIZE size) {
    Runs runs(picture.data, picture.size);
    if (runs.size().cx != size.cx || runs.size().cy != size.cy || !runs.whole()) return {};
    Pixels pixels = newPixels(size);
    for (LONG y = 0; pixels && y < size.cy; ++y) runs.nextRow(pixels.bits + static_cast<size_t>(y) * size.cx);
    return pixels;
}

// The scales to try for a picture shown `need` times its 1x size: the nearest that is
// not smaller first (shrinking keeps the edges crisp, enlarging blurs them), then the
// smaller ones from the largest down.
std::vector<int> preference(double need) {
    std::vector<int> order;
    for (int percent : kPictureScales)
        if (percent >= need * 100 - 0.5) order.push_back(percent);
    for (auto it = std::rbegin(kPictureScales); it != std::rend(kPictureScales); ++it)
        if (*it < need * 100 - 0.5) order.push_back(*it);
    return order;
}

struct Tap {
    int index;
    int weight;  // of 1 << 14
};

// For each pixel of a row of `to` pixels, the source pixels of a row of `from` that it
// takes and their weights: when shrinking, each source pixel by how much of it the
// pixel covers (an area filter: the crispest that keeps every pixel's share); when
// enlarging, the two nearest by their distance (linear).
std::vector<std::vector<Tap>> taps(int from, int to) {
    constexpr int kOne = 1 << 14;
    const double step = static_cast<double>(from) / to;  // source pixels per pixel
    std::vector<std::vector<Tap>> all(static_cast<size_t>(to));
    for (int i = 0; i < to; ++i) {
        std::vector<std::pair<int, double>> raw;
        if (step >= 1) {
            const double begin = i * step, end = (i + 1) * step;
            for (int j = static_cast<int>(begin); j < end && j < from; ++j)
                raw.emplace_back(j, std::min<double>(j + 1, end) - std::max<double>(j, begin));
        } else {
            const double centre = std::clamp((i + 0.5) * step - 0.5, 0.0, from - 1.0);
            const int left = static_cast<int>(centre);
            raw.emplace_back(left, 1 - (centre - left));
            if (left + 1 < from) raw.emplace_back(left + 1, centre - left);
        }
        double total = 0;
        for (const auto& [index, w] : raw) total += w;
        int given = 0;
        for (const auto& [index, w] : raw) {
            const int weight = static_cast<int>(std::lround(w / total * kOne));
            all[static_cast<size_t>(i)].push_back({index, weight});
            given += weight;
        }
        all[static_cast<size_t>(i)].front().weight += kOne - given;  // the weights add up to one exactly
    }
    return all;
}

uint32_t blend(const uint32_t* row, size_t step, const std::vector<Tap>& taps) {
    int sum[4] = {};
    for (const Tap& t : taps) {
        const uint32_t p = row[static_cast<size_t>(t.index) * step];
        for (int c = 0; c < 4; ++c) sum[c] += static_cast<int>((p >> (8 * c)) & 0xFF) * t.weight;
    }
    uint32_t out = 0;
    for (int c = 0; c < 4; ++c)
        out |= static_cast<uint32_t>(std::clamp((sum[c] + (1 << 13)) >> 14, 0, 255)) << (8 * c);
    return out;
}

}  // namespace

std::vector<uint32_t> resample(const std::vector<uint32_t>& pixels, SIZE from, SIZE to) {
    const auto across = taps(from.cx, to.cx), down = taps(from.cy, to.cy);
    std::vector<uint32_t> wide(static_cast<size_t>(to.cx) * from.cy);
    for (LONG y = 0; y < from.cy; ++y)
        for (LONG x = 0; x < to.cx; ++x)
            wide[static_cast<size_t>(y) * to.cx + x] =
                blend(&pixels[static_cast<size_t>(y) * from.cx], 1, across[x]);
    std::vector<uint32_t> out(static_cast<size_t>(to.cx) * to.cy);
    for (LONG y = 0; y < to.cy; ++y)
        for (LONG x = 0; x < to.cx; ++x)
            out[static_cast<size_t>(y) * to.cx + x] = blend(&wide[x], static_cast<size_t>(to.cx), down[y]);
    return out;
}

SIZE pictureSize(int resourceId) {
    return headerSize(find(resourceId, 100));
}

HBITMAP loadPicture(int resourceId, SIZE size) {
    const SIZE base = pictureSize(resourceId);
    if (base.cx <= 0 || base.cy <= 0)
        throw sys::Failure(L"无法载入图片 " + std::to_wstring(resourceId) + L"：程序中没有这张图片");
    if (size.cx <= 0 || size.cy <= 0) return nullptr;
    const double need =
        std::max(static_cast<double>(size.cx) / base.cx, static_cast<double>(size.cy) / base.cy);
    for (int percent : preference(need)) {
        const Resource png = find(resourceId, percent);
        const SIZE drawn = headerSize(png);
        if (drawn.cx <= 0) continue;
        Pixels pixels = isPng(png) ? decode(imaging(), png, drawn) : decodeRuns(png, drawn);
        if (!pixels) continue;
        if (drawn.cx == size.cx && drawn.cy == size.cy) return pixels.bitmap.release();
        Pixels scaled = newPixels(size);
        if (!scaled)
            throw sys::Failure(L"无法载入图片 " + std::to_wstring(resourceId) + L"：" +
                               sys::describe(GetLastError()));
        const auto filtered =
            resample({pixels.bits, pixels.bits + static_cast<size_t>(drawn.cx) * drawn.cy}, drawn, size);
        std::memcpy(scaled.bits, filtered.data(), filtered.size() * 4);
        return scaled.bitmap.release();
    }
    throw sys::Failure(L"无法载入图片 " + std::to_wstring(resourceId) + L"：图片数据无法解码");
}

bool drawReady(HDC dc, int resourceId, POINT at, SIZE size) {
    for (int percent : kPictureScales) {
        const Resource picture = find(resourceId, percent);
        if (isPng(picture)) continue;
        Runs runs(picture.data, picture.size);
        if (runs.size().cx != size.cx || runs.size().cy != size.cy) continue;
        // A picture that cannot be drawn whole is not begun.
        if (!runs.whole()) return false;
        constexpr LONG kBand = 32;  // rows: a band stays in the processor's cache
        std::vector<uint32_t> band(static_cast<size_t>(size.cx) * kBand);
        for (LONG top = 0; top < size.cy; top += kBand) {
            const LONG rows = std::min(kBand, size.cy - top);
            for (LONG y = 0; y < rows; ++y) runs.nextRow(&band[static_cast<size_t>(y) * size.cx]);
            const BITMAPINFO info = topDown({size.cx, rows});
            if (!StretchDIBits(dc, at.x, at.y + top, size.cx, rows, 0, 0, size.cx, rows, band.data(), &info,
                               DIB_RGB_COLORS, SRCCOPY))
                return false;
        }
        return true;
    }
    return false;
}

void prepareImaging() {
    // Its libraries load on a thread of their own and stay loaded: the window that
    // decodes the first PNG then only makes its factory. A library that fails to load
    // here is loaded, or reported, by that decode.
    try {
        std::thread([] {
            for (const wchar_t* library : {L"ole32.dll", L"windowscodecs.dll"})
                LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        }).detach();
    } catch (const std::system_error&) {
        // No thread to be had: the first decode loads them.
    }
}

}  // namespace ui
