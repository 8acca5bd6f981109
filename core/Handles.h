// Move-only owners for the system's handles: each closes its handle exactly once.
#pragma once

#include <windows.h>

#include <utility>

template <typename Traits>
class UniqueHandle {
public:
    using Type = typename Traits::Type;

    UniqueHandle() noexcept : handle_(Traits::Invalid()) {}
    explicit UniqueHandle(Type handle) noexcept : handle_(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Reset(); }

    Type Get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Traits::Invalid(); }

    Type Release() noexcept { return std::exchange(handle_, Traits::Invalid()); }
    void Reset(Type handle = Traits::Invalid()) noexcept
    {
        if (handle_ != Traits::Invalid()) Traits::Close(handle_);
        handle_ = handle;
    }
    // For functions that return a handle through a pointer argument.
    Type* Receive() noexcept
    {
        Reset();
        return &handle_;
    }

private:
    Type handle_;
};

struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::CloseHandle(h); }
};
struct FileHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) { ::CloseHandle(h); }
};
struct FindHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) { ::FindClose(h); }
};
struct RegKeyTraits {
    using Type = HKEY;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::RegCloseKey(h); }
};
struct GdiObjectTraits {
    using Type = HGDIOBJ;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::DeleteObject(h); }
};
struct MemoryContextTraits {
    using Type = HDC;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::DeleteDC(h); }
};
struct FontTraits {
    using Type = HFONT;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::DeleteObject(h); }
};

using KernelHandle = UniqueHandle<KernelHandleTraits>;  // processes, threads, events
using FileHandle = UniqueHandle<FileHandleTraits>;      // CreateFile
using FindHandle = UniqueHandle<FindHandleTraits>;      // FindFirstFile
using RegKey = UniqueHandle<RegKeyTraits>;
using GdiObject = UniqueHandle<GdiObjectTraits>;  // pens and brushes
using FontHandle = UniqueHandle<FontTraits>;
using MemoryContext = UniqueHandle<MemoryContextTraits>;  // CreateCompatibleDC

// A COM interface pointer that releases its reference.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        if (this != &other) {
            Reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { Reset(); }

    T* Get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    T** Receive() noexcept
    {
        Reset();
        return &p_;
    }
    void Reset() noexcept
    {
        if (p_) std::exchange(p_, nullptr)->Release();
    }

private:
    T* p_ = nullptr;
};

// The screen's device context, for measuring text before a window shows.
class ScreenContext {
public:
    ScreenContext() : dc_(::GetDC(nullptr)) {}
    ~ScreenContext() { ::ReleaseDC(nullptr, dc_); }
    ScreenContext(const ScreenContext&) = delete;
    ScreenContext& operator=(const ScreenContext&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

// Selects a GDI object into a device context for one scope.
class SelectObjectScope {
public:
    SelectObjectScope(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
    ~SelectObjectScope() { ::SelectObject(dc_, old_); }
    SelectObjectScope(const SelectObjectScope&) = delete;
    SelectObjectScope& operator=(const SelectObjectScope&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};
