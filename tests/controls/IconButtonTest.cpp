#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>
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

// A plain dialog with one icon button of each kind.
class ButtonDialog : public Dialog {
public:
    ButtonDialog() : Dialog(IDD_TEST_ICONBUTTONS) {}

    IconButton normal, hot, focused, pressed, disabled, noIcon, wrapped, iconOnly;

protected:
    void DoDataExchange(DataExchange& exchange) override
    {
        DDX_Control(exchange, IDC_TEST_NORMAL, normal);
        DDX_Control(exchange, IDC_TEST_HOT, hot);
        DDX_Control(exchange, IDC_TEST_FOCUSED, focused);
        DDX_Control(exchange, IDC_TEST_PRESSED, pressed);
        DDX_Control(exchange, IDC_TEST_DISABLED, disabled);
        DDX_Control(exchange, IDC_TEST_NOICON, noIcon);
        DDX_Control(exchange, IDC_TEST_WRAPPED, wrapped);
        DDX_Control(exchange, IDC_TEST_ICONONLY, iconOnly);
    }

    BOOL OnInitDialog() override
    {
        Dialog::OnInitDialog();
        normal.SetIcon(IDI_OK, 16, 16);
        hot.SetIcon(IDI_STATS, 16, 16);
        focused.SetIcon(IDI_DETAILS, 16, 16);
        pressed.SetIcon(IDI_CLEAR, 16, 16);
        disabled.SetIcon(IDI_OPTIONS, 16, 16);
        noIcon.SetIcon(MissingIcon, 16, 16);
        wrapped.SetIcon(IDI_ABOUT, 16, 16);
        iconOnly.SetIcon(IDI_CANCEL, 16, 16);
        return TRUE;
    }
};

// Moves the cursor onto the middle of window and sends it the mouse move a real one would give.
void HoverOver(HWND window)
{
    RECT client;
    ::GetClientRect(window, &client);
    POINT middle = {client.right / 2, client.bottom / 2};
    POINT screen = middle;
    ::ClientToScreen(window, &screen);
    ::SetCursorPos(screen.x, screen.y);
    ::SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(middle.x, middle.y));
}

bool HasUpdateRegion(HWND window)
{
    return ::GetUpdateRect(window, nullptr, FALSE) != FALSE;
}

int CountCommands(HWND dialog, std::vector<MSG>& commands)
{
    MSG message;
    while (::PeekMessageA(&message, dialog, WM_COMMAND, WM_COMMAND, PM_REMOVE))
        commands.push_back(message);
    return static_cast<int>(commands.size());
}

// Draws button into a bitmap through its DrawItem, as the dialog would for item state.
class Canvas {
public:
    Canvas(int width, int height) : m_width(width), m_height(height)
    {
        HDC screen = ::GetDC(nullptr);
        m_dc = ::CreateCompatibleDC(screen);
        m_bitmap = ::CreateCompatibleBitmap(screen, width, height);
        ::ReleaseDC(nullptr, screen);
        m_oldBitmap = ::SelectObject(m_dc, m_bitmap);
    }
    ~Canvas()
    {
        ::SelectObject(m_dc, m_oldBitmap);
        ::DeleteObject(m_bitmap);
        ::DeleteDC(m_dc);
    }

