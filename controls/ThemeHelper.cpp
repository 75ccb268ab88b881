#include "controls/ThemeHelper.h"

namespace {

struct ThemeApi {
    decltype(&::OpenThemeData) openThemeData = nullptr;
    decltype(&::DrawThemeBackground) drawThemeBackground = nullptr;
    decltype(&::CloseThemeData) closeThemeData = nullptr;
    decltype(&::DrawThemeText) drawThemeText = nullptr;
    bool available = false;
};

template <typename Function>
Function ProcAddress(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

ThemeApi LoadThemeApi()
{
    ThemeApi api;
    const HMODULE module = ::LoadLibraryA("UXTHEME.DLL");
    if (!module)
        return api;
    api.openThemeData = ProcAddress<decltype(api.openThemeData)>(module, "OpenThemeData");
    api.drawThemeBackground = ProcAddress<decltype(api.drawThemeBackground)>(module, "DrawThemeBackground");
    api.closeThemeData = ProcAddress<decltype(api.closeThemeData)>(module, "CloseThemeData");
    api.drawThemeText = ProcAddress<decltype(api.drawThemeText)>(module, "DrawThemeText");
    if (!api.openThemeData || !api.drawThemeBackground || !api.closeThemeData || !api.drawThemeText) {
        ::FreeLibrary(module);
        return ThemeApi();
    }
    // Loaded for the life of the process.
    api.available = true;
    return api;
}

const ThemeApi& Api()
{
    static const ThemeApi api = LoadThemeApi();
    return api;
}

}  // namespace

ThemeHelper::~ThemeHelper()
{
    Close();
}

void ThemeHelper::Close()
{
    if (m_hTheme && Api().available)
        Api().closeThemeData(m_hTheme);
    m_hTheme = nullptr;
}

void ThemeHelper::Open(HWND window)
{
    Close();
    if (Api().available)
        m_hTheme = Api().openThemeData(window, L"BUTTON");
}

HRESULT ThemeHelper::DrawBackground(HDC dc, int state, const RECT& rect, const RECT* clip) const
{
    if (!m_hTheme)
        return E_FAIL;
    return Api().drawThemeBackground(m_hTheme, dc, m_partId, state, &rect, clip);
}

HRESULT ThemeHelper::DrawThemedText(HDC dc, int state, const wchar_t* text, int length,
                                    DWORD textFlags, DWORD textFlags2, const RECT& rect) const
{
    if (!m_hTheme)
        return E_FAIL;
    return Api().drawThemeText(m_hTheme, dc, m_partId, state, text, length, textFlags, textFlags2,
                               &rect);
}
