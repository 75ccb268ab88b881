// The icon button in a real dialog under Wine: bound by data exchange, driven by real messages,
// drawn through DrawItem into bitmaps and by the dialog onto the screen.
#include <gtest/gtest.h>

#include <vector>

#include "controls/IconButton.h"
#include "framework/Dialog.h"
#include "framework/Resources.h"
#include "res/resource.h"
#include "tests/controls/IconButtonTestIds.h"
#include "tests/controls/ModalSteps.h"

#include <uxtheme.h>

namespace {

constexpr UINT MissingIcon = 9999;

class ButtonDialog : public Dialog {
public:
    ButtonDialog() : Dialog(IDD_TEST_ICONBUTTONS) {}

    IconButton normal, focused, noIcon;

protected:
    void DoDataExchange(DataExchange& exchange) override
    {
        DDX_Control(exchange, IDC_TEST_NORMAL, normal);
        DDX_Control(exchange, IDC_TEST_FOCUSED, focused);
        DDX_Control(exchange, IDC_TEST_NOICON, noIcon);
    }

    BOOL OnInitDialog() override
    {
        Dialog::OnInitDialog();
        normal.SetIcon(IDI_OK);
        focused.SetIcon(IDI_DETAILS);
        noIcon.SetIcon(MissingIcon);
        return TRUE;
    }
};

// Moves the cursor onto the middle of window and sends it the mouse move a real one would give.
void HoverOver(HWND window)
{
    RECT client;
    ::GetClientRect(window, &client);
    POINT screen = {client.right / 2, client.bottom / 2};
    ::ClientToScreen(window, &screen);
    ::SetCursorPos(screen.x, screen.y);
    ::SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(client.right / 2, client.bottom / 2));
}

bool HasUpdateRegion(HWND window) { return ::GetUpdateRect(window, nullptr, FALSE) != FALSE; }

// Removes the commands queued for dialog and returns them.
std::vector<MSG> TakeCommands(HWND dialog)
{
    std::vector<MSG> commands;
    MSG message;
    while (::PeekMessageA(&message, dialog, WM_COMMAND, WM_COMMAND, PM_REMOVE))
        commands.push_back(message);
    return commands;
}

// Takes the visual style away from button (as a desktop without one would) and reopens its
// theme data, so that it draws the classic look.
void UseClassicLook(IconButton& button, UINT iconId)
{
    ::SetWindowTheme(button.GetSafeHwnd(), L" ", L" ");
    button.SetIcon(iconId);
}

bool DrawsClassic(const IconButton& button)
{
    ThemeHelper theme;
    theme.Open(button.GetSafeHwnd());
    return !theme.IsOpen();
}

std::vector<COLORREF> Pixels(HDC dc, int left, int top, int width, int height)
{
    std::vector<COLORREF> pixels;
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x)
            pixels.push_back(::GetPixel(dc, x, y));
    return pixels;
}

// Every pixel of the area has the button face colour.
bool IsFace(HDC dc, int left, int top, int width, int height)
{
    return Pixels(dc, left, top, width, height) ==
           std::vector<COLORREF>(static_cast<size_t>(width * height), ::GetSysColor(COLOR_BTNFACE));
}

int MatchingPixels(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b)
{
    int matching = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        matching += a[i] == b[i] ? 1 : 0;
    return matching;
}

// A bitmap the size of button that DrawItem paints into, as the dialog would for an item state.
struct Canvas {
    explicit Canvas(const IconButton& button)
    {
        ::GetClientRect(button.GetSafeHwnd(), &all);
        HDC screen = ::GetDC(nullptr);
        dc = ::CreateCompatibleDC(screen);
        bitmap = ::CreateCompatibleBitmap(screen, all.right, all.bottom);
        ::ReleaseDC(nullptr, screen);
        oldBitmap = ::SelectObject(dc, bitmap);
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(button.GetSafeHwnd(), WM_GETFONT, 0, 0)));
    }
    ~Canvas()
    {
        ::SelectObject(dc, oldBitmap);
        ::DeleteObject(bitmap);
        ::DeleteDC(dc);
    }

    void Draw(IconButton& button, UINT state)
    {
        ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        DRAWITEMSTRUCT item = {ODT_BUTTON, 0, 0, ODA_DRAWENTIRE, state, button.GetSafeHwnd(), dc, all, 0};
        button.DrawItem(&item);
    }

    RECT all = {};
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ oldBitmap;
};