    void Draw(IconButton& button, UINT state)
    {
        RECT all = {0, 0, m_width, m_height};
        ::FillRect(m_dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        const auto font = reinterpret_cast<HFONT>(::SendMessageA(button.GetSafeHwnd(), WM_GETFONT, 0, 0));
        HGDIOBJ oldFont = font ? ::SelectObject(m_dc, font) : nullptr;
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_BUTTON;
        item.CtlID = static_cast<UINT>(::GetDlgCtrlID(button.GetSafeHwnd()));
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = state;
        item.hwndItem = button.GetSafeHwnd();
        item.hDC = m_dc;
        item.rcItem = all;
        button.DrawItem(&item);
        if (oldFont)
            ::SelectObject(m_dc, oldFont);
    }

    COLORREF Pixel(int x, int y) const { return ::GetPixel(m_dc, x, y); }

    std::vector<COLORREF> Block(int left, int top, int width, int height) const
    {
        std::vector<COLORREF> pixels;
        for (int y = top; y < top + height; ++y)
            for (int x = left; x < left + width; ++x)
                pixels.push_back(Pixel(x, y));
        return pixels;
    }

    bool AnyPixelOtherThan(int left, int top, int right, int bottom, COLORREF color) const
    {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                if (Pixel(x, y) != color)
                    return true;
        return false;
    }

private:
    int m_width;
    int m_height;
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_oldBitmap;
};

bool DrawsClassic(const IconButton& button)
{
    ThemeHelper theme;
    theme.Open(button.GetSafeHwnd());
    return !theme.IsOpen();
}

// Takes the visual style away from button (as a desktop without one would) and reopens its
// theme data, so that it draws the classic look.
void UseClassicLook(IconButton& button, UINT iconId)
{
    ::SetWindowTheme(button.GetSafeHwnd(), L" ", L" ");
    button.SetIcon(iconId, 16, 16);
}

int MatchingPixels(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b)
{
    int matching = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        matching += a[i] == b[i] ? 1 : 0;
    return matching;
}

TEST(IconButton, SetIconReplacesAndOwnsTheIcon)
{
    ButtonDialog dialog;
    ModalSteps::Run(dialog, {[&] {
        const HICON first = dialog.normal.GetIcon();
        ASSERT_NE(first, nullptr);
        ICONINFO info = {};
        ASSERT_TRUE(::GetIconInfo(first, &info));
        BITMAP bitmap = {};
        ::GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
        EXPECT_GT(bitmap.bmWidth, 0);
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);

        ::UpdateWindow(dialog.normal.GetSafeHwnd());
        dialog.normal.SetIcon(IDI_CANCEL, 16, 16);
        EXPECT_TRUE(HasUpdateRegion(dialog.normal.GetSafeHwnd())) << "the new icon is not shown";
        const HICON second = dialog.normal.GetIcon();
        ASSERT_NE(second, nullptr);
        if (second != first) {
            ICONINFO gone = {};
            EXPECT_FALSE(::GetIconInfo(first, &gone)) << "the replaced icon was not destroyed";
        }

        // A resource that does not exist: no icon, and the previous one is released.
        dialog.normal.SetIcon(MissingIcon, 16, 16);
        EXPECT_EQ(dialog.normal.GetIcon(), nullptr);
        ICONINFO released = {};
        EXPECT_FALSE(::GetIconInfo(second, &released));
        EXPECT_EQ(dialog.noIcon.GetIcon(), nullptr);
        ::UpdateWindow(dialog.normal.GetSafeHwnd());   // paints without an icon
    }});
}

TEST(IconButton, HoverFollowsTheMouse)
{
    ButtonDialog dialog;
    ModalSteps::Run(dialog, {[&] {
        const HWND button = dialog.hot.GetSafeHwnd();
        ::UpdateWindow(button);
        ASSERT_FALSE(HasUpdateRegion(button));
        EXPECT_FALSE(dialog.hot.IsHovered());

        HoverOver(button);
        EXPECT_TRUE(dialog.hot.IsHovered());
        EXPECT_TRUE(HasUpdateRegion(button));   // repainted hot
        ::UpdateWindow(button);

        // Further moves over the button change nothing.
        HoverOver(button);
        EXPECT_TRUE(dialog.hot.IsHovered());
        EXPECT_FALSE(HasUpdateRegion(button));

        EXPECT_EQ(::SendMessageA(button, WM_MOUSELEAVE, 0, 0), 1);
        EXPECT_FALSE(dialog.hot.IsHovered());
        EXPECT_TRUE(HasUpdateRegion(button));
        ::UpdateWindow(button);
        EXPECT_EQ(::SendMessageA(button, WM_MOUSELEAVE, 0, 0), 1);
        EXPECT_FALSE(HasUpdateRegion(button));
    }});
}

