#include <gtest/gtest.h>

#include <map>

#include "tests/controls/ModalSteps.h"
#include "tests/views/UiScript.h"
#include "tests/views/ViewsBaseTestIds.h"
#include "views/ResizableDialog.h"

namespace {

using Box = std::array<LONG, 4>;

Box ItemBox(HWND dialog, int id)
{
    return ui::BoxOf(ui::ChildRect(dialog, ::GetDlgItem(dialog, id)));
}

SIZE ClientSize(HWND window)
{
    RECT rect = {};
    ::GetClientRect(window, &rect);
    return SIZE{rect.right, rect.bottom};
}

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

    // The control's template place moved by the given offsets.
    Box Moved(int id, int left, int top, int right, int bottom) const
    {
        return ui::BoxOf(templateRects.at(id), left, top, right, bottom);
    }

protected:
    BOOL OnInitDialog() override
    {
        registeredBeforeInit = AddAnchor(GetDlgItem(IDC_TEST_LATE), AnchorFollow, AnchorFollow);
        const BOOL result = InitLayout();
        for (int id : TemplateIds)
            templateRects[id] = ui::ChildRect(m_hWnd, GetDlgItem(id));
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
        EXPECT_FALSE(dialog.registeredBeforeInit);
        EXPECT_FALSE(dialog.registeredFixedFixed);
        EXPECT_FALSE(dialog.AddAnchor(nullptr, AnchorStretch, AnchorStretch));
        EXPECT_EQ(dialog.AnchorCount(), 5u);   // four controls and the grip

        opening = ui::WindowSize(hwnd);
        const SIZE client = ClientSize(hwnd);
        ui::Resize(hwnd, opening.cx + 15, opening.cy + 31);
        EXPECT_EQ(ClientSize(hwnd).cx, client.cx + 15);
        EXPECT_EQ(ClientSize(hwnd).cy, client.cy + 31);
        EXPECT_EQ(ItemBox(hwnd, IDC_TEST_FIXED), dialog.Moved(IDC_TEST_FIXED, 0, 0, 0, 0));
        EXPECT_EQ(ItemBox(hwnd, IDC_TEST_UNANCHORED), dialog.Moved(IDC_TEST_UNANCHORED, 0, 0, 0, 0));
        EXPECT_EQ(ItemBox(hwnd, IDC_TEST_STRETCH), dialog.Moved(IDC_TEST_STRETCH, 0, 0, 15, 31));
        EXPECT_EQ(ItemBox(hwnd, IDC_TEST_FOLLOW), dialog.Moved(IDC_TEST_FOLLOW, 15, 0, 15, 0));
        // 15 * 50 / 100 = 7.5, truncated.
        EXPECT_EQ(ItemBox(hwnd, IDC_TEST_CENTER), dialog.Moved(IDC_TEST_CENTER, 7, 31, 7, 31));

        // Registered while enlarged: placed at once for the current size.
        EXPECT_TRUE(dialog.AddAnchor(dialog.GetDlgItem(IDC_TEST_LATE), AnchorFollow, AnchorFollow));
        EXPECT_EQ(ItemBox(hwnd, IDC_TEST_LATE), dialog.Moved(IDC_TEST_LATE, 15, 31, 15, 31));

        // A registered control that is gone is skipped; the others still move.
        const HWND doomed = dialog.GetDlgItem(IDC_TEST_DOOMED);
        ::DestroyWindow(doomed);
        EXPECT_FALSE(dialog.AddAnchor(doomed, AnchorFollow, AnchorFollow));
        ui::Resize(hwnd, opening.cx + 40, opening.cy + 40);
        EXPECT_EQ(ItemBox(hwnd, IDC_TEST_CENTER), dialog.Moved(IDC_TEST_CENTER, 20, 40, 20, 40));
        EXPECT_EQ(ItemBox(hwnd, IDC_TEST_LATE), dialog.Moved(IDC_TEST_LATE, 40, 40, 40, 40));

        // Back to the opening size: every control exactly at its place, nothing accumulated.
        ui::Resize(hwnd, opening.cx, opening.cy);
        for (int id : {IDC_TEST_FIXED, IDC_TEST_STRETCH, IDC_TEST_FOLLOW, IDC_TEST_CENTER, IDC_TEST_LATE})
            EXPECT_EQ(ItemBox(hwnd, id), dialog.Moved(id, 0, 0, 0, 0));
    }});
    EXPECT_GT(opening.cx, 0);
}

