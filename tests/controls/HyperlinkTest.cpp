// The hyperlink control on a real push button in a real parent window, driven by real messages.
// The parent records every WM_NOTIFY of the link and may answer 0 to one code; the shell and the
// OLE drag loop are replaced so that nothing is launched and no modal drag runs.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "controls/HyperlinkCtrl.h"
#include "controls/UrlDataObject.h"

namespace {

const char* const Url = "https://www.norvatech.example/";
constexpr int LinkId = 1011;
// The common notification codes as the signed values the link sends.
constexpr int DblClk = static_cast<int>(NM_DBLCLK);
constexpr int RClick = static_cast<int>(NM_RCLICK);
constexpr int RDblClk = static_cast<int>(NM_RDBLCLK);
constexpr int SetFocusCode = static_cast<int>(NM_SETFOCUS);
constexpr int KillFocusCode = static_cast<int>(NM_KILLFOCUS);

struct ParentLog {
    HWND link = nullptr;
    std::vector<NMHYPERLINK> notes;
    std::vector<WPARAM> commands;
    std::set<int> refused;   // codes answered with value 0
};
ParentLog* parentLog = nullptr;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY && parentLog != nullptr) {
        auto* note = reinterpret_cast<NMHYPERLINK*>(lParam);
        if (note->hdr.hwndFrom == parentLog->link) {
            if (parentLog->refused.count(static_cast<int>(note->hdr.code)) != 0)
                note->value = 0;
            parentLog->notes.push_back(*note);
        }
        return 0;
    }
    if (message == WM_COMMAND && parentLog != nullptr) {
        parentLog->commands.push_back(wParam);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

struct DragCapture {
    int runs = 0;
    DWORD allowedEffects = 0;
    HRESULT getData = E_FAIL;
    std::vector<char> block;
    HRESULT continueHeld = E_FAIL;
    HRESULT continueReleased = E_FAIL;
    HRESULT continueEscape = E_FAIL;
};

// The link with the shell and the drag loop recorded instead of run.
class RecordingLink : public HyperlinkCtrl {
public:
    struct Launch {
        DWORD cbSize;
        HWND hwnd;
        std::string verb;
        std::string file;
        int show;
    };
    std::vector<Launch> launches;
    DragCapture drag;
    DWORD dropEffect = DROPEFFECT_LINK;

protected:
    BOOL ExecuteShell(SHELLEXECUTEINFOA& request) override
    {
        launches.push_back({ request.cbSize, request.hwnd, request.lpVerb ? request.lpVerb : "",
                             request.lpFile ? request.lpFile : "", request.nShow });
        return FALSE;   // as if the shell could not open it
    }

    HRESULT RunDragDrop(IDataObject* data, IDropSource* source, DWORD allowedEffects,
                        DWORD* effect) override
    {
        ++drag.runs;
        drag.allowedEffects = allowedEffects;
        FORMATETC format = { static_cast<CLIPFORMAT>(RegisterClipboardFormatA("UniformResourceLocator")),
                             nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL };
        STGMEDIUM medium = {};
        drag.getData = data->GetData(&format, &medium);
        if (drag.getData == S_OK) {
            const auto* bytes = static_cast<const char*>(GlobalLock(medium.hGlobal));
            drag.block.assign(bytes, bytes + GlobalSize(medium.hGlobal));
            GlobalUnlock(medium.hGlobal);
            ReleaseStgMedium(&medium);
        }
        const DWORD button = (allowedEffects & DROPEFFECT_COPY) ? MK_RBUTTON : MK_LBUTTON;
        drag.continueHeld = source->QueryContinueDrag(FALSE, button);
        drag.continueReleased = source->QueryContinueDrag(FALSE, 0);
        drag.continueEscape = source->QueryContinueDrag(TRUE, button);
        *effect = dropEffect;
        return DRAGDROP_S_DROP;
    }
};

// A 32-bit top-down image of the link's client area, painted through WM_PRINTCLIENT.
class LinkImage {
public:
    explicit LinkImage(HWND link)
    {
        GetClientRect(link, &m_client);
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = m_client.right;
        info.bmiHeader.biHeight = -m_client.bottom;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(dc, bitmap);
        SendMessageA(link, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        GdiFlush();
        const auto* pixels = static_cast<const DWORD*>(bits);
        m_pixels.assign(pixels, pixels + m_client.right * m_client.bottom);
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }

    COLORREF At(int x, int y) const
    {
        const DWORD pixel = m_pixels[y * m_client.right + x];
        return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    }
    int Count(COLORREF color) const
    {
        int count = 0;
        for (int y = 0; y < m_client.bottom; ++y)
            for (int x = 0; x < m_client.right; ++x)
                count += At(x, y) == color;
        return count;
    }
    // The longest horizontal run of color: an underline spans the whole text.
    int LongestRun(COLORREF color) const
    {
        int longest = 0;
        for (int y = 0; y < m_client.bottom; ++y) {
            int run = 0;
            for (int x = 0; x < m_client.right; ++x) {
                run = At(x, y) == color ? run + 1 : 0;
                longest = std::max(longest, run);
            }
        }
        return longest;
    }

private:
    RECT m_client{};
    std::vector<DWORD> m_pixels;
};

LPARAM At(int x, int y)
{
    return MAKELPARAM(x, y);
}

void PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Wine may apply a pending pointer event after SetCursorPos; settle on the wanted position.
void MoveCursorTo(POINT screen)
{
    for (int attempt = 0; attempt < 50; ++attempt) {
        SetCursorPos(screen.x, screen.y);
        PumpMessages();
        Sleep(10);
        PumpMessages();
        POINT now{};
        GetCursorPos(&now);
        if (now.x == screen.x && now.y == screen.y)
            return;
    }
}

class HyperlinkTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = ParentProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.lpszClassName = "HyperlinkTestParent";
        RegisterClassA(&windowClass);
    }

    void SetUp() override { parentLog = &log; }

    void TearDown() override
    {
        if (parent != nullptr)
            DestroyWindow(parent);
        PumpMessages();
        parentLog = nullptr;
    }

    // A parent with push button 1011, taken over by link after text, url and tip are set.
    void Bind(const char* text, const char* url, const char* tip) { Bind(link, text, url, tip); }
    void Bind(RecordingLink& link, const char* text, const char* url, const char* tip)
    {
        parent = CreateWindowExA(0, "HyperlinkTestParent", "Link test",
                                 WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 420, 160, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, parent);
        HWND button = CreateWindowExA(0, "BUTTON", Url, WS_CHILD | WS_VISIBLE | WS_TABSTOP |
                                      BS_PUSHBUTTON, 10, 10, 360, 60, parent,
                                      reinterpret_cast<HMENU>(LinkId), nullptr, nullptr);
        ASSERT_NE(nullptr, button);
        SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
        link.SetLinkText(text);
        link.SetLinkUrl(url);
        link.SetToolTipText(tip);
        ASSERT_TRUE(link.SubclassWindow(button));
        log.link = button;
        UpdateWindow(parent);
        PumpMessages();
        log.notes.clear();
    }

    HWND Link() const { return log.link; }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return SendMessageA(Link(), message, wParam, lParam);
    }
    // A point on the painted text.
    POINT OnText() const
    {
        return { GetSystemMetrics(SM_CXEDGE) + 3, GetSystemMetrics(SM_CYEDGE) + 3 };
    }
    LPARAM OnTextAt(int dx = 0, int dy = 0) const
    {
        const POINT point = OnText();
        return At(point.x + dx, point.y + dy);
    }

    int Count(int code) const
    {
        return static_cast<int>(std::count_if(log.notes.begin(), log.notes.end(),
            [code](const NMHYPERLINK& note) { return static_cast<int>(note.hdr.code) == code; }));
    }
    std::vector<int> Codes() const
    {
        std::vector<int> codes;
        for (const NMHYPERLINK& note : log.notes)
            codes.push_back(static_cast<int>(note.hdr.code));
        return codes;
    }
    const NMHYPERLINK* Last(int code) const
    {
        for (auto note = log.notes.rbegin(); note != log.notes.rend(); ++note)
            if (static_cast<int>(note->hdr.code) == code)
                return &*note;
        return nullptr;
    }

    void Click(LPARAM down, LPARAM up)
    {
        Send(WM_LBUTTONDOWN, MK_LBUTTON, down);
        Send(WM_LBUTTONUP, 0, up);
    }

    ParentLog log;
    HWND parent = nullptr;
    RecordingLink link;
};

