#include "forms/Pictures.h"

#include <objidl.h>

#include <algorithm>
using std::max;
using std::min;
#include <gdiplus.h>

#include <map>
#include <string>

#include "system/Failure.h"
#include "system/Paths.h"

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

[[noreturn]] void cannotLoad(int resourceId, const std::wstring& reason) {
    throw sys::Failure(L"无法载入图片 " + std::to_wstring(resourceId) + L"：" + reason);
}

HBITMAP decode(int resourceId) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(10));
    if (!resource) cannotLoad(resourceId, sys::describe(GetLastError()));
    const DWORD size = SizeofResource(module, resource);
    const void* data = LockResource(LoadResource(module, resource));
    if (!data || size == 0) cannotLoad(resourceId, sys::describe(GetLastError()));

    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!copy) cannotLoad(resourceId, sys::describe(GetLastError()));
    void* place = GlobalLock(copy);
    if (!place) {
        const DWORD error = GetLastError();
        GlobalFree(copy);
        cannotLoad(resourceId, sys::describe(error));
    }
    memcpy(place, data, size);
    GlobalUnlock(copy);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(copy, TRUE, &stream))) {
        GlobalFree(copy);
        cannotLoad(resourceId, L"无法创建内存流");
    }
    startGdiplus();
    HBITMAP bitmap = nullptr;
    {
        Gdiplus::Bitmap picture(stream);
        if (picture.GetLastStatus() == Gdiplus::Ok) picture.GetHBITMAP(Gdiplus::Color(0, 0, 0, 0), &bitmap);
    }
    stream->Release();
    if (!bitmap) cannotLoad(resourceId, L"图片数据无法解码");
    return bitmap;
}

}  // namespace

HBITMAP pictureBitmap(int resourceId) {
    static std::map<int, HBITMAP> cache;
    auto it = cache.find(resourceId);
    if (it == cache.end()) it = cache.emplace(resourceId, decode(resourceId)).first;  // a failure throws
    return it->second;
}

SIZE pictureSize(int resourceId) {
    BITMAP info{};
    if (HBITMAP bitmap = pictureBitmap(resourceId)) GetObjectW(bitmap, sizeof info, &info);
    return {info.bmWidth, info.bmHeight};
}

}  // namespace ui