TEST(IconButton, DraggingThePressedMouseOffReleasesTheButton)
{
    ButtonDialog dialog;
    ModalSteps::Run(dialog, {[&] {
        const HWND button = dialog.normal.GetSafeHwnd();
        RECT client;
        ::GetClientRect(button, &client);
        HoverOver(button);
        ::SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.right / 2, client.bottom / 2));
        EXPECT_TRUE(::SendMessageA(button, BM_GETSTATE, 0, 0) & BST_PUSHED);
        ::SendMessageA(button, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(client.right + 20, client.bottom + 20));
        EXPECT_FALSE(::SendMessageA(button, BM_GETSTATE, 0, 0) & BST_PUSHED);
        ::SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(client.right + 20, client.bottom + 20));
        std::vector<MSG> commands;
        EXPECT_EQ(CountCommands(dialog.GetSafeHwnd(), commands), 0);
    }});
}

TEST(IconButton, PushDefaultButtonClicksTheButtonThatHadTheFocus)
{
    ButtonDialog dialog;
    ModalSteps::Run(dialog, {[&] {
        const HWND dialogWindow = dialog.GetSafeHwnd();
        std::vector<MSG> commands;
        CountCommands(dialogWindow, commands);
        commands.clear();

        ::SetFocus(dialog.focused.GetSafeHwnd());
        EXPECT_TRUE(dialog.focused.IsDefault());
        EXPECT_FALSE(dialog.normal.IsDefault());

        // Only the button that had the focus at its last painting answers.
        EXPECT_EQ(::SendMessageA(dialog.normal.GetSafeHwnd(), WM_PUSH_DEFAULT_BUTTON, 0, 0), 1);
        EXPECT_EQ(CountCommands(dialogWindow, commands), 0);
        EXPECT_EQ(::SendMessageA(dialog.focused.GetSafeHwnd(), WM_PUSH_DEFAULT_BUTTON, 0, 0), 1);
        ASSERT_EQ(CountCommands(dialogWindow, commands), 1);
        EXPECT_EQ(LOWORD(commands[0].wParam), IDC_TEST_FOCUSED);
        EXPECT_EQ(HIWORD(commands[0].wParam), BN_CLICKED);
        EXPECT_EQ(reinterpret_cast<HWND>(commands[0].lParam), dialog.focused.GetSafeHwnd());
        commands.clear();

        // The focus moves on: the repaint of both buttons moves the default flag with it.
        ::SetFocus(dialog.normal.GetSafeHwnd());
        EXPECT_FALSE(dialog.focused.IsDefault());
        EXPECT_TRUE(dialog.normal.IsDefault());
        ::SendMessageA(dialog.focused.GetSafeHwnd(), WM_PUSH_DEFAULT_BUTTON, 0, 0);
        EXPECT_EQ(CountCommands(dialogWindow, commands), 0);
    }});
}

TEST(IconButton, ClassicDrawing)
{
    ButtonDialog dialog;
    ModalSteps::Run(dialog, {[&] {
        UseClassicLook(dialog.normal, IDI_OK);
        UseClassicLook(dialog.noIcon, MissingIcon);
        ASSERT_TRUE(DrawsClassic(dialog.normal));
        RECT client;
        ::GetClientRect(dialog.normal.GetSafeHwnd(), &client);
        const int width = client.right;
        const int height = client.bottom;
        const int iconTop = (height - 16) / 2;
        const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
        Canvas canvas(width, height);

        canvas.Draw(dialog.normal, 0);
        const std::vector<COLORREF> icon = canvas.Block(6, iconTop, 16, 16);
        EXPECT_TRUE(canvas.AnyPixelOtherThan(6, iconTop, 22, iconTop + 16, face)) << "no icon drawn";
        EXPECT_TRUE(canvas.AnyPixelOtherThan(24, 3, width - 6, height - 3, face)) << "no caption drawn";
        EXPECT_FALSE(dialog.normal.IsDefault());

        // Pressed: a shadow frame, the icon one pixel right and down.
        canvas.Draw(dialog.normal, ODS_SELECTED);
        EXPECT_EQ(canvas.Pixel(0, 0), ::GetSysColor(COLOR_BTNSHADOW));
        EXPECT_EQ(canvas.Block(7, iconTop + 1, 16, 16), icon);

        // Focused: a black outer frame, and the button becomes the default one.
        canvas.Draw(dialog.normal, ODS_FOCUS);
        EXPECT_EQ(canvas.Pixel(0, 0), RGB(0, 0, 0));
        EXPECT_EQ(canvas.Pixel(width - 1, height / 2), RGB(0, 0, 0));
        EXPECT_TRUE(dialog.normal.IsDefault());
        canvas.Draw(dialog.normal, 0);
        EXPECT_FALSE(dialog.normal.IsDefault());

        // Disabled: the icon is greyed.
        canvas.Draw(dialog.normal, ODS_DISABLED);
        EXPECT_NE(canvas.Block(6, iconTop, 16, 16), icon);

        // No icon: plain face where it would be, the caption still drawn.
        canvas.Draw(dialog.noIcon, 0);
        EXPECT_FALSE(canvas.AnyPixelOtherThan(6, iconTop, 22, iconTop + 16, face));
        EXPECT_TRUE(canvas.AnyPixelOtherThan(24, 3, width - 6, height - 3, face));
    }});
}