struct ToolSearch {
    HWND link;
    std::string text;
    RECT rect;
    bool found;
};

BOOL CALLBACK FindLinkTool(HWND window, LPARAM data)
{
    auto& search = *reinterpret_cast<ToolSearch*>(data);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpiA(className, TOOLTIPS_CLASSA) != 0)
        return TRUE;
    char text[256] = {};
    TTTOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = search.link;
    tool.uId = 1;
    if (!SendMessageA(window, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool)))
        return TRUE;
    search.rect = tool.rect;
    tool.lpszText = text;
    SendMessageA(window, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    search.text = text;
    search.found = true;
    return FALSE;
}

// The text of tool 1 of the tooltip that belongs to the link.
std::string ToolText(HWND link, RECT* toolRect = nullptr)
{
    ToolSearch search{ link, "", {}, false };
    EnumThreadWindows(GetCurrentThreadId(), FindLinkTool, reinterpret_cast<LPARAM>(&search));
    if (toolRect != nullptr)
        *toolRect = search.rect;
    return search.found ? search.text : "<no tool>";
}

TEST_F(HyperlinkTest, ToolTipShowsTipThenUrlThenTextForTheWholeClientArea)
{
    Bind("Vantel home", Url, "Norvatech site");
    RECT toolRect{};
    EXPECT_EQ("Norvatech site", ToolText(Link(), &toolRect));
    RECT client{};
    GetClientRect(Link(), &client);
    EXPECT_TRUE(EqualRect(&client, &toolRect));

    link.SetToolTipText(nullptr);
    EXPECT_EQ(Url, ToolText(Link()));
    link.SetLinkUrl("");
    EXPECT_EQ("Vantel home", ToolText(Link()));
    link.SetToolTipText("Again");
    EXPECT_EQ("Again", ToolText(Link()));
}

