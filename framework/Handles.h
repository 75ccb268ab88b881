// Owning wrappers for the Win32 handles the program keeps: each is freed by the call that
// matches its kind when its owner goes.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <unknwn.h>

#include <memory>
#include <type_traits>

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { ::DeleteObject(object); }
};
struct IconDeleter {
    void operator()(HICON icon) const { ::DestroyIcon(icon); }
};
struct MenuDeleter {
    void operator()(HMENU menu) const { ::DestroyMenu(menu); }
};
struct ImageListDeleter {
    void operator()(HIMAGELIST list) const { ::ImageList_Destroy(list); }
};
struct WindowDestroyer {
    void operator()(HWND window) const
    {
        if (::IsWindow(window))
            ::DestroyWindow(window);
    }
};
struct KernelHandleCloser {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
struct GlobalBlockFree {
    void operator()(void* block) const { ::GlobalFree(block); }
};
struct ComRelease {
    void operator()(IUnknown* object) const { object->Release(); }
};

template <typename Handle, typename Deleter>
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<Handle>, Deleter>;

using UniqueBitmap = UniqueHandle<HBITMAP, GdiObjectDeleter>;
using UniqueFont = UniqueHandle<HFONT, GdiObjectDeleter>;
using UniqueIcon = UniqueHandle<HICON, IconDeleter>;
using UniqueMenu = UniqueHandle<HMENU, MenuDeleter>;
using UniqueImageList = UniqueHandle<HIMAGELIST, ImageListDeleter>;
using UniqueWindow = UniqueHandle<HWND, WindowDestroyer>;
// A kernel handle that is valid (never NULL or INVALID_HANDLE_VALUE) while held.
using UniqueKernelHandle = std::unique_ptr<void, KernelHandleCloser>;
// A global memory block (GlobalAlloc).
using GlobalBlock = std::unique_ptr<void, GlobalBlockFree>;
// A COM interface holding one reference.
template <class Interface>
using ComPtr = std::unique_ptr<Interface, ComRelease>;