TEST(IconButton, ThemedDrawing)
{
    ButtonDialog dialog;
    ModalSteps::Run(dialog, {[&] {
        if (DrawsClassic(dialog.normal))
            GTEST_SKIP() << "no visual style is active";
        RECT client;
        ::GetClientRect(dialog.normal.GetSafeHwnd(), &client);
        const int iconTop = (client.bottom - 16) / 2;
        Canvas canvas(client.right, client.bottom);

        canvas.Draw(dialog.normal, 0);
        const std::vector<COLORREF> icon = canvas.Block(6, iconTop, 16, 16);
        EXPECT_TRUE(canvas.AnyPixelOtherThan(0, 0, client.right, client.bottom, RGB(255, 255, 255)));

        // Pressed: the theme's pressed background, the icon where it was.
        canvas.Draw(dialog.normal, ODS_SELECTED);
        EXPECT_GT(MatchingPixels(canvas.Block(6, iconTop, 16, 16), icon),
                  MatchingPixels(canvas.Block(7, iconTop + 1, 16, 16), icon));

        canvas.Draw(dialog.normal, ODS_FOCUS);
        EXPECT_TRUE(dialog.normal.IsDefault());
        canvas.Draw(dialog.normal, 0);
        EXPECT_FALSE(dialog.normal.IsDefault());

        canvas.Draw(dialog.noIcon, 0);   // no icon: nothing to draw there, and no crash
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

// Every look at once. Set VANTEL_HOLD_MS to keep the dialog on the screen that long for a
// screenshot; set VANTEL_CLASSIC to see the classic look.
TEST(IconButton, AllStatesTogether)
{
    ButtonDialog dialog;
    ModalSteps::Run(dialog, {[&] {
        if (std::getenv("VANTEL_CLASSIC")) {
            const std::pair<IconButton*, UINT> buttons[] = {
                {&dialog.normal, IDI_OK}, {&dialog.hot, IDI_STATS}, {&dialog.focused, IDI_DETAILS},
                {&dialog.pressed, IDI_CLEAR}, {&dialog.disabled, IDI_OPTIONS},
                {&dialog.noIcon, MissingIcon}, {&dialog.wrapped, IDI_ABOUT},
                {&dialog.iconOnly, IDI_CANCEL}};
            for (const auto& [button, icon] : buttons)
                UseClassicLook(*button, icon);
        }
        ::SetFocus(dialog.focused.GetSafeHwnd());
        ::SendMessageA(dialog.pressed.GetSafeHwnd(), BM_SETSTATE, TRUE, 0);
        HoverOver(dialog.hot.GetSafeHwnd());
        ::RedrawWindow(dialog.GetSafeHwnd(), nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        EXPECT_TRUE(dialog.hot.IsHovered());
        EXPECT_TRUE(dialog.focused.IsDefault());
        for (IconButton* other : {&dialog.normal, &dialog.hot, &dialog.pressed, &dialog.disabled,
                                  &dialog.noIcon, &dialog.wrapped, &dialog.iconOnly})
            EXPECT_FALSE(other->IsDefault());
        EXPECT_TRUE(::SendMessageA(dialog.pressed.GetSafeHwnd(), BM_GETSTATE, 0, 0) & BST_PUSHED);
        if (const char* hold = std::getenv("VANTEL_HOLD_MS"))
            ModalSteps::Pump(static_cast<DWORD>(std::atoi(hold)));
    }});
}

}  // namespace
