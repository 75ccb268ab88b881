#include "tests/soak/HandleCensus.h"

#include <shellapi.h>

#include <cstring>

namespace {

// Both kinds of handle keep their index in the low 16 bits.
constexpr UINT_PTR kHandleIndexCount = 0x10000;

bool IsLiveIcon(HICON icon)
{
    ICONINFO info = {};
    if (!::GetIconInfo(icon, &info))
        return false;
    // GetIconInfo hands out copies of the icon's bitmaps.
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
    if (info.hbmMask)
        ::DeleteObject(info.hbmMask);
    return true;
}

BOOL CALLBACK CountChild(HWND, LPARAM count)
{
    ++*reinterpret_cast<std::size_t*>(count);
    return TRUE;
}

BOOL CALLBACK CountWithChildren(HWND window, LPARAM count)
{
    ++*reinterpret_cast<std::size_t*>(count);
    ::EnumChildWindows(window, CountChild, count);
    return TRUE;
}

HICON MakeIcon()
{
    const BYTE andMask[32 * 4] = {};
    BYTE xorMask[32 * 4];
    std::memset(xorMask, 0xFF, sizeof xorMask);
    return ::CreateIcon(::GetModuleHandleA(nullptr), 32, 32, 1, 1, andMask, xorMask);
}

// Writes function into this executable's import table entries for dll!name; returns the address
// they held before (nullptr when the executable does not import it).
void* PatchImport(const char* dll, const char* name, void* function)
{
    auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleA(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0)
        return nullptr;
    void* previous = nullptr;
    for (auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         import->Name != 0; ++import) {
        if (::lstrcmpiA(reinterpret_cast<const char*>(base + import->Name), dll) != 0)
            continue;
        auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        const auto* lookup = reinterpret_cast<const IMAGE_THUNK_DATA*>(
            base + (import->OriginalFirstThunk ? import->OriginalFirstThunk : import->FirstThunk));
        for (; lookup->u1.AddressOfData != 0; ++lookup, ++slot) {
            if (IMAGE_SNAP_BY_ORDINAL(lookup->u1.Ordinal))
                continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + lookup->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), name) != 0)
                continue;
            DWORD protection = 0;
            ::VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &protection);
            previous = reinterpret_cast<void*>(slot->u1.Function);
            slot->u1.Function = reinterpret_cast<decltype(slot->u1.Function)>(function);
            ::VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, protection, &protection);
        }
    }
    return previous;
}

using ExtractIconFunction = HICON(WINAPI*)(HINSTANCE, LPCSTR, UINT);
using DestroyIconFunction = BOOL(WINAPI*)(HICON);

struct WatchState {
    ExtractIconFunction extract = nullptr;
    DestroyIconFunction destroy = nullptr;
    bool skipDestroy = false;
    std::vector<HICON> extracted;
};
WatchState* g_watch = nullptr;

HICON WINAPI WatchedExtractIcon(HINSTANCE instance, LPCSTR path, UINT index)
{
    const HICON icon = g_watch->extract(instance, path, index);
    // 1 means "no icon file"; it is no handle.
    if (icon != nullptr && icon != reinterpret_cast<HICON>(1))
        g_watch->extracted.push_back(icon);
    return icon;
}

BOOL WINAPI WatchedDestroyIcon(HICON icon)
{
    if (g_watch->skipDestroy)
        return TRUE;
    return g_watch->destroy(icon);
}

} // namespace

HandleCensus HandleCensus::Take()
{
    HandleCensus census;
    for (UINT_PTR index = 1; index < kHandleIndexCount; ++index) {
        if (::GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0)
            ++census.gdiObjects;
    }
    // Wine numbers USER handles in steps of 2; the icon check makes two GDI objects and deletes
    // them, so it runs after the GDI count.
    for (UINT_PTR index = 2; index < kHandleIndexCount; index += 2) {
        if (IsLiveIcon(reinterpret_cast<HICON>(index)))
            ++census.icons;
    }
    ::EnumThreadWindows(::GetCurrentThreadId(), CountWithChildren,
                        reinterpret_cast<LPARAM>(&census.windows));
    return census;
}

bool CensusSeesNewHandles()
{
    const HandleCensus before = HandleCensus::Take();
    const HBRUSH brush = ::CreateSolidBrush(RGB(1, 2, 3));
    const HICON icon = MakeIcon();
    const HandleCensus during = HandleCensus::Take();
    ::DeleteObject(brush);
    ::DestroyIcon(icon);
    const HandleCensus after = HandleCensus::Take();
    // An icon holds GDI bitmaps of its own, so only the icon count is exact for it.
    return brush != nullptr && icon != nullptr && during.icons == before.icons + 1
        && during.gdiObjects > before.gdiObjects && after.icons == before.icons
        && after.gdiObjects == before.gdiObjects;
}

IconWatch::IconWatch()
{
    static WatchState state;
    state = WatchState{};
    g_watch = &state;
    state.extract = reinterpret_cast<ExtractIconFunction>(
        PatchImport("shell32.dll", "ExtractIconA", reinterpret_cast<void*>(&WatchedExtractIcon)));
    state.destroy = reinterpret_cast<DestroyIconFunction>(
        PatchImport("user32.dll", "DestroyIcon", reinterpret_cast<void*>(&WatchedDestroyIcon)));
}

IconWatch::~IconWatch()
{
    if (g_watch->extract)
        PatchImport("shell32.dll", "ExtractIconA", reinterpret_cast<void*>(g_watch->extract));
    if (g_watch->destroy)
        PatchImport("user32.dll", "DestroyIcon", reinterpret_cast<void*>(g_watch->destroy));
}

void IconWatch::SkipDestroy(bool skip)
{
    g_watch->skipDestroy = skip;
}

std::size_t IconWatch::Extracted() const
{
    return g_watch->extracted.size();
}

std::size_t IconWatch::Surviving() const
{
    std::size_t alive = 0;
    for (HICON icon : g_watch->extracted) {
        if (IsLiveIcon(icon))
            ++alive;
    }
    return alive;
}

void IconWatch::DestroySurviving()
{
    for (HICON icon : g_watch->extracted) {
        if (IsLiveIcon(icon))
            g_watch->destroy(icon);
    }
}
