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
    : m_extractPatch("shell32.dll", "ExtractIconA", &WatchedExtractIcon),
      m_destroyPatch("user32.dll", "DestroyIcon", &WatchedDestroyIcon)
{
    static WatchState state;
    state = WatchState{};
    state.extract = m_extractPatch.Original<ExtractIconFunction>();
    state.destroy = m_destroyPatch.Original<DestroyIconFunction>();
    g_watch = &state;
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