TEST(IconButton, SetIconRepaintsAndOwnsTheIcon)
{
    ButtonDialog dialog;
    ModalSteps::Run(dialog, {[&] {
        const HICON first = dialog.normal.GetIcon();
        ASSERT_NE(first, nullptr);
        ::UpdateWindow(dialog.normal.GetSafeHwnd());
        dialog.normal.SetIcon(IDI_CANCEL);
        EXPECT_TRUE(HasUpdateRegion(dialog.normal.GetSafeHwnd())) << "the new icon is not shown";
        const HICON second = dialog.normal.GetIcon();
        ASSERT_NE(second, nullptr);
        ICONINFO info = {};
        EXPECT_FALSE(::GetIconInfo(first, &info)) << "the replaced icon was not destroyed";

        // A resource that does not exist: no icon, and the previous one is released.
        dialog.normal.SetIcon(MissingIcon);
        EXPECT_EQ(dialog.normal.GetIcon(), nullptr);
        EXPECT_FALSE(::GetIconInfo(second, &info));
        ::UpdateWindow(dialog.normal.GetSafeHwnd());   // paints without an icon
    }});
}

TEST(IconButton, HoverFollowsTheMouseAndDraggingThePressOffReleasesTheButton)
{
    ButtonDialog dialog;
    ModalSteps::Run(dialog, {[&] {
        const HWND button = dialog.normal.GetSafeHwnd();
        // Wherever an earlier run left the real cursor, the button starts off not hovered.
        ::SendMessageA(button, WM_MOUSELEAVE, 0, 0);
        ::UpdateWindow(button);
        EXPECT_FALSE(dialog.normal.IsHovered());
        HoverOver(button);
        EXPECT_TRUE(dialog.normal.IsHovered());
        EXPECT_TRUE(HasUpdateRegion(button)) << "repainted hot";
        ::UpdateWindow(button);
        HoverOver(button);
        EXPECT_FALSE(HasUpdateRegion(button)) << "further moves over the button change nothing";

        EXPECT_EQ(::SendMessageA(button, WM_MOUSELEAVE, 0, 0), 1);
        EXPECT_FALSE(dialog.normal.IsHovered());
        EXPECT_TRUE(HasUpdateRegion(button));
        ::UpdateWindow(button);
        EXPECT_EQ(::SendMessageA(button, WM_MOUSELEAVE, 0, 0), 1);
        EXPECT_FALSE(HasUpdateRegion(button));

        RECT client;
        ::GetClientRect(button, &client);
        const LPARAM outside = MAKELPARAM(client.right + 20, client.bottom + 20);
        HoverOver(button);
        ::SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.right / 2, client.bottom / 2));
        EXPECT_TRUE(::SendMessageA(button, BM_GETSTATE, 0, 0) & BST_PUSHED);
        ::SendMessageA(button, WM_MOUSEMOVE, MK_LBUTTON, outside);
        EXPECT_FALSE(::SendMessageA(button, BM_GETSTATE, 0, 0) & BST_PUSHED);
        ::SendMessageA(button, WM_LBUTTONUP, 0, outside);
        EXPECT_TRUE(TakeCommands(dialog.GetSafeHwnd()).empty());
    }});
}

TEST(IconButton, PushDefaultButtonClicksTheButtonThatHasTheFocus)
{
    ButtonDialog dialog;
    ModalSteps::Run(dialog, {[&] {
        const HWND dialogWindow = dialog.GetSafeHwnd();
        TakeCommands(dialogWindow);
        ::SetFocus(dialog.focused.GetSafeHwnd());
        EXPECT_TRUE(dialog.focused.IsDefault());
        EXPECT_FALSE(dialog.normal.IsDefault());

        ::SendMessageA(dialog.focused.GetSafeHwnd(), WM_PUSH_DEFAULT_BUTTON, 0, 0);
        const std::vector<MSG> commands = TakeCommands(dialogWindow);
        ASSERT_EQ(commands.size(), 1u);
        EXPECT_EQ(commands[0].wParam, MAKEWPARAM(IDC_TEST_FOCUSED, BN_CLICKED));

        // The focus moves on, and the default flag with it (which button Enter then clicks is
        // the default-button dialog's test).
        ::SetFocus(dialog.normal.GetSafeHwnd());
        EXPECT_FALSE(dialog.focused.IsDefault());
        EXPECT_TRUE(dialog.normal.IsDefault());
    }});
}

