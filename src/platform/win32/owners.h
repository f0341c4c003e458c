#pragma once
// Owners of the Win32 resources a function holds for its own duration: each
// gives its resource back when it goes out of scope, on every path. None
// can be copied; an owner of nothing (a failed creation) releases nothing
// and tests false.

#include "platform/win32/win32.h"

namespace rook::win32 {

// A memory device context from CreateCompatibleDC, deleted at the end.
class MemoryDC {
public:
    explicit MemoryDC(HDC compatibleWith) : dc_(::CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDC() {
        if (dc_ != nullptr) {
            ::DeleteDC(dc_);
        }
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HDC dc_;
};

// An object selected into a device context; the one it replaced is
// selected again at the end, so that the object can be deleted afterwards.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) {
            ::SelectObject(dc_, previous_);
        }
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A GDI object (bitmap, brush, pen), deleted at the end unless released.
template <typename Handle>
class GdiObject {
public:
    explicit GdiObject(Handle object = nullptr) : object_(object) {}
    ~GdiObject() {
        if (object_ != nullptr) {
            ::DeleteObject(object_);
        }
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    Handle get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    Handle object_;
};

// A window's device context from GetDC, released at the end.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(::GetDC(window)) {}
    ~WindowDC() {
        if (dc_ != nullptr) {
            ::ReleaseDC(window_, dc_);
        }
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// A lock on a global memory block, unlocked at the end.
class GlobalMemoryLock {
public:
    explicit GlobalMemoryLock(HGLOBAL block)
        : block_(block), data_(block != nullptr ? ::GlobalLock(block) : nullptr) {}
    ~GlobalMemoryLock() {
        if (data_ != nullptr) {
            ::GlobalUnlock(block_);
        }
    }
    GlobalMemoryLock(const GlobalMemoryLock&) = delete;
    GlobalMemoryLock& operator=(const GlobalMemoryLock&) = delete;

    void* data() const { return data_; }
    SIZE_T size() const { return data_ != nullptr ? ::GlobalSize(block_) : 0; }
    explicit operator bool() const { return data_ != nullptr; }

private:
    HGLOBAL block_;
    void* data_;
};

// A storage medium filled by IDataObject::GetData, released at the end.
class StorageMedium {
public:
    StorageMedium() = default;
    ~StorageMedium() {
        if (filled_) {
            ::ReleaseStgMedium(&medium_);
        }
    }
    StorageMedium(const StorageMedium&) = delete;
    StorageMedium& operator=(const StorageMedium&) = delete;

    // Asks the data object for the format; whether it gave the data.
    bool Fetch(IDataObject* data, FORMATETC& format) {
        filled_ = data->GetData(&format, &medium_) == S_OK;
        return filled_;
    }
    const STGMEDIUM& get() const { return medium_; }

private:
    STGMEDIUM medium_{};
    bool filled_ = false;
};

// A COM interface pointer, released at the end.
template <typename Interface>
class ComPointer {
public:
    ComPointer() = default;
    explicit ComPointer(Interface* pointer) : pointer_(pointer) {}
    ~ComPointer() {
        if (pointer_ != nullptr) {
            pointer_->Release();
        }
    }
    ComPointer(const ComPointer&) = delete;
    ComPointer& operator=(const ComPointer&) = delete;

    Interface* get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    // Where a call that makes an interface puts it; one held already goes.
    Interface** put() {
        if (pointer_ != nullptr) {
            pointer_->Release();
            pointer_ = nullptr;
        }
        return &pointer_;
    }
    explicit operator bool() const { return pointer_ != nullptr; }

private:
    Interface* pointer_ = nullptr;
};

} // namespace rook::win32
