#include "framework/Resources.h"

#include <algorithm>
#include <exception>
#include <set>

#include "core/Utf8.h"
#include "framework/Application.h"
#include "framework/Foreground.h"
#include "framework/ResourceIds.h"

std::string LoadResString(UINT id)
{
    // LoadStringA truncates to the buffer; a result that (nearly) fills it may have been cut.
    std::string text(256, '\0');
    for (;;) {
        const int length = LoadStringA(AppInstance(), id, &text[0], static_cast<int>(text.size()));
        if (length <= 0)
            return {};
        if (ReadIsWhole(static_cast<size_t>(length), text.size())) {
            text.resize(static_cast<size_t>(length));
            return text;
        }
        text.resize(text.size() * 2);
    }
}

std::wstring Widen(const std::string& text)
{
    const int size = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(std::max(length, 0)), L'\0');
    if (length > 0)
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, &wide[0], length);
    return wide;
}

int AppMessageBox(HWND owner, const std::string& text, UINT type)
{
    const HWND root = owner != nullptr ? GetAncestor(owner, GA_ROOT) : AppMainWindow();
    ForegroundReturn foreground;
    return MessageBoxA(InnermostModalWindow(root), text.c_str(), AppTitle().c_str(), type);
}

int AppMessageBox(HWND owner, UINT stringId, UINT type)
{
    return AppMessageBox(owner, LoadResString(stringId), type);
}

namespace {

void ReportFailure(const char* what)
{
    static std::set<std::string> told;
    static bool boxOpen = false;
    if (boxOpen)
        return;
    // Telling must not fail in turn: out of memory, the failure goes untold.
    try {
        if (!told.insert(what).second)
            return;
        boxOpen = true;
        AppMessageBox(nullptr, LoadResString(IDS_UNEXPECTED_FAILURE) + "\n\n" + what,
                      MB_OK | MB_ICONERROR);
    } catch (...) {
    }
    boxOpen = false;
}

} // namespace

void ReportCurrentException()
{
    try {
        throw;
    } catch (const std::exception& failure) {
        ReportFailure(failure.what());
    } catch (...) {
        ReportFailure("unknown exception");
    }
}