TEST(IconButton, ClassicDrawing)
{
    ButtonDialog dialog;
    ModalSteps::Run(dialog, {[&] {
        UseClassicLook(dialog.normal, IDI_OK);
        UseClassicLook(dialog.noIcon, MissingIcon);
        ASSERT_TRUE(DrawsClassic(dialog.normal));
        Canvas canvas(dialog.normal);
        const int width = canvas.all.right;
        const int height = canvas.all.bottom;
        const int iconTop = (height - 16) / 2;

        canvas.Draw(dialog.normal, 0);
        const std::vector<COLORREF> icon = Pixels(canvas.dc, 6, iconTop, 16, 16);
        EXPECT_FALSE(IsFace(canvas.dc, 6, iconTop, 16, 16)) << "no icon drawn";
        EXPECT_FALSE(IsFace(canvas.dc, 24, 3, width - 30, height - 6)) << "no caption drawn";
        EXPECT_FALSE(dialog.normal.IsDefault());

        // The dialog's own painting goes through DrawItem as well.
        ::RedrawWindow(dialog.normal.GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        HDC screen = ::GetDC(dialog.normal.GetSafeHwnd());
        EXPECT_EQ(Pixels(screen, 6, iconTop, 16, 16), icon);
        ::ReleaseDC(dialog.normal.GetSafeHwnd(), screen);

        // Pressed: a shadow frame, the icon one pixel right and down.
        canvas.Draw(dialog.normal, ODS_SELECTED);
        EXPECT_EQ(::GetPixel(canvas.dc, 0, 0), ::GetSysColor(COLOR_BTNSHADOW));
        EXPECT_EQ(Pixels(canvas.dc, 7, iconTop + 1, 16, 16), icon);

        // Focused: a black outer frame, and the button becomes the default one.
        canvas.Draw(dialog.normal, ODS_FOCUS);
        EXPECT_EQ(::GetPixel(canvas.dc, 0, 0), RGB(0, 0, 0));
        EXPECT_EQ(::GetPixel(canvas.dc, width - 1, height / 2), RGB(0, 0, 0));
        EXPECT_TRUE(dialog.normal.IsDefault());
        canvas.Draw(dialog.normal, 0);
        EXPECT_FALSE(dialog.normal.IsDefault());

        canvas.Draw(dialog.normal, ODS_DISABLED);
        EXPECT_NE(Pixels(canvas.dc, 6, iconTop, 16, 16), icon) << "the icon is greyed";

        // No icon: plain face where it would be, the caption still drawn.
        canvas.Draw(dialog.noIcon, 0);
        EXPECT_TRUE(IsFace(canvas.dc, 6, iconTop, 16, 16));
        EXPECT_FALSE(IsFace(canvas.dc, 24, 3, width - 30, height - 6));
    }});
}

// With a visual style the pressed look does not shift the icon.
TEST(IconButton, ThemedDrawing)
{
    ButtonDialog dialog;
    ModalSteps::Run(dialog, {[&] {
        if (DrawsClassic(dialog.normal))
            GTEST_SKIP() << "no visual style is active";
        Canvas canvas(dialog.normal);
        const int iconTop = (canvas.all.bottom - 16) / 2;
        canvas.Draw(dialog.normal, 0);
        const std::vector<COLORREF> icon = Pixels(canvas.dc, 6, iconTop, 16, 16);
        canvas.Draw(dialog.normal, ODS_SELECTED);
        EXPECT_GT(MatchingPixels(Pixels(canvas.dc, 6, iconTop, 16, 16), icon),
                  MatchingPixels(Pixels(canvas.dc, 7, iconTop + 1, 16, 16), icon));
    }});
}

TEST(ThemeHelper, DrawsNothingWithoutThemeData)
{
    ThemeHelper theme;
    EXPECT_FALSE(theme.IsOpen());
    HDC dc = ::CreateCompatibleDC(nullptr);
    const RECT rect = {0, 0, 10, 10};
    EXPECT_EQ(theme.DrawBackground(dc, 1, rect, nullptr), E_FAIL);
    EXPECT_EQ(theme.DrawThemedText(dc, 1, L"x", 1, DT_SINGLELINE, 0, rect), E_FAIL);
    ::DeleteDC(dc);
}

}  // namespace
