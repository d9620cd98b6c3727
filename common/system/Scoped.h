// Resources owned once: each holder frees what it holds when it goes out of scope, so
// that no code pairs a create with a delete, a select with a restore or an open with a
// close by hand. Holders move and never copy: a resource has one owner.
#pragma once

#include <windows.h>

#include <utility>

namespace sys {

// A handle or pointer of type T freed by Free; null holds nothing.
template <class T, class Free>
class Scoped {
public:
    Scoped() = default;
    explicit Scoped(T held) : held_(held) {}
    ~Scoped() { reset(); }
    Scoped(Scoped&& other) noexcept : held_(other.release()) {}
    Scoped& operator=(Scoped&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    Scoped(const Scoped&) = delete;
    Scoped& operator=(const Scoped&) = delete;

    T get() const { return held_; }
    operator T() const { return held_; }
    explicit operator bool() const { return held_ != nullptr; }
    // Frees what is held and takes `held` instead.
    void reset(T held = nullptr) {
        if (held_ != nullptr && held_ != held) Free{}(held_);
        held_ = held;
    }
    T release() { return std::exchange(held_, nullptr); }

private:
    T held_ = nullptr;
};

struct CloseKernelHandle {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
struct CloseSearch {
    void operator()(HANDLE h) const { FindClose(h); }
};
struct DeleteGdiObject {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct DeleteMemoryDc {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
struct FreeLocal {
    void operator()(void* memory) const { LocalFree(memory); }
};

// A process, thread or event.
using Handle = Scoped<HANDLE, CloseKernelHandle>;
// An open file and a file search, made by functions that fail with INVALID_HANDLE_VALUE.
class FileHandle : public Scoped<HANDLE, CloseKernelHandle> {
public:
    explicit FileHandle(HANDLE h) : Scoped(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
};
class Search : public Scoped<HANDLE, CloseSearch> {
public:
    explicit Search(HANDLE h) : Scoped(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
};

template <class T>
using GdiObject = Scoped<T, DeleteGdiObject>;
using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;
using Bitmap = GdiObject<HBITMAP>;

template <class T>
using Local = Scoped<T*, FreeLocal>;

// A COM object, released once; `put()` hands its address to a function that makes one.
template <class T>
class Com {
public:
    Com() = default;
    ~Com() { reset(); }
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    T* operator->() const { return object_; }
    T* get() const { return object_; }
    T** put() {
        reset();
        return &object_;
    }

private:
    void reset() {
        if (object_) object_->Release();
        object_ = nullptr;
    }
    T* object_ = nullptr;
};

// An object selected into a device context, the previous one selected again after use.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~Selection() { SelectObject(dc_, previous_); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A window's device context (the screen's for no window), released after use.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() { ReleaseDC(window_, dc_); }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    operator HDC() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// The device context of a paint, ended after use.
class PaintDc {
public:
    explicit PaintDc(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~PaintDc() { EndPaint(window_, &paint_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    operator HDC() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// A memory device context compatible with `like`, deleted after use.
using MemoryDc = Scoped<HDC, DeleteMemoryDc>;
inline MemoryDc memoryDcLike(HDC like) {
    return MemoryDc(CreateCompatibleDC(like));
}

// A bitmap of `size` compatible with `like`, selected into a memory context of its own
// for drawing: a canvas to paint off screen and copy out in one go.
class Canvas {
public:
    Canvas(HDC like, SIZE size)
        : dc_(CreateCompatibleDC(like)),
          bitmap_(CreateCompatibleBitmap(like, size.cx, size.cy)),
          selected_(dc_, bitmap_) {}
    operator HDC() const { return dc_; }

private:
    MemoryDc dc_;  // members go in reverse: the bitmap is selected out, deleted, then the context
    Bitmap bitmap_;
    Selection selected_;
};

}  // namespace sys
