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
#include "framework/Resources.h"
#include "res/resource.h"
#include "tests/controls/Seen.h"
#include "tests/support/ImportPatch.h"
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

// 4, 1 and 2 seconds of 7: shares rounded (28.6% shows 29%), "Total:" at 100% whatever they add
// up to; the largest time first, the rows striped anew. The dialog may only grow in height: the
// list takes it, OK and Details stay, the size grip follows the lower right corner. A control
// anchored while the dialog is enlarged is placed at once; one tied to no edge is not anchored.
TEST(AppStatsDialog, ListsApplicationsLargestFirstWithRoundedSharesAndGrowsOnlyInHeight)
{
    ActivityStore store;
    for (const auto& [app, ticks] : {std::pair("a.exe", 4), std::pair("b.exe", 1), std::pair("c.exe", 2)})
        Count(store, app, "", ticks);
    AppStatsDialog dialog(nullptr, store, nullptr);
    ui::Script::Run(dialog, {ui::Script::Do([&] {
        const HWND window = dialog.m_hWnd, list = dialog.GetDlgItem(IDC_APPSTATS_LIST);
        EXPECT_EQ(ui::ListRows(list), (ui::Rows{{"a.exe", "0:00:04", "57%"}, {"c.exe", "0:00:02", "29%"},
                                                {"b.exe", "0:00:01", "14%"}, {"", "", ""},
                                                {"Total:", "0:00:07", "100%"}}));
        const Picture picture(list);
        std::vector<COLORREF> backgrounds;
        for (int row = 0; row < 5; ++row) {
            RECT cell{};
            ListView_GetItemRect(list, row, &cell, LVIR_LABEL);
            backgrounds.push_back(picture.At(cell.right - 2, cell.top + 2));
        }
        const COLORREF stripe = RGB(232, 232, 243), white = RGB(255, 255, 255);
        EXPECT_EQ(backgrounds, (std::vector<COLORREF>{stripe, white, stripe, white, RGB(185, 200, 216)}));

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
        EXPECT_FALSE(dialog.AddAnchor(dialog.GetDlgItem(IDC_DETAILS), AnchorFixed, AnchorFixed));
        EXPECT_TRUE(dialog.AddAnchor(dialog.GetDlgItem(IDC_DETAILS), AnchorFixed, AnchorFollow));
        EXPECT_EQ(PlaceOf(window, IDC_DETAILS, {0, -100, 0, -100}), details);
        Size(window, width, height);   // laid out again from where they opened
        EXPECT_EQ(PlaceOf(window, IDC_APPSTATS_LIST), listAt);
    })});
}

// Documents grow both ways: the list takes the growth, OK stays centred below it, and the columns
// keep 80 and 20 per cent of the list's client width (less one pixel: no horizontal scroll bar).
TEST(ResizableDialog, DocumentsGrowBothWaysWithTheListAndOkCentredBelowIt)
{
    const DocumentsDialog::DocumentMap documents = {{"notes.txt", 5}};
    DocumentsDialog dialog(nullptr, "editor.exe", 100, documents);
    ui::Script::Run(dialog, {ui::Script::Do([&] {
        const HWND window = dialog.m_hWnd, list = dialog.GetDlgItem(IDC_DOCUMENTS_LIST);
        const auto [width, height] = Size(window);
        const Box listAt = PlaceOf(window, IDC_DOCUMENTS_LIST), ok = PlaceOf(window, IDOK);
        Size(window, width + 101, height + 60);
        EXPECT_EQ(PlaceOf(window, IDC_DOCUMENTS_LIST, {0, 0, -101, -60}), listAt);
        EXPECT_EQ(PlaceOf(window, IDOK, {-50, -60, -50, -60}), ok) << "half of 101, fraction dropped";
        for (const auto& [client, documents, duration] : {std::array{500, 400, 99}, std::array{601, 480, 120}}) {
            RECT area{};
            ::GetClientRect(list, &area);   // the list grows as much as the dialog
            Size(window, Size(window).first + client - area.right, height);
            ::GetClientRect(list, &area);
            EXPECT_EQ(std::tuple(area.right, ListView_GetColumnWidth(list, 0), ListView_GetColumnWidth(list, 1)),
                      std::tuple(LONG{client}, documents, duration));
        }
    })});
}