TEST_F(HyperlinkTest, ToolTipOfALinkBoundWithoutTipOrUrlShowsItsText)
{
    Bind("Only text", nullptr, nullptr);
    EXPECT_EQ("Only text", ToolText(Link()));
}

TEST_F(HyperlinkTest, ClickOpensUrlWithShellAndMarksVisitedEvenWhenShellFails)
{
    Bind("Vantel home", Url, nullptr);
    const COLORREF linkColor = GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF visited = RGB(128, 0, 128);
    {
        const LinkImage before(Link());
        EXPECT_GT(before.Count(linkColor), 0);
        EXPECT_EQ(0, before.Count(visited));
        EXPECT_GE(before.LongestRun(linkColor), 40) << "link text is underlined";
    }

    Click(OnTextAt(), OnTextAt());
    ASSERT_EQ(1u, link.launches.size());
    const RecordingLink::Launch& launch = link.launches[0];
    EXPECT_EQ(sizeof(SHELLEXECUTEINFOA), launch.cbSize);
    EXPECT_EQ(60u, sizeof(SHELLEXECUTEINFOA)) << "32-bit build";
    EXPECT_EQ(Link(), launch.hwnd);
    EXPECT_EQ("open", launch.verb);
    EXPECT_EQ(Url, launch.file);
    EXPECT_EQ(SW_SHOWNORMAL, launch.show);

    const NMHYPERLINK* navigate = Last(HLN_NAVIGATE);
    ASSERT_NE(nullptr, navigate);
    EXPECT_EQ(Link(), navigate->hdr.hwndFrom);
    EXPECT_EQ(static_cast<UINT_PTR>(LinkId), navigate->hdr.idFrom);
    EXPECT_EQ(1, navigate->value);

    // The recording shell reported failure; the link is purple all the same.
    const LinkImage after(Link());
    EXPECT_GT(after.Count(visited), 0);
    EXPECT_EQ(0, after.Count(linkColor));
}

TEST_F(HyperlinkTest, WithoutUrlTheTextIsOpened)
{
    Bind("https://text.example/", "", nullptr);
    Click(OnTextAt(), OnTextAt());
    ASSERT_EQ(1u, link.launches.size());
    EXPECT_EQ("https://text.example/", link.launches[0].file);
}

TEST_F(HyperlinkTest, ParentCancellingNavigationKeepsLinkUnvisited)
{
    Bind("Vantel home", Url, nullptr);
    log.refused.insert(HLN_NAVIGATE);
    Click(OnTextAt(), OnTextAt());
    EXPECT_EQ(1, Count(HLN_NAVIGATE));
    EXPECT_TRUE(link.launches.empty());
    const LinkImage image(Link());
    EXPECT_EQ(0, image.Count(RGB(128, 0, 128)));
    EXPECT_GT(image.Count(GetSysColor(COLOR_HIGHLIGHT)), 0);
}

