// The statistics, documents and About dialogs on the program's own templates, over a store
// filled as the sampler fills it, resized, opened and answered as the user would; through them
// the resizable dialog base and its Enter handling.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "core/ActivityStore.h"
#include "framework/Application.h"
#include "res/resource.h"
#include "tests/controls/Seen.h"
#include "tests/support/Ui.h"
#include "views/AboutDialog.h"
#include "views/AppStatsDialog.h"
#include "views/DocumentsDialog.h"

namespace {

using Box = std::array<LONG, 4>;
using Steps = std::vector<ui::Script::Step>;
constexpr char DocumentsCaption[] = "Statistics for '";

// ticks seconds of app in the foreground with the window title title, as the sampler counts them.
void Count(ActivityStore& store, const std::string& app, const std::string& title, int ticks)
{
    for (int i = 0; i < ticks; ++i) {
        store.IncrementTotal();
        store.AddTick(app, title);
    }
}

// The control's place in the dialog's client area, each edge moved by the given offset.
Box PlaceOf(HWND dialog, int id, Box moved = {})
{
    RECT rect{};
    ::GetWindowRect(::GetDlgItem(dialog, id), &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left + moved[0], rect.top + moved[1], rect.right + moved[2], rect.bottom + moved[3]};
}

// Sets the window's outer size; both 0: its size, as the pair of width and height.
std::pair<LONG, LONG> Size(HWND window, LONG cx = 0, LONG cy = 0)
{
    RECT rect{};
    if (cx != 0)
        ::SetWindowPos(window, nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::GetWindowRect(window, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

// A double-click of the left button on row.
void PostDoubleClick(HWND list, int row)
{
    RECT rect{};
    ListView_GetItemRect(list, row, &rect, LVIR_LABEL);
    ::PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(rect.left + 5, rect.top + 5));
}

// Waits for the dialog or message box whose caption begins with prefix, reads it and closes it.
void ReadAndClose(Steps& steps, const char* prefix, std::function<void(HWND)> read)
{
    steps.push_back([prefix] { return ui::FindDialog(prefix) != nullptr; });
    steps.push_back(ui::Script::Do([prefix, read] {
        read(ui::FindDialog(prefix));
        ::PostMessageA(ui::FindDialog(prefix), WM_COMMAND, IDCANCEL, 0);
    }));
    steps.push_back([prefix] { return ui::FindDialog(prefix) == nullptr; });
}

// The statistics may only grow in height: the list takes it, OK and Details stay, the size grip
// follows the lower right corner. A control anchored while the dialog is enlarged is placed at
// once; one tied to no edge is not anchored. The documents grow both ways: the list takes the
// growth, OK stays centred below it, and the columns keep 80 and 20 per cent of the list's
// client width (less one pixel: no horizontal scroll bar).
TEST(ResizableDialog, StatisticsGrowOnlyInHeightAndDocumentsBothWays)
{
    const ActivityStore store;
    AppStatsDialog statistics(nullptr, store, nullptr);
    ui::Script::Run(statistics, {ui::Script::Do([&] {
        const HWND window = statistics.m_hWnd;
        const auto [width, height] = Size(window);
        const Box listAt = PlaceOf(window, IDC_APPSTATS_LIST), ok = PlaceOf(window, IDOK);
        const Box details = PlaceOf(window, IDC_DETAILS);
        EXPECT_EQ(Size(window, width - 50, height - 50), std::pair(width, height));
        EXPECT_EQ(Size(window, width + 80, height + 100), std::pair(width, height + 100));
        EXPECT_EQ(PlaceOf(window, IDC_APPSTATS_LIST, {0, 0, 0, -100}), listAt);
        EXPECT_EQ(PlaceOf(window, IDOK), ok);
        RECT client{};
        ::GetClientRect(window, &client);
        const Box grip = PlaceOf(window, AnchorLayout::GripId);
        EXPECT_TRUE(grip[0] < grip[2] && grip[1] < grip[3] && grip[2] == client.right && grip[3] == client.bottom);
        EXPECT_NE(::SendDlgItemMessageA(window, AnchorLayout::GripId, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
        EXPECT_FALSE(statistics.AddAnchor(statistics.GetDlgItem(IDC_DETAILS), AnchorFixed, AnchorFixed));
        EXPECT_TRUE(statistics.AddAnchor(statistics.GetDlgItem(IDC_DETAILS), AnchorFixed, AnchorFollow));
        EXPECT_EQ(PlaceOf(window, IDC_DETAILS, {0, -100, 0, -100}), details);
    })});

    const DocumentsDialog::DocumentMap none;
    DocumentsDialog documents(nullptr, "editor.exe", 100, none);
    ui::Script::Run(documents, {ui::Script::Do([&] {
        const HWND window = documents.m_hWnd, list = documents.GetDlgItem(IDC_DOCUMENTS_LIST);
        const auto [width, height] = Size(window);
        const Box listAt = PlaceOf(window, IDC_DOCUMENTS_LIST), ok = PlaceOf(window, IDOK);
        Size(window, width + 101, height + 60);
        EXPECT_EQ(PlaceOf(window, IDC_DOCUMENTS_LIST, {0, 0, -101, -60}), listAt);
        EXPECT_EQ(PlaceOf(window, IDOK, {-50, -60, -50, -60}), ok) << "half of 101, fraction dropped";
        RECT area{};
        ::GetClientRect(list, &area);   // the list grows as much as the dialog: to 601 pixels inside
        Size(window, Size(window).first + 601 - area.right, height);
        ::GetClientRect(list, &area);
        EXPECT_EQ(std::tuple(area.right, ListView_GetColumnWidth(list, 0), ListView_GetColumnWidth(list, 1)),
                  std::tuple(601, 480, 120));
    })});
}

// Enter presses the focused icon button only, never the dialog's default button: on Details with
// no row selected it tells so, with the stop sign over the dialog; on the list it does nothing;
// on OK it closes the dialog. The blank and "Total:" rows name no application: Details and a
// double-click on them open nothing. A double-click or Details on an application's row opens its
// documents: the rows, largest time first and striped anew, show shares rounded and "Total:" at
// 100%; 456 of 1000 seconds show 46% in the row and 45% (fraction dropped) in the
// documents' caption, whose rows are the titles in byte order (the desktop's empty title a row
// of its own) and their sum. The rows stay as they opened while the store counts on; the
// caption takes the counts of the moment but never says more than 100%.
TEST(AppStatsDialog, EnterPressesTheFocusedButtonAndApplicationRowsOpenTheirDocuments)
{
    ActivityStore store;
    for (const auto& [title, ticks] : {std::pair("a.txt", 400), std::pair("Z", 50), std::pair("", 6)})
        Count(store, "editor.exe", title, ticks);
    Count(store, "other.exe", "Other", 544);
    AppStatsDialog dialog(nullptr, store, nullptr);
    const HWND& window = dialog.m_hWnd;
    const auto list = [&] { return dialog.GetDlgItem(IDC_APPSTATS_LIST); };
    const auto enterOn = [&](int id) {
        return ui::Script::Do([&, id] {
            ::SetFocus(::GetDlgItem(window, id));
            ::PostMessageA(::GetDlgItem(window, id), WM_KEYDOWN, VK_RETURN, 0x001C0001);
        });
    };
    ui::Rows rows, documents;
    std::vector<std::string> captions;
    const auto readDocuments = [&](HWND opened) {
        captions.push_back(ui::Text(opened));
        documents = ui::ListRows(::GetDlgItem(opened, IDC_DOCUMENTS_LIST));
    };
    Steps steps = {enterOn(IDC_DETAILS)};
    ReadAndClose(steps, AppTitle().c_str(), [&](HWND box) {
        const HWND icon = ::FindWindowExA(box, nullptr, "Static", nullptr);   // a message box's first
        EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageA(icon, STM_GETICON, 0, 0)), ::LoadIconA(nullptr, IDI_HAND));
        EXPECT_EQ(::GetWindow(box, GW_OWNER), window);
        EXPECT_EQ(ui::BoxText(box), "No application was selected. Please, select an application and click 'Details' "
                                    "button or just double click this application.");
    });
    steps.push_back(enterOn(IDC_APPSTATS_LIST));
    steps.push_back(ui::Script::Do([&] {
        rows = ui::ListRows(list());
        EXPECT_EQ(Backgrounds(list()), "SSS WWW WWW LLL ");
        ListView_SetItemState(list(), 2, LVIS_SELECTED, LVIS_SELECTED);
        ui::PostCommand(window, IDC_DETAILS);   // on the blank row: nothing, as on "Total:"
        PostDoubleClick(list(), 3);
        PostDoubleClick(list(), 1);
    }));
    ReadAndClose(steps, DocumentsCaption, readDocuments);
    steps.push_back(ui::Script::Do([&] {
        EXPECT_EQ(documents, (ui::Rows{{"", "0:00:06"}, {"Z", "0:00:50"}, {"a.txt", "0:06:40"}, {"", ""},
                                       {"Total:", "0:07:36"}}));
        EXPECT_EQ(ui::FindDialog(AppTitle()), nullptr);
        Count(store, "other.exe", "Other", 1000);
        EXPECT_EQ(ui::ListRows(list()), rows);
        ListView_SetItemState(list(), -1, LVIS_SELECTED, LVIS_SELECTED);   // Details opens the topmost
        ui::PostCommand(window, IDC_DETAILS);
    }));
    ReadAndClose(steps, DocumentsCaption, readDocuments);
    steps.push_back(ui::Script::Do([&] {
        for (int i = 0; i < 1600; ++i)   // counted past the total: 2056 of 2000
            store.AddTick("editor.exe", "a.txt");
        PostDoubleClick(list(), 1);
    }));
    ReadAndClose(steps, DocumentsCaption, readDocuments);
    steps.push_back(enterOn(IDOK));
    EXPECT_EQ(ui::Script::Run(dialog, steps, false), IDOK);
    EXPECT_EQ(rows, (ui::Rows{{"other.exe", "0:09:04", "54%"}, {"editor.exe", "0:07:36", "46%"}, {"", "", ""},
                              {"Total:", "0:16:40", "100%"}}));
    EXPECT_EQ(captions, (std::vector<std::string>{"Statistics for 'editor.exe'. 45% from total time",
                                                  "Statistics for 'other.exe'. 77% from total time",
                                                  "Statistics for 'editor.exe'. 100% from total time"}));
}

// Whatever the dialog font, "Web site:" stays on one line and the whole address shows after it,
// underlined, inside the dialog. The link names the site in its tooltip and opens the address.
TEST(AboutDialog, ShowsTheWholeSiteLineAndItsLinkNamesAndTargetsTheSite)
{
    const std::string site = "https://www.norvatech.example/";
    AboutDialog dialog;
    ui::Script::Run(dialog, {ui::Script::Do([&] {
        const HWND window = dialog.m_hWnd, link = dialog.GetDlgItem(IDC_WEBSITE_LINK);
        const HDC dc = ::GetDC(window);
        ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(window, WM_GETFONT, 0, 0)));
        SIZE label{}, address{};
        ::GetTextExtentPoint32A(dc, "Web site:", 9, &label);
        ::GetTextExtentPoint32A(dc, site.c_str(), static_cast<int>(site.size()), &address);
        ::ReleaseDC(window, dc);
        const Box labelAt = PlaceOf(window, IDC_WEBSITE_LABEL), linkAt = PlaceOf(window, IDC_WEBSITE_LINK);
        EXPECT_TRUE(labelAt[2] - labelAt[0] >= label.cx && linkAt[0] >= labelAt[2] && linkAt[2] - linkAt[0] > address.cx
                    && linkAt[2] <= PlaceOf(window, IDOK)[2]);
        EXPECT_GE(Picture(link).LongestRun(::GetSysColor(COLOR_HIGHLIGHT)), address.cx - 2) << "the address cut";
        EXPECT_EQ(ToolTipText(link), "Norvatech site");
        static_cast<HyperlinkCtrl*>(Window::FromHandle(link))->SetToolTipText(nullptr);   // the target shows instead
        EXPECT_EQ(ToolTipText(link), site);
    })});
}

}  // namespace
