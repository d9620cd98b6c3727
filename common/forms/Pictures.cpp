#include "forms/Pictures.h"

#include <objidl.h>

#include <algorithm>
using std::max;
using std::min;
#include <gdiplus.h>

#include <map>

namespace ui {

namespace {

void startGdiplus() {
    static ULONG_PTR token = [] {
        Gdiplus::GdiplusStartupInput input;
        ULONG_PTR t = 0;
        Gdiplus::GdiplusStartup(&t, &input, nullptr);
        return t;
    }();
    (void)token;
}

HBITMAP decode(int resourceId) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(10));
    if (!resource) return nullptr;
    const DWORD size = SizeofResource(module, resource);
    const void* data = LockResource(LoadResource(module, resource));
    if (!data || size == 0) return nullptr;

    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!copy) return nullptr;
    memcpy(GlobalLock(copy), data, size);
    GlobalUnlock(copy);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(copy, TRUE, &stream))) {
        GlobalFree(copy);
        return nullptr;
    }
    startGdiplus();
    HBITMAP bitmap = nullptr;
    {
        Gdiplus::Bitmap picture(stream);
        if (picture.GetLastStatus() == Gdiplus::Ok)
            picture.GetHBITMAP(Gdiplus::Color(0, 0, 0, 0), &bitmap);
    }
    stream->Release();
    return bitmap;
}

}  // namespace

HBITMAP pictureBitmap(int resourceId) {
    static std::map<int, HBITMAP> cache;
    auto it = cache.find(resourceId);
    if (it == cache.end()) it = cache.emplace(resourceId, decode(resourceId)).first;
    return it->second;
}

SIZE pictureSize(int resourceId) {
    BITMAP info{};
    if (HBITMAP bitmap = pictureBitmap(resourceId)) GetObjectW(bitmap, sizeof info, &info);
    return {info.bmWidth, info.bmHeight};
}

}  // namespace ui