TEST_F(HyperlinkTest, PressAnywhereInsideThenReleaseInsideOpensButReleaseOutsideDoesNot)
{
    Bind("Vantel home", Url, nullptr);
    Click(At(300, 50), At(250, 45));   // pressed beside the text
    EXPECT_EQ(1u, link.launches.size());

    Click(OnTextAt(), At(500, 45));    // released beyond the control
    EXPECT_EQ(1u, link.launches.size());
    EXPECT_EQ(nullptr, GetCapture());

    Send(WM_LBUTTONUP, 0, OnTextAt());  // a release without a press
    EXPECT_EQ(1u, link.launches.size());
}

TEST_F(HyperlinkTest, DragStartsAtTheSystemDragDistanceAndEndsThePress)
{
    Bind("Vantel home", Url, nullptr);
    const int dragX = GetSystemMetrics(SM_CXDRAG);
    const int dragY = GetSystemMetrics(SM_CYDRAG);

    Send(WM_LBUTTONDOWN, MK_LBUTTON, OnTextAt());
    EXPECT_EQ(Link(), GetCapture());
    Send(WM_MOUSEMOVE, MK_LBUTTON, OnTextAt(dragX - 1, dragY - 1));
    EXPECT_EQ(0, Count(HLN_BEGINDRAG));
    EXPECT_EQ(0, link.drag.runs);
    Send(WM_MOUSEMOVE, MK_LBUTTON, OnTextAt(dragX, 0));
    EXPECT_EQ(1, Count(HLN_BEGINDRAG));
    EXPECT_EQ(1, Last(HLN_BEGINDRAG)->value);
    EXPECT_EQ(1, link.drag.runs);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_LINK | DROPEFFECT_SCROLL), link.drag.allowedEffects);
    ASSERT_NE(nullptr, Last(HLN_DRAGEND));
    EXPECT_EQ(DROPEFFECT_LINK, Last(HLN_DRAGEND)->value);
    Send(WM_LBUTTONUP, 0, OnTextAt(dragX, 0));
    EXPECT_TRUE(link.launches.empty()) << "a press that became a drag opens nothing";

    // Vertically, and from a press on the text only.
    Send(WM_LBUTTONDOWN, MK_LBUTTON, OnTextAt());
    Send(WM_MOUSEMOVE, MK_LBUTTON, OnTextAt(0, dragY));
    EXPECT_EQ(2, link.drag.runs);
    Send(WM_LBUTTONUP, 0, OnTextAt(0, dragY));
    Send(WM_LBUTTONDOWN, MK_LBUTTON, At(300, 50));
    Send(WM_MOUSEMOVE, MK_LBUTTON, At(200, 20));
    EXPECT_EQ(2, link.drag.runs);
    Send(WM_LBUTTONUP, 0, At(200, 20));
    EXPECT_EQ(1u, link.launches.size());
}

TEST_F(HyperlinkTest, RefusedDragLeavesThePressSoTheReleaseOpens)
{
    Bind("Vantel home", Url, nullptr);
    log.refused.insert(HLN_BEGINDRAG);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, OnTextAt());
    Send(WM_MOUSEMOVE, MK_LBUTTON, OnTextAt(20, 0));
    Send(WM_MOUSEMOVE, MK_LBUTTON, OnTextAt(40, 0));
    EXPECT_EQ(1, Count(HLN_BEGINDRAG)) << "asked once per press";
    EXPECT_EQ(0, link.drag.runs);
    EXPECT_EQ(0, Count(HLN_DRAGEND));
    Send(WM_LBUTTONUP, 0, OnTextAt(40, 0));
    EXPECT_EQ(1u, link.launches.size());
}

