#include <gtest/gtest.h>

#include <map>

#include "tests/controls/ModalSteps.h"
#include "tests/views/ViewsBaseTestIds.h"
#include "views/ResizableDialog.h"

namespace {

RECT ChildRect(HWND dialog, HWND child)
{
    RECT rect = {};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT ItemRect(HWND dialog, int id)
{
    return ChildRect(dialog, ::GetDlgItem(dialog, id));
}

SIZE WindowSize(HWND window)
{
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

SIZE ClientSize(HWND window)
{
    RECT rect = {};
    ::GetClientRect(window, &rect);
    return SIZE{rect.right, rect.bottom};
}

void Resize(HWND window, int cx, int cy)
{
    ::SetWindowPos(window, nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT Moved(RECT rect, int left, int top, int right, int bottom)
{
    return RECT{rect.left + left, rect.top + top, rect.right + right, rect.bottom + bottom};
}

#define EXPECT_RECT_EQ(actual, expected)                                                     \
    do {                                                                                     \
        const RECT a_ = (actual);                                                            \
        const RECT e_ = (expected);                                                          \
        EXPECT_TRUE(::EqualRect(&a_, &e_))                                                   \
            << #actual << " is (" << a_.left << ", " << a_.top << ", " << a_.right << ", "   \
            << a_.bottom << "), expected (" << e_.left << ", " << e_.top << ", " << e_.right \
            << ", " << e_.bottom << ")";                                                     \
    } while (0)

constexpr int TemplateIds[] = {IDC_TEST_FIXED, IDC_TEST_STRETCH, IDC_TEST_FOLLOW, IDC_TEST_CENTER,
                               IDC_TEST_LATE, IDC_TEST_UNANCHORED, IDC_TEST_DOOMED};

// Fixed/fixed (nothing to register), stretch/stretch, follow/fixed, center/follow and
// follow/follow on a control that is destroyed later; "late" is registered by the test.
class AnchorDialog : public ResizableDialog {
public:
    AnchorDialog(UINT resizeFlags, bool showGrip)
        : ResizableDialog(IDD_TEST_ANCHORS, nullptr, resizeFlags, showGrip)
    {
    }

    std::map<int, RECT> templateRects;
    bool registeredBeforeInit = true;
    bool registeredFixedFixed = true;

protected:
    BOOL OnInitDialog() override
    {
        registeredBeforeInit = AddAnchor(GetDlgItem(IDC_TEST_LATE), AnchorFollow, AnchorFollow);
        const BOOL result = InitLayout();
        for (int id : TemplateIds)
            templateRects[id] = ItemRect(m_hWnd, id);
        registeredFixedFixed = AddAnchor(GetDlgItem(IDC_TEST_FIXED), AnchorFixed, AnchorFixed);
        AddAnchor(GetDlgItem(IDC_TEST_STRETCH), AnchorStretch, AnchorStretch);
        AddAnchor(GetDlgItem(IDC_TEST_FOLLOW), AnchorFollow, AnchorFixed);
        AddAnchor(GetDlgItem(IDC_TEST_CENTER), AnchorCenter, AnchorFollow);
        AddAnchor(GetDlgItem(IDC_TEST_DOOMED), AnchorFollow, AnchorFollow);
        return result;
    }
};

TEST(ResizableDialog, GrowingMovesAnchoredControlsByTheirShares)
{
    AnchorDialog dialog(ResizeHorizontal | ResizeVertical, true);
    SIZE opening = {};
    ModalSteps::Run(dialog, {[&] {
        const HWND hwnd = dialog.GetSafeHwnd();
        const auto& origin = dialog.templateRects;
        EXPECT_FALSE(dialog.registeredBeforeInit);
        EXPECT_FALSE(dialog.registeredFixedFixed);
        EXPECT_FALSE(dialog.AddAnchor(nullptr, AnchorStretch, AnchorStretch));
        EXPECT_EQ(dialog.AnchorCount(), 5u);   // four controls and the grip

        opening = WindowSize(hwnd);
        const SIZE client = ClientSize(hwnd);
        Resize(hwnd, opening.cx + 15, opening.cy + 31);
        EXPECT_EQ(ClientSize(hwnd).cx, client.cx + 15);
        EXPECT_EQ(ClientSize(hwnd).cy, client.cy + 31);
        EXPECT_RECT_EQ(ItemRect(hwnd, IDC_TEST_FIXED), origin.at(IDC_TEST_FIXED));
        EXPECT_RECT_EQ(ItemRect(hwnd, IDC_TEST_UNANCHORED), origin.at(IDC_TEST_UNANCHORED));
        EXPECT_RECT_EQ(ItemRect(hwnd, IDC_TEST_STRETCH), Moved(origin.at(IDC_TEST_STRETCH), 0, 0, 15, 31));
        EXPECT_RECT_EQ(ItemRect(hwnd, IDC_TEST_FOLLOW), Moved(origin.at(IDC_TEST_FOLLOW), 15, 0, 15, 0));
        // 15 * 50 / 100 = 7.5, truncated.
        EXPECT_RECT_EQ(ItemRect(hwnd, IDC_TEST_CENTER), Moved(origin.at(IDC_TEST_CENTER), 7, 31, 7, 31));

        // Registered while enlarged: placed at once for the current size.
        EXPECT_TRUE(dialog.AddAnchor(dialog.GetDlgItem(IDC_TEST_LATE), AnchorFollow, AnchorFollow));
        EXPECT_RECT_EQ(ItemRect(hwnd, IDC_TEST_LATE), Moved(origin.at(IDC_TEST_LATE), 15, 31, 15, 31));

        // A registered control that is gone is skipped; the others still move.
        const HWND doomed = dialog.GetDlgItem(IDC_TEST_DOOMED);
        ::DestroyWindow(doomed);
        EXPECT_FALSE(dialog.AddAnchor(doomed, AnchorFollow, AnchorFollow));
        Resize(hwnd, opening.cx + 40, opening.cy + 40);
        EXPECT_RECT_EQ(ItemRect(hwnd, IDC_TEST_CENTER), Moved(origin.at(IDC_TEST_CENTER), 20, 40, 20, 40));
        EXPECT_RECT_EQ(ItemRect(hwnd, IDC_TEST_LATE), Moved(origin.at(IDC_TEST_LATE), 40, 40, 40, 40));

        // Back to the opening size: every control exactly at its place, nothing accumulated.
        Resize(hwnd, opening.cx, opening.cy);
        for (int id : {IDC_TEST_FIXED, IDC_TEST_STRETCH, IDC_TEST_FOLLOW, IDC_TEST_CENTER, IDC_TEST_LATE})
            EXPECT_RECT_EQ(ItemRect(hwnd, id), origin.at(id));
    }});
    EXPECT_GT(opening.cx, 0);
}

TEST(ResizableDialog, ShrinkingAndMinimisingLeaveControlsInPlace)
{
    AnchorDialog dialog(ResizeHorizontal | ResizeVertical, true);
    bool wasIconic = false;
    ModalSteps::Run(dialog, {[&] {
        const HWND hwnd = dialog.GetSafeHwnd();
        const auto& origin = dialog.templateRects;
        const SIZE opening = WindowSize(hwnd);
        const SIZE client = ClientSize(hwnd);

        // The tracking limits refuse a size below the opening size.
        Resize(hwnd, opening.cx - 30, opening.cy - 30);
        EXPECT_EQ(WindowSize(hwnd).cx, opening.cx);
        EXPECT_EQ(WindowSize(hwnd).cy, opening.cy);

        // A smaller client area reported anyway counts as no growth.
        Resize(hwnd, opening.cx + 15, opening.cy + 31);
        ::SendMessageA(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.cx - 50, client.cy - 20));
        for (int id : {IDC_TEST_STRETCH, IDC_TEST_FOLLOW, IDC_TEST_CENTER})
            EXPECT_RECT_EQ(ItemRect(hwnd, id), origin.at(id));

        Resize(hwnd, opening.cx + 20, opening.cy + 24);
        std::map<int, RECT> grown;
        for (int id : {IDC_TEST_STRETCH, IDC_TEST_FOLLOW, IDC_TEST_CENTER})
            grown[id] = ItemRect(hwnd, id);
        const RECT grip = ItemRect(hwnd, AnchorLayout::GripId);
        EXPECT_RECT_EQ(grown.at(IDC_TEST_CENTER), Moved(origin.at(IDC_TEST_CENTER), 10, 24, 10, 24));

        ::ShowWindow(hwnd, SW_MINIMIZE);
        wasIconic = ::IsIconic(hwnd) != FALSE;
        for (const auto& [id, rect] : grown)
            EXPECT_RECT_EQ(ItemRect(hwnd, id), rect);
        EXPECT_RECT_EQ(ItemRect(hwnd, AnchorLayout::GripId), grip);

        ::ShowWindow(hwnd, SW_RESTORE);
        EXPECT_FALSE(::IsIconic(hwnd));
        for (const auto& [id, rect] : grown)
            EXPECT_RECT_EQ(ItemRect(hwnd, id), rect);
    }});
    EXPECT_TRUE(wasIconic);
}

TEST(ResizableDialog, TrackingLimitsFollowTheResizeFlags)
{
    struct Case {
        UINT flags;
        bool widthGrows;
        bool heightGrows;
    };
    for (const Case& c : {Case{ResizeVertical, false, true}, Case{ResizeHorizontal, true, false},
                          Case{ResizeHorizontal | ResizeVertical, true, true}, Case{0, false, false}}) {
        SCOPED_TRACE(c.flags);
        AnchorDialog dialog(c.flags, true);
        int checks = 0;
        ModalSteps::Run(dialog, {[&] {
            const HWND hwnd = dialog.GetSafeHwnd();
            const SIZE opening = WindowSize(hwnd);
            MINMAXINFO info = {};
            info.ptMaxTrackSize = POINT{5000, 4000};
            ::SendMessageA(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
            EXPECT_EQ(info.ptMinTrackSize.x, opening.cx);
            EXPECT_EQ(info.ptMinTrackSize.y, opening.cy);
            EXPECT_EQ(info.ptMaxTrackSize.x, c.widthGrows ? 5000 : opening.cx);
            EXPECT_EQ(info.ptMaxTrackSize.y, c.heightGrows ? 4000 : opening.cy);

            Resize(hwnd, opening.cx + 40, opening.cy + 40);
            EXPECT_EQ(WindowSize(hwnd).cx, opening.cx + (c.widthGrows ? 40 : 0));
            EXPECT_EQ(WindowSize(hwnd).cy, opening.cy + (c.heightGrows ? 40 : 0));
            ++checks;
        }});
        EXPECT_EQ(checks, 1);
    }
}

TEST(ResizableDialog, GripSitsInTheLowerRightCornerAndFollowsIt)
{
    AnchorDialog dialog(ResizeHorizontal | ResizeVertical, true);
    ModalSteps::Run(dialog, {[&] {
        const HWND hwnd = dialog.GetSafeHwnd();
        EXPECT_TRUE(dialog.HasGrip());
        const HWND grip = ::GetDlgItem(hwnd, AnchorLayout::GripId);
        ASSERT_NE(grip, nullptr);
        char className[16] = {};
        ::GetClassNameA(grip, className, sizeof(className));
        EXPECT_STREQ(className, "Static");
        EXPECT_EQ(::GetWindowLongA(grip, GWL_STYLE) & SS_TYPEMASK, SS_BITMAP);
        EXPECT_TRUE(::GetWindowLongA(grip, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
        EXPECT_TRUE(::IsWindowVisible(grip));
        EXPECT_NE(::SendMessageA(grip, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);

        SIZE client = ClientSize(hwnd);
        RECT rect = ChildRect(hwnd, grip);
        EXPECT_EQ(rect.right, client.cx);
        EXPECT_EQ(rect.bottom, client.cy);
        EXPECT_GT(rect.right - rect.left, 0);
        EXPECT_GT(rect.bottom - rect.top, 0);

        const SIZE opening = WindowSize(hwnd);
        Resize(hwnd, opening.cx + 33, opening.cy + 21);
        client = ClientSize(hwnd);
        rect = ChildRect(hwnd, grip);
        EXPECT_EQ(rect.right, client.cx);
        EXPECT_EQ(rect.bottom, client.cy);
    }});
}

TEST(ResizableDialog, NoGripWhenNotAskedFor)
{
    AnchorDialog dialog(ResizeHorizontal | ResizeVertical, false);
    ModalSteps::Run(dialog, {[&] {
        EXPECT_FALSE(dialog.HasGrip());
        EXPECT_EQ(dialog.GetDlgItem(AnchorLayout::GripId), nullptr);
        EXPECT_EQ(dialog.AnchorCount(), 4u);
    }});
}

TEST(ResizableDialog, AnchorsGoWithTheWindowAndComeBackWithTheNextRun)
{
    AnchorDialog dialog(ResizeVertical, true);
    size_t during = 0;
    ModalSteps::Run(dialog, {[&] { during = dialog.AnchorCount(); }});
    EXPECT_EQ(during, 5u);
    EXPECT_EQ(dialog.AnchorCount(), 0u);
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);

    // The same object run again starts from a clean layout.
    ModalSteps::Run(dialog, {[&] {
        during = dialog.AnchorCount();
        const HWND hwnd = dialog.GetSafeHwnd();
        const SIZE opening = WindowSize(hwnd);
        Resize(hwnd, opening.cx, opening.cy + 31);
        EXPECT_RECT_EQ(ItemRect(hwnd, IDC_TEST_CENTER), Moved(dialog.templateRects.at(IDC_TEST_CENTER), 0, 31, 0, 31));
        EXPECT_EQ(::GetDlgItem(hwnd, AnchorLayout::GripId) != nullptr, true);
    }});
    EXPECT_EQ(during, 5u);
    EXPECT_EQ(dialog.AnchorCount(), 0u);
}

}  // namespace