// 456 of 1000 seconds: 46% in the row, 45% (fraction dropped) in the documents' caption, whose
// rows are the titles in byte order (the desktop's empty title a row of its own) and their sum.
// The rows stay as they opened while the store counts on; the caption takes the counts of the
// moment but never says more than 100%.
TEST(AppStatsDialog, DoubleClickAndDetailsOpenTheDocumentsWithTheTruncatedShareOfTheMoment)
{
    ActivityStore store;
    for (const auto& [title, ticks] : {std::pair("a.txt", 400), std::pair("Z", 50), std::pair("", 6)})
        Count(store, "editor.exe", title, ticks);
    Count(store, "other.exe", "Other", 544);
    AppStatsDialog dialog(nullptr, store, nullptr);
    const auto list = [&] { return dialog.GetDlgItem(IDC_APPSTATS_LIST); };
    ui::Rows rows, documents;
    std::vector<std::string> captions;
    const auto readDocuments = [&](HWND opened) {
        captions.push_back(ui::Text(opened));
        documents = ui::ListRows(::GetDlgItem(opened, IDC_DOCUMENTS_LIST));
    };
    Steps steps = {ui::Script::Do([&] {
        rows = ui::ListRows(list());
        PostDoubleClick(list(), 1);
    })};
    ReadAndClose(steps, DocumentsCaption, readDocuments);
    steps.push_back(ui::Script::Do([&] {
        EXPECT_EQ(documents, (ui::Rows{{"", "0:00:06"}, {"Z", "0:00:50"}, {"a.txt", "0:06:40"}, {"", ""},
                                       {"Total:", "0:07:36"}}));
        Count(store, "other.exe", "Other", 1000);
        EXPECT_EQ(ui::ListRows(list()), rows);
        ListView_SetItemState(list(), -1, LVIS_SELECTED, LVIS_SELECTED);   // Details opens the topmost
        ui::PostCommand(dialog.m_hWnd, IDC_DETAILS);
    }));
    ReadAndClose(steps, DocumentsCaption, readDocuments);
    steps.push_back(ui::Script::Do([&] {
        for (int i = 0; i < 1600; ++i)   // counted past the total: 2056 of 2000
            store.AddTick("editor.exe", "a.txt");
        PostDoubleClick(list(), 1);
    }));
    ReadAndClose(steps, DocumentsCaption, readDocuments);
    ui::Script::Run(dialog, steps);
    EXPECT_EQ(rows, (ui::Rows{{"other.exe", "0:09:04", "54%"}, {"editor.exe", "0:07:36", "46%"}, {"", "", ""},
                              {"Total:", "0:16:40", "100%"}}));
    EXPECT_EQ(captions, (std::vector<std::string>{"Statistics for 'editor.exe'. 45% from total time",
                                                  "Statistics for 'other.exe'. 77% from total time",
                                                  "Statistics for 'editor.exe'. 100% from total time"}));
}

// Enter presses the focused icon button only, never the dialog's default button: on Details with
// no row selected it tells so, with the stop sign over the dialog; on the list it does nothing;
// on OK it closes the dialog. The blank and "Total:" rows name no application: Details and a
// double-click on them open nothing.
TEST(AppStatsDialog, EnterPressesTheFocusedButtonAndOnlyApplicationRowsOpenDocuments)
{
    ActivityStore store;
    Count(store, "editor.exe", "notes.txt", 2);
    AppStatsDialog dialog(nullptr, store, nullptr);
    const HWND& window = dialog.m_hWnd;
    const auto enterOn = [&](int id) {
        return ui::Script::Do([&, id] {
            ::SetFocus(::GetDlgItem(window, id));
            ::PostMessageA(::GetDlgItem(window, id), WM_KEYDOWN, VK_RETURN, 0x001C0001);
        });
    };
    Steps steps = {enterOn(IDC_DETAILS)};
    ReadAndClose(steps, AppTitle().c_str(), [&](HWND box) {
        const HWND icon = ::FindWindowExA(box, nullptr, "Static", nullptr);   // a message box's first
        EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageA(icon, STM_GETICON, 0, 0)), ::LoadIconA(nullptr, IDI_HAND));
        EXPECT_EQ(::GetWindow(box, GW_OWNER), window);
        EXPECT_EQ(ui::BoxText(box), LoadResString(IDS_NO_SELECTION));
    });
    steps.push_back(enterOn(IDC_APPSTATS_LIST));
    steps.push_back(ui::Script::Do([&] {
        ListView_SetItemState(::GetDlgItem(window, IDC_APPSTATS_LIST), 1, LVIS_SELECTED, LVIS_SELECTED);
        ui::PostCommand(window, IDC_DETAILS);
        PostDoubleClick(::GetDlgItem(window, IDC_APPSTATS_LIST), 2);
    }));
    steps.push_back(ui::Script::Wait(200));
    steps.push_back(ui::Script::Do([] {
        EXPECT_EQ(ui::FindDialog(DocumentsCaption), nullptr);
        EXPECT_EQ(ui::FindDialog(AppTitle()), nullptr);
    }));
    steps.push_back(enterOn(IDOK));
    EXPECT_EQ(ui::Script::Run(dialog, steps, false), IDOK);
}

std::vector<std::string> opened;   // verb and file of every shell request

BOOL WINAPI RecordOpen(SHELLEXECUTEINFOA* request)
{
    opened.push_back(std::string(request->lpVerb) + " " + request->lpFile);
    return TRUE;
}

// Whatever the dialog font, "Web site:" stays on one line and the whole address shows after it,
// inside the dialog. The link names the site in its tooltip, and a click opens it.
TEST(AboutDialog, ShowsTheWholeSiteLineAndItsLinkOpensTheSite)
{
    const ImportPatch shell("shell32.dll", "ShellExecuteExA", &RecordOpen);
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
        EXPECT_EQ(ToolTipText(link), "Norvatech site");
        ::SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        ::SendMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        EXPECT_EQ(opened, std::vector<std::string>{"open " + site});
    })});
}

}  // namespace