TEST_F(HyperlinkTest, DraggedBlockHoldsTheFirst4096BytesOfTheUrlAndAZero)
{
    std::string longUrl = "https://long.example/";
    while (longUrl.size() < 5000)
        longUrl += static_cast<char>('a' + longUrl.size() % 26);
    Bind("Long link", longUrl.c_str(), nullptr);

    Send(WM_LBUTTONDOWN, MK_LBUTTON, OnTextAt());
    Send(WM_MOUSEMOVE, MK_LBUTTON, OnTextAt(30, 0));
    ASSERT_EQ(1, link.drag.runs);
    ASSERT_EQ(S_OK, link.drag.getData);
    ASSERT_GE(link.drag.block.size(), 4097u);
    EXPECT_EQ(0, std::memcmp(longUrl.data(), link.drag.block.data(), 4096));
    EXPECT_EQ('\0', link.drag.block[4096]);
    EXPECT_EQ(S_OK, link.drag.continueHeld);
    EXPECT_EQ(DRAGDROP_S_DROP, link.drag.continueReleased);
    EXPECT_EQ(DRAGDROP_S_CANCEL, link.drag.continueEscape);
    const std::vector<char> leftBlock = link.drag.block;

    // The right button carries the same block, with more effects allowed.
    link.dropEffect = DROPEFFECT_COPY;
    Send(WM_RBUTTONDOWN, MK_RBUTTON, OnTextAt());
    Send(WM_MOUSEMOVE, MK_RBUTTON, OnTextAt(0, 30));
    ASSERT_EQ(2, link.drag.runs);
    EXPECT_EQ(1, Count(HLN_RIGHTBEGINDRAG));
    EXPECT_EQ(0x80000007u, link.drag.allowedEffects);
    EXPECT_EQ(leftBlock, link.drag.block);
    EXPECT_EQ(S_OK, link.drag.continueHeld);
    EXPECT_EQ(DRAGDROP_S_DROP, link.drag.continueReleased);
    ASSERT_NE(nullptr, Last(HLN_RIGHTDRAGEND));
    EXPECT_EQ(DROPEFFECT_COPY, Last(HLN_RIGHTDRAGEND)->value);
    EXPECT_EQ(1, Count(HLN_DRAGEND));
}

TEST_F(HyperlinkTest, DragWithoutUrlCarriesTheText)
{
    Bind("https://text.example/", nullptr, nullptr);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, OnTextAt());
    Send(WM_MOUSEMOVE, MK_LBUTTON, OnTextAt(30, 0));
    ASSERT_EQ(S_OK, link.drag.getData);
    EXPECT_STREQ("https://text.example/", link.drag.block.data());
}

TEST_F(HyperlinkTest, DragWithoutOleEndsWithNoEffect)
{
    // The real drag loop on a thread where OLE was never initialised.
    parent = CreateWindowExA(0, "HyperlinkTestParent", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                             420, 160, nullptr, nullptr, nullptr, nullptr);
    HyperlinkCtrl plain;
    plain.SetLinkText(Url);
    ASSERT_TRUE(plain.Create(parent, LinkId, RECT{ 10, 10, 370, 70 }));
    log.link = plain.m_hWnd;
    UpdateWindow(parent);
    SendMessageA(plain.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, OnTextAt());
    SendMessageA(plain.m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, OnTextAt(30, 0));
    ASSERT_NE(nullptr, Last(HLN_DRAGEND));
    EXPECT_EQ(DROPEFFECT_NONE, Last(HLN_DRAGEND)->value);
    DestroyWindow(parent);
    parent = nullptr;
}

TEST_F(HyperlinkTest, DragWithOleRunsTheRealLoopUntilTheButtonIsUp)
{
    // A thread of its own, so that OLE is initialised only there. No button is really held,
    // so the drag loop drops at once on nothing.
    std::thread thread([this] {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        HWND owner = CreateWindowExA(0, "HyperlinkTestParent", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                     40, 40, 420, 160, nullptr, nullptr, nullptr, nullptr);
        {
            HyperlinkCtrl plain;
            plain.SetLinkText(Url);
            ASSERT_TRUE(plain.Create(owner, LinkId, RECT{ 10, 10, 370, 70 }));
            log.link = plain.m_hWnd;
            UpdateWindow(owner);
            SendMessageA(plain.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, OnTextAt());
            SendMessageA(plain.m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, OnTextAt(30, 0));
            DestroyWindow(owner);
        }
        OleUninitialize();
    });
    thread.join();
    EXPECT_EQ(1, Count(HLN_BEGINDRAG));
    ASSERT_NE(nullptr, Last(HLN_DRAGEND));
    EXPECT_EQ(DROPEFFECT_NONE, Last(HLN_DRAGEND)->value);
}