TEST(ResizableDialog, ShrinkingAndMinimisingLeaveControlsInPlace)
{
    AnchorDialog dialog(ResizeHorizontal | ResizeVertical, true);
    bool wasIconic = false;
    ModalSteps::Run(dialog, {[&] {
        const HWND hwnd = dialog.GetSafeHwnd();
        const SIZE opening = ui::WindowSize(hwnd);
        const SIZE client = ClientSize(hwnd);

        // A smaller client area reported anyway counts as no growth.
        ui::Resize(hwnd, opening.cx + 15, opening.cy + 31);
        ::SendMessageA(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.cx - 50, client.cy - 20));
        for (int id : {IDC_TEST_STRETCH, IDC_TEST_FOLLOW, IDC_TEST_CENTER})
            EXPECT_EQ(ItemBox(hwnd, id), dialog.Moved(id, 0, 0, 0, 0));

        ui::Resize(hwnd, opening.cx + 20, opening.cy + 24);
        std::map<int, Box> grown;
        for (int id : {IDC_TEST_STRETCH, IDC_TEST_FOLLOW, IDC_TEST_CENTER, AnchorLayout::GripId})
            grown[id] = ItemBox(hwnd, id);
        EXPECT_EQ(grown.at(IDC_TEST_CENTER), dialog.Moved(IDC_TEST_CENTER, 10, 24, 10, 24));

        ::ShowWindow(hwnd, SW_MINIMIZE);
        wasIconic = ::IsIconic(hwnd) != FALSE;
        for (const auto& [id, box] : grown)
            EXPECT_EQ(ItemBox(hwnd, id), box);
        ::ShowWindow(hwnd, SW_RESTORE);
        for (const auto& [id, box] : grown)
            EXPECT_EQ(ItemBox(hwnd, id), box);
    }});
    EXPECT_TRUE(wasIconic);
}

// Never below the opening size; no growth in a direction without its flag.
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
        ModalSteps::Run(dialog, {[&] {
            const HWND hwnd = dialog.GetSafeHwnd();
            const SIZE opening = ui::WindowSize(hwnd);
            MINMAXINFO info = {};
            info.ptMaxTrackSize = POINT{5000, 4000};
            ::SendMessageA(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
            EXPECT_EQ(info.ptMinTrackSize.x, opening.cx);
            EXPECT_EQ(info.ptMinTrackSize.y, opening.cy);
            EXPECT_EQ(info.ptMaxTrackSize.x, c.widthGrows ? 5000 : opening.cx);
            EXPECT_EQ(info.ptMaxTrackSize.y, c.heightGrows ? 4000 : opening.cy);

            ui::Resize(hwnd, opening.cx - 30, opening.cy - 30);
            EXPECT_EQ(ui::WindowSize(hwnd).cx, opening.cx);
            EXPECT_EQ(ui::WindowSize(hwnd).cy, opening.cy);
            ui::Resize(hwnd, opening.cx + 40, opening.cy + 40);
            EXPECT_EQ(ui::WindowSize(hwnd).cx, opening.cx + (c.widthGrows ? 40 : 0));
            EXPECT_EQ(ui::WindowSize(hwnd).cy, opening.cy + (c.heightGrows ? 40 : 0));
        }});
    }
}

// The grip shows a bitmap in the lower right corner and follows it; without one asked for there
// is no grip and no anchor for it.
TEST(ResizableDialog, GripSitsInTheLowerRightCornerAndFollowsIt)
{
    for (bool showGrip : {true, false}) {
        AnchorDialog dialog(ResizeHorizontal | ResizeVertical, showGrip);
        ModalSteps::Run(dialog, {[&] {
            const HWND hwnd = dialog.GetSafeHwnd();
            const HWND grip = ::GetDlgItem(hwnd, AnchorLayout::GripId);
            EXPECT_EQ(dialog.HasGrip(), showGrip);
            EXPECT_EQ(dialog.AnchorCount(), showGrip ? 5u : 4u);
            if (!showGrip) {
                EXPECT_EQ(grip, nullptr);
                return;
            }
            ASSERT_NE(grip, nullptr);
            EXPECT_TRUE(::IsWindowVisible(grip));
            EXPECT_NE(::SendMessageA(grip, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
            const SIZE opening = ui::WindowSize(hwnd);
            for (int growth : {0, 27}) {
                ui::Resize(hwnd, opening.cx + growth, opening.cy + growth);
                const RECT rect = ui::ChildRect(hwnd, grip);
                EXPECT_EQ(rect.right, ClientSize(hwnd).cx);
                EXPECT_EQ(rect.bottom, ClientSize(hwnd).cy);
                EXPECT_GT(rect.right - rect.left, 0);
                EXPECT_GT(rect.bottom - rect.top, 0);
            }
        }});
    }
}

// The same object run again starts from a clean layout.
TEST(ResizableDialog, AnchorsGoWithTheWindowAndComeBackWithTheNextRun)
{
    AnchorDialog dialog(ResizeVertical, true);
    for (int run = 0; run < 2; ++run) {
        size_t during = 0;
        ModalSteps::Run(dialog, {[&] {
            during = dialog.AnchorCount();
            const HWND hwnd = dialog.GetSafeHwnd();
            ui::Resize(hwnd, ui::WindowSize(hwnd).cx, ui::WindowSize(hwnd).cy + 31);
            EXPECT_EQ(ItemBox(hwnd, IDC_TEST_CENTER), dialog.Moved(IDC_TEST_CENTER, 0, 31, 0, 31));
            EXPECT_NE(::GetDlgItem(hwnd, AnchorLayout::GripId), nullptr);
        }});
        EXPECT_EQ(during, 5u);
        EXPECT_EQ(dialog.AnchorCount(), 0u);
        EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
    }
}

}  // namespace