TEST(UrlDataObjectTest, OffersOneFormatOnGlobalMemory)
{
    const CLIPFORMAT format = static_cast<CLIPFORMAT>(RegisterClipboardFormatA("UniformResourceLocator"));
    GlobalBlock block(GlobalAlloc(GMEM_DDESHARE | GMEM_ZEROINIT, 8));
    std::memcpy(GlobalLock(block.get()), "a.b/c", 5);
    GlobalUnlock(block.get());
    const OlePtr<IDataObject> data = MakeBlockDataObject(std::move(block), format);

    FORMATETC wanted = { format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL };
    EXPECT_EQ(S_OK, data->QueryGetData(&wanted));
    FORMATETC text = { CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL };
    EXPECT_EQ(DV_E_FORMATETC, data->QueryGetData(&text));
    FORMATETC onFile = { format, nullptr, DVASPECT_CONTENT, -1, TYMED_FILE };
    STGMEDIUM medium = {};
    EXPECT_EQ(DV_E_TYMED, data->GetData(&onFile, &medium));

    // Two reads give two independent copies.
    STGMEDIUM first = {}, second = {};
    ASSERT_EQ(S_OK, data->GetData(&wanted, &first));
    ASSERT_EQ(S_OK, data->GetData(&wanted, &second));
    EXPECT_NE(first.hGlobal, second.hGlobal);
    EXPECT_STREQ("a.b/c", static_cast<const char*>(GlobalLock(second.hGlobal)));
    GlobalUnlock(second.hGlobal);
    ReleaseStgMedium(&first);
    ReleaseStgMedium(&second);

    IEnumFORMATETC* formats = nullptr;
    ASSERT_EQ(S_OK, data->EnumFormatEtc(DATADIR_GET, &formats));
    FORMATETC listed[2] = {};
    ULONG count = 0;
    formats->Next(2, listed, &count);
    formats->Release();
    ASSERT_EQ(1u, count);
    EXPECT_EQ(format, listed[0].cfFormat);
    EXPECT_EQ(static_cast<DWORD>(TYMED_HGLOBAL), listed[0].tymed);
}

TEST(UrlDataObjectTest, MultibyteCutNeverSplitsADoubleByteCharacter)
{
    const std::string shiftJis = "ab\x82\xa0" "c";   // a, b, one double-byte character, c
    EXPECT_EQ(2u, MultibytePrefixLength(shiftJis, 3, 932));
    EXPECT_EQ(4u, MultibytePrefixLength(shiftJis, 4, 932));
    EXPECT_EQ(5u, MultibytePrefixLength(shiftJis, 4096, 932));
    EXPECT_EQ(3u, MultibytePrefixLength(shiftJis, 3, 1252));
    EXPECT_EQ(3u, MultibytePrefixLength("ab\x82", 8, 932)) << "a lone lead byte at the end";
    EXPECT_EQ(0u, MultibytePrefixLength("", 8, 932));
}

TEST_F(HyperlinkTest, RightAndMiddleClicksAndDoubleClicks)
{
    Bind("Vantel home", Url, nullptr);
    Send(WM_RBUTTONDOWN, MK_RBUTTON, At(300, 50));
    EXPECT_EQ(Link(), GetCapture());
    Send(WM_RBUTTONUP, 0, At(300, 50));
    EXPECT_EQ((std::vector<int>{ SetFocusCode, RClick }), Codes()) << "a press takes the focus";
    EXPECT_EQ(nullptr, GetCapture());

    log.notes.clear();
    Send(WM_RBUTTONDBLCLK, MK_RBUTTON, At(300, 50));
    Send(WM_RBUTTONUP, 0, At(300, 50));       // the double-click's release: no click
    Send(WM_RBUTTONDOWN, MK_RBUTTON, At(300, 50));
    Send(WM_RBUTTONUP, 0, At(300, 50));       // the next one clicks again
    EXPECT_EQ((std::vector<int>{ RDblClk, RClick }), Codes());

    log.notes.clear();
    Send(WM_MBUTTONDOWN, MK_MBUTTON, At(300, 50));
    EXPECT_EQ(Link(), GetCapture());
    Send(WM_MBUTTONUP, 0, At(300, 50));
    Send(WM_MBUTTONDBLCLK, MK_MBUTTON, At(300, 50));
    Send(WM_MBUTTONUP, 0, At(300, 50));
    Send(WM_MBUTTONDOWN, MK_MBUTTON, At(300, 50));
    Send(WM_MBUTTONUP, 0, At(300, 50));
    EXPECT_EQ((std::vector<int>{ HLN_MIDDLECLICK, HLN_MIDDLEDBLCLK, HLN_MIDDLECLICK }), Codes());
    EXPECT_EQ(nullptr, GetCapture());

    log.notes.clear();
    Click(OnTextAt(), OnTextAt());
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, OnTextAt());
    Send(WM_LBUTTONUP, 0, OnTextAt());
    EXPECT_EQ(1, Count(DblClk));
    EXPECT_EQ(1u, link.launches.size()) << "the double-click's release opens nothing";
    EXPECT_TRUE(log.commands.empty()) << "the button never clicks";
}

TEST_F(HyperlinkTest, NotificationCarriesCursorPositionAndModifierKeys)
{
    Bind("Vantel home", Url, nullptr);
    POINT screen = { 150, 60 };
    ClientToScreen(Link(), &screen);
    MoveCursorTo(screen);
    PostMessageA(Link(), WM_RBUTTONUP, 0, At(150, 60));
    PumpMessages();
    const NMHYPERLINK* click = Last(RClick);
    ASSERT_NE(nullptr, click);
    EXPECT_EQ(screen.x, click->x);
    EXPECT_EQ(screen.y, click->y);
    EXPECT_EQ(0u, click->keyState);

    INPUT shift = {};
    shift.type = INPUT_KEYBOARD;
    shift.ki.wVk = VK_LSHIFT;
    SendInput(1, &shift, sizeof shift);
    Send(WM_RBUTTONUP, 0, At(150, 60));
    shift.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &shift, sizeof shift);
    PumpMessages();
    EXPECT_EQ((1u << 3) | (1u << 7), Last(RClick)->keyState) << "left Shift, either Shift";
}

TEST_F(HyperlinkTest, EnterOpensAndNoKeyReachesTheButton)
{
    Bind("Vantel home", Url, nullptr);
    Send(WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(link.launches.empty()) << "only with the focus";

    SetFocus(Link());
    Send(WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(1u, link.launches.size());

    // Through the dialog manager Enter still reaches the link instead of becoming a command.
    MSG enter = { Link(), WM_KEYDOWN, VK_RETURN, 0, GetTickCount(), {} };
    EXPECT_TRUE(IsDialogMessageA(parent, &enter));
    EXPECT_EQ(2u, link.launches.size());

    Send(WM_KEYDOWN, VK_SPACE, 0);
    Send(WM_CHAR, ' ', 0);
    Send(WM_KEYUP, VK_SPACE, 0);
    EXPECT_TRUE(log.commands.empty()) << "Space must not click the button";
    EXPECT_EQ(2u, link.launches.size());
}

TEST_F(HyperlinkTest, DisabledLinkIgnoresInputAndIsGrey)
{
    Bind("Vantel home", Url, nullptr);
    EnableWindow(Link(), FALSE);
    Click(OnTextAt(), OnTextAt());
    Send(WM_MOUSEMOVE, 0, OnTextAt(10, 0));
    Send(WM_RBUTTONDOWN, MK_RBUTTON, OnTextAt());
    Send(WM_RBUTTONUP, 0, OnTextAt());
    Send(WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(link.launches.empty());
    EXPECT_EQ(nullptr, GetCapture());
    Send(WM_MBUTTONDOWN, MK_MBUTTON, OnTextAt());   // the one press served while disabled
    EXPECT_EQ(Link(), GetCapture());
    Send(WM_MBUTTONUP, 0, OnTextAt());
    EXPECT_EQ(nullptr, GetCapture()) << "the mouse is not left captured";
    EXPECT_TRUE(log.notes.empty());
    const LinkImage image(Link());
    EXPECT_GT(image.Count(GetSysColor(COLOR_GRAYTEXT)), 0);
    EXPECT_EQ(0, image.Count(GetSysColor(COLOR_HIGHLIGHT)));

    EnableWindow(Link(), TRUE);
    Click(OnTextAt(), OnTextAt());
    EXPECT_EQ(1u, link.launches.size());
}

TEST_F(HyperlinkTest, FocusAndPointerNotifications)
{
    Bind("Vantel home", Url, nullptr);
    SetFocus(Link());
    SetFocus(parent);
    EXPECT_EQ((std::vector<int>{ SetFocusCode, KillFocusCode }), Codes());

    log.notes.clear();
    Send(WM_MOUSEMOVE, 0, At(100, 30));
    Send(WM_MOUSEMOVE, 0, At(110, 30));
    Send(WM_MOUSEHOVER, 0, At(110, 30));
    Send(WM_MOUSELEAVE);
    Send(WM_MOUSEMOVE, 0, At(120, 30));
    EXPECT_EQ((std::vector<int>{ HLN_MOUSEENTER, HLN_MOUSEHOVER, HLN_MOUSELEAVE, HLN_MOUSEENTER }),
              Codes());

    // Losing the focus during a press ends it: the release opens nothing.
    Send(WM_LBUTTONDOWN, MK_LBUTTON, OnTextAt());
    Send(WM_MOUSEMOVE, MK_LBUTTON, OnTextAt(1, 0));
    SetFocus(parent);
    EXPECT_EQ(nullptr, GetCapture());
    Send(WM_LBUTTONUP, 0, OnTextAt());
    EXPECT_TRUE(link.launches.empty());
}

// Sets a system colour for the life of the object.
class ScopedSysColor {
public:
    ScopedSysColor(int index, COLORREF color) : m_index(index), m_saved(GetSysColor(index))
    {
        SetSysColors(1, &m_index, &color);
    }
    ~ScopedSysColor() { SetSysColors(1, &m_index, &m_saved); }

private:
    int m_index;
    COLORREF m_saved;
};

TEST_F(HyperlinkTest, HoverColourFollowsThePointerAndHandCursorShowsOverClientArea)
{
    const COLORREF hover = RGB(0, 102, 204);
    const ScopedSysColor hotLight(COLOR_HOTLIGHT, hover);
    const COLORREF normal = GetSysColor(COLOR_HIGHLIGHT);
    RecordingLink hovering;   // reads the colours now
    Bind(hovering, "Vantel home", Url, nullptr);

    POINT inside = { 100, 30 };
    ClientToScreen(Link(), &inside);
    MoveCursorTo(inside);
    PostMessageA(Link(), WM_MOUSEMOVE, 0, At(100, 30));
    PumpMessages();
    {
        const LinkImage image(Link());
        EXPECT_GT(image.Count(hover), 0);
        EXPECT_GE(image.LongestRun(hover), 40) << "still underlined";
    }

    // A captured press dragged outside the control: plain text in the normal colour.
    Send(WM_LBUTTONDOWN, MK_LBUTTON, At(300, 50));
    POINT outside = { 5, 80 };
    ClientToScreen(Link(), &outside);
    MoveCursorTo(outside);
    PostMessageA(Link(), WM_MOUSEMOVE, MK_LBUTTON, At(5, 80));
    PumpMessages();
    {
        const LinkImage image(Link());
        EXPECT_EQ(0, image.Count(hover));
        EXPECT_GT(image.Count(normal), 0);
        EXPECT_LT(image.LongestRun(normal), 30) << "not underlined";
    }
    Send(WM_LBUTTONUP, 0, At(5, 80));

    EXPECT_TRUE(Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(Link()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(LoadCursor(nullptr, IDC_HAND), GetCursor());
    EXPECT_FALSE(Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(Link()), MAKELPARAM(HTBORDER, WM_MOUSEMOVE)));
    DestroyWindow(parent);
    parent = nullptr;
}

TEST_F(HyperlinkTest, HotTrackingColourTooCloseToTheBackgroundIsNotUsedForText)
{
    const ScopedSysColor face(COLOR_BTNFACE, RGB(245, 245, 245));
    const ScopedSysColor hotLight(COLOR_HOTLIGHT, RGB(224, 224, 224));
    RecordingLink hovering;
    Bind(hovering, "Vantel home", Url, nullptr);
    POINT inside = { 100, 30 };
    ClientToScreen(Link(), &inside);
    MoveCursorTo(inside);
    PostMessageA(Link(), WM_MOUSEMOVE, 0, At(100, 30));
    PumpMessages();
    const LinkImage image(Link());
    EXPECT_EQ(0, image.Count(RGB(224, 224, 224)));
    EXPECT_GE(image.LongestRun(GetSysColor(COLOR_HIGHLIGHT)), 40) << "link colour, underlined";
    DestroyWindow(parent);
    parent = nullptr;
}

}  // namespace
