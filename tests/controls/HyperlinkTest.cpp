// The hyperlink control on a real push button in a real parent window, driven by real messages.
// The parent records every WM_NOTIFY of the link and may answer 0 to chosen codes; the shell and
// the OLE drag loop are replaced so that nothing is launched and no modal drag runs.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "controls/HyperlinkCtrl.h"
#include "controls/UrlDataObject.h"

namespace {

const char* const Url = "https://www.norvatech.example/";
constexpr int LinkId = 1011;
constexpr COLORREF Visited = RGB(128, 0, 128);
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
    auto* note = reinterpret_cast<NMHYPERLINK*>(lParam);
    if (parentLog != nullptr && message == WM_NOTIFY && note->hdr.hwndFrom == parentLog->link) {
        if (parentLog->refused.count(static_cast<int>(note->hdr.code)) != 0)
            note->value = 0;
        parentLog->notes.push_back(*note);
    } else if (parentLog != nullptr && message == WM_COMMAND) {
        parentLog->commands.push_back(wParam);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeParent()
{
    return CreateWindowExA(0, "HyperlinkTestParent", "Link test", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                           40, 40, 420, 160, nullptr, nullptr, nullptr, nullptr);
}

CLIPFORMAT UrlFormat() { return static_cast<CLIPFORMAT>(RegisterClipboardFormatA("UniformResourceLocator")); }

// What the link handed to one drag loop.
struct DragRecord {
    DWORD allowedEffects = 0;
    std::vector<char> block;   // the URL data; empty when it could not be read
    DWORD heldButton = 0;      // the mouse button whose holding keeps the drag going
};

// The link with the shell and the drag loop recorded instead of run.
class RecordingLink : public HyperlinkCtrl {
public:
    std::vector<std::string> launches;   // "verb file" of each shell request
    std::vector<DragRecord> drags;
    DWORD dropEffect = DROPEFFECT_LINK;

protected:
    BOOL ExecuteShell(SHELLEXECUTEINFOA& request) override
    {
        EXPECT_EQ(sizeof request, request.cbSize);
        EXPECT_EQ(SW_SHOWNORMAL, request.nShow);
        launches.push_back(std::string(request.lpVerb ? request.lpVerb : "") + " " +
                           (request.lpFile ? request.lpFile : ""));
        return FALSE;   // as if the shell could not open it
    }

    HRESULT RunDragDrop(IDataObject* data, IDropSource* source, DWORD allowedEffects,
                        DWORD* effect) override
    {
        DragRecord drag;
        drag.allowedEffects = allowedEffects;
        FORMATETC format = { UrlFormat(), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL };
        STGMEDIUM medium = {};
        if (data->GetData(&format, &medium) == S_OK) {
            const auto* bytes = static_cast<const char*>(GlobalLock(medium.hGlobal));
            drag.block.assign(bytes, bytes + GlobalSize(medium.hGlobal));
            GlobalUnlock(medium.hGlobal);
            ReleaseStgMedium(&medium);
        }
        for (DWORD button : { MK_LBUTTON, MK_RBUTTON })
            if (source->QueryContinueDrag(FALSE, button) == S_OK)
                drag.heldButton = button;
        drags.push_back(drag);
        *effect = dropEffect;
        return DRAGDROP_S_DROP;
    }
};

// The longest horizontal run of color in the link painted through WM_PRINTCLIENT: 0 when the
// colour is absent, at least the text's width when the text is underlined in it.
int LongestRun(HWND link, COLORREF color)
{
    RECT client{};
    GetClientRect(link, &client);
    BITMAPINFO info = {};   // 32 bits a pixel: colours read back exactly
    info.bmiHeader = { sizeof info.bmiHeader, client.right, client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0 };
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageA(link, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    int longest = 0;
    for (int y = 0; y < client.bottom; ++y)
        for (int x = 0, run = 0; x < client.right; ++x)
            longest = std::max(longest, run = GetPixel(dc, x, y) == color ? run + 1 : 0);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return longest;
}

// A point on the painted text, moved by dx, dy.
LPARAM OnText(int dx = 0, int dy = 0)
{
    return MAKELPARAM(GetSystemMetrics(SM_CXEDGE) + 3 + dx, GetSystemMetrics(SM_CYEDGE) + 3 + dy);
}

void PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// The text of tool 1 that a tooltip of this thread holds for link, and the tool's rectangle.
std::string ToolText(HWND link, RECT* toolRect = nullptr)
{
    HWND tip = nullptr;
    while ((tip = FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA, nullptr)) != nullptr) {
        if (GetWindowThreadProcessId(tip, nullptr) != GetCurrentThreadId())
            continue;
        char text[256] = {};
        TTTOOLINFOA tool = {};
        tool.cbSize = TTTOOLINFOA_V2_SIZE;
        tool.hwnd = link;
        tool.uId = 1;
        if (!SendMessageA(tip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool)))
            continue;
        if (toolRect != nullptr)
            *toolRect = tool.rect;
        tool.lpszText = text;
        SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
        return text;
    }
    return "<no tool>";
}

class HyperlinkTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = ParentProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
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
        for (auto saved = savedColors.rbegin(); saved != savedColors.rend(); ++saved)
            SetSysColors(1, &saved->first, &saved->second);
    }

    // Until the end of the test.
    void SetSysColor(int index, COLORREF color)
    {
        savedColors.emplace_back(index, GetSysColor(index));
        SetSysColors(1, &index, &color);
    }

    // A new parent with push button LinkId, taken over by a new link (which reads the system
    // colours now) after text, url and tip are set.
    void Bind(const char* text, const char* url, const char* tip = nullptr)
    {
        if (parent != nullptr)
            DestroyWindow(parent);
        parent = MakeParent();
        HWND button = CreateWindowExA(0, "BUTTON", Url, WS_CHILD | WS_VISIBLE | WS_TABSTOP |
                                      BS_PUSHBUTTON, 10, 10, 360, 60, parent,
                                      reinterpret_cast<HMENU>(LinkId), nullptr, nullptr);
        ASSERT_NE(nullptr, button);
        SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
        link.emplace();
        link->SetLinkText(text);
        link->SetLinkUrl(url);
        link->SetToolTipText(tip);
        ASSERT_TRUE(link->SubclassWindow(button));
        log.link = button;
        UpdateWindow(parent);
        PumpMessages();
        log.notes.clear();
    }

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return SendMessageA(log.link, message, wParam, lParam);
    }
    void Click(LPARAM down, LPARAM up)
    {
        Send(WM_LBUTTONDOWN, MK_LBUTTON, down);
        Send(WM_LBUTTONUP, 0, up);
    }
    // Puts the cursor on client point (x, y) of the link and posts message there, as the mouse
    // would. Wine may apply a pending pointer event after SetCursorPos: settle on the position.
    void PointerTo(int x, int y, UINT message = WM_MOUSEMOVE, WPARAM keys = 0)
    {
        POINT screen = { x, y }, now = {};
        ClientToScreen(log.link, &screen);
        for (int attempt = 0; attempt < 50 && (now.x != screen.x || now.y != screen.y); ++attempt) {
            SetCursorPos(screen.x, screen.y);
            PumpMessages();
            Sleep(10);
            PumpMessages();
            GetCursorPos(&now);
        }
        PostMessageA(log.link, message, keys, MAKELPARAM(x, y));
        PumpMessages();
    }

    std::vector<int> Codes() const
    {
        std::vector<int> codes;
        for (const NMHYPERLINK& note : log.notes)
            codes.push_back(static_cast<int>(note.hdr.code));
        return codes;
    }
    int Count(int code) const
    {
        const std::vector<int> codes = Codes();
        return static_cast<int>(std::count(codes.begin(), codes.end(), code));
    }
    // The last notification with code; value -1 when there was none.
    NMHYPERLINK Last(int code) const
    {
        NMHYPERLINK found = {};
        found.value = -1;
        for (const NMHYPERLINK& note : log.notes)
            if (static_cast<int>(note.hdr.code) == code)
                found = note;
        return found;
    }

    ParentLog log;
    HWND parent = nullptr;
    std::vector<std::pair<int, COLORREF>> savedColors;
    std::optional<RecordingLink> link;
};

TEST_F(HyperlinkTest, ToolTipShowsTipThenUrlThenTextOverTheWholeClientArea)
{
    Bind("Vantel home", nullptr);
    RECT toolRect{}, client{};
    EXPECT_EQ("Vantel home", ToolText(log.link, &toolRect));
    GetClientRect(log.link, &client);
    EXPECT_TRUE(EqualRect(&client, &toolRect));

    link->SetLinkUrl(Url);
    EXPECT_EQ(Url, ToolText(log.link));
    link->SetToolTipText("Norvatech site");
    EXPECT_EQ("Norvatech site", ToolText(log.link));
    link->SetToolTipText(nullptr);
    EXPECT_EQ(Url, ToolText(log.link));
    link->SetLinkUrl(nullptr);
    EXPECT_EQ("Vantel home", ToolText(log.link));
}

TEST_F(HyperlinkTest, PressAndReleaseInsideOpenTheTargetAndMarkItVisitedEvenWhenTheShellFails)
{
    Bind("https://text.example/", Url);
    const COLORREF linkColor = GetSysColor(COLOR_HIGHLIGHT);
    EXPECT_GE(LongestRun(log.link, linkColor), 40) << "link text is underlined";

    // The parent cancels the first navigation: nothing opens and the link stays unvisited.
    log.refused.insert(HLN_NAVIGATE);
    Click(OnText(), OnText());
    EXPECT_EQ(1, Count(HLN_NAVIGATE));
    EXPECT_TRUE(link->launches.empty());
    EXPECT_EQ(0, LongestRun(log.link, Visited));

    log.refused.clear();
    Click(OnText(), OnText());
    EXPECT_EQ(std::vector<std::string>{ std::string("open ") + Url }, link->launches);
    const NMHYPERLINK navigate = Last(HLN_NAVIGATE);
    EXPECT_EQ(static_cast<UINT_PTR>(LinkId), navigate.hdr.idFrom);
    EXPECT_EQ(1, navigate.value);
    // The recording shell reported failure; the link is purple all the same.
    EXPECT_GT(LongestRun(log.link, Visited), 0);
    EXPECT_EQ(0, LongestRun(log.link, linkColor));

    link->SetLinkUrl("");
    Click(MAKELPARAM(300, 50), MAKELPARAM(250, 45));   // pressed beside the text
    EXPECT_EQ("open https://text.example/", link->launches.back()) << "without URL the text";

    Click(OnText(), MAKELPARAM(500, 45));              // released beyond the control
    EXPECT_EQ(nullptr, GetCapture());
    Send(WM_LBUTTONUP, 0, OnText());                    // a release without a press
    EXPECT_EQ(2u, link->launches.size());
}

TEST_F(HyperlinkTest, DragStartsAtTheSystemDragDistanceFromAPressOnTheTextUnlessRefused)
{
    Bind("Vantel home", Url);
    const int dragX = GetSystemMetrics(SM_CXDRAG);
    const int dragY = GetSystemMetrics(SM_CYDRAG);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, OnText());
    EXPECT_EQ(log.link, GetCapture());
    Send(WM_MOUSEMOVE, MK_LBUTTON, OnText(dragX - 1, dragY - 1));
    EXPECT_EQ(0, Count(HLN_BEGINDRAG));
    Send(WM_MOUSEMOVE, MK_LBUTTON, OnText(dragX, 0));
    EXPECT_EQ(1u, link->drags.size());
    EXPECT_EQ(1, Last(HLN_BEGINDRAG).value);
    EXPECT_EQ(DROPEFFECT_LINK, Last(HLN_DRAGEND).value);
    Send(WM_LBUTTONUP, 0, OnText(dragX, 0));
    EXPECT_TRUE(link->launches.empty()) << "a press that became a drag opens nothing";

    // Vertically too; a press beside the text never drags, so its release opens.
    Send(WM_LBUTTONDOWN, MK_LBUTTON, OnText());
    Send(WM_MOUSEMOVE, MK_LBUTTON, OnText(0, dragY));
    Send(WM_LBUTTONUP, 0, OnText(0, dragY));
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 50));
    Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, 20));
    Send(WM_LBUTTONUP, 0, MAKELPARAM(200, 20));
    EXPECT_EQ(2u, link->drags.size());
    EXPECT_EQ(1u, link->launches.size());

    // A drag the parent refuses leaves the press, so its release opens.
    log.notes.clear();
    log.refused.insert(HLN_BEGINDRAG);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, OnText());
    Send(WM_MOUSEMOVE, MK_LBUTTON, OnText(20, 0));
    Send(WM_MOUSEMOVE, MK_LBUTTON, OnText(40, 0));
    EXPECT_EQ(1, Count(HLN_BEGINDRAG)) << "asked once per press";
    EXPECT_EQ(0, Count(HLN_DRAGEND));
    Send(WM_LBUTTONUP, 0, OnText(40, 0));
    EXPECT_EQ(2u, link->drags.size());
    EXPECT_EQ(2u, link->launches.size());
}

TEST_F(HyperlinkTest, DragCarriesTheFirst4096BytesOfTheTargetAndAZeroWithEitherButton)
{
    std::string longUrl = "https://long.example/";
    while (longUrl.size() < 5000)
        longUrl += static_cast<char>('a' + longUrl.size() % 26);
    Bind("Long link", longUrl.c_str());
    Send(WM_LBUTTONDOWN, MK_LBUTTON, OnText());
    Send(WM_MOUSEMOVE, MK_LBUTTON, OnText(30, 0));
    link->dropEffect = DROPEFFECT_COPY;
    Send(WM_RBUTTONDOWN, MK_RBUTTON, OnText());
    Send(WM_MOUSEMOVE, MK_RBUTTON, OnText(0, 30));
    ASSERT_EQ(2u, link->drags.size());
    const DragRecord& left = link->drags[0];
    const DragRecord& right = link->drags[1];
    ASSERT_GE(left.block.size(), 4097u);
    EXPECT_EQ(0, std::memcmp(longUrl.data(), left.block.data(), 4096));
    EXPECT_EQ('\0', left.block[4096]);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_LINK | DROPEFFECT_SCROLL), left.allowedEffects);
    EXPECT_EQ(static_cast<DWORD>(MK_LBUTTON), left.heldButton);

    // The right button carries the same block, with more effects allowed.
    EXPECT_EQ(left.block, right.block);
    EXPECT_EQ(0x80000007u, right.allowedEffects) << "copy, move, link, scroll";
    EXPECT_EQ(static_cast<DWORD>(MK_RBUTTON), right.heldButton);
    EXPECT_EQ(1, Count(HLN_RIGHTBEGINDRAG));
    EXPECT_EQ(DROPEFFECT_COPY, Last(HLN_RIGHTDRAGEND).value);
    EXPECT_EQ(1, Count(HLN_DRAGEND));

    link->SetLinkUrl(nullptr);   // without URL the text
    Send(WM_LBUTTONDOWN, MK_LBUTTON, OnText());
    Send(WM_MOUSEMOVE, MK_LBUTTON, OnText(30, 0));
    ASSERT_EQ(3u, link->drags.size());
    EXPECT_STREQ("Long link", link->drags[2].block.data());
}

// A plain link (the real drag loop) in a parent of its own, dragged, then destroyed.
void DragPlainLink(ParentLog& log)
{
    HWND owner = MakeParent();
    HyperlinkCtrl plain;
    plain.SetLinkText(Url);
    ASSERT_TRUE(plain.Create(owner, LinkId, RECT{ 10, 10, 370, 70 }));
    EXPECT_EQ(ToolText(plain.m_hWnd), Url) << "a created link is attached as a bound one: its tooltip";
    log.link = plain.m_hWnd;
    UpdateWindow(owner);
    SendMessageA(plain.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, OnText());
    SendMessageA(plain.m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, OnText(30, 0));
    DestroyWindow(owner);
}

TEST_F(HyperlinkTest, RealDragLoopEndsWithNoEffectWithOrWithoutOle)
{
    // This thread never initialised OLE: the loop fails at once.
    DragPlainLink(log);
    EXPECT_EQ(DROPEFFECT_NONE, Last(HLN_DRAGEND).value);

    // A thread of its own initialises OLE. No button is really held, so the loop drops at once
    // on nothing.
    log.notes.clear();
    std::thread thread([this] {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        DragPlainLink(log);
        OleUninitialize();
    });
    thread.join();
    EXPECT_EQ(1, Count(HLN_BEGINDRAG));
    EXPECT_EQ(DROPEFFECT_NONE, Last(HLN_DRAGEND).value);
}

TEST(UrlDataObjectTest, OffersOneFormatOnGlobalMemoryAndHandsOutCopies)
{
    GlobalBlock block(GlobalAlloc(GMEM_DDESHARE | GMEM_ZEROINIT, 8));
    std::memcpy(GlobalLock(block.get()), "a.b/c", 5);
    GlobalUnlock(block.get());
    const ComPtr<IDataObject> data = MakeBlockDataObject(std::move(block), UrlFormat());

    FORMATETC wanted = { UrlFormat(), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL };
    FORMATETC text = { CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL };
    FORMATETC onFile = { UrlFormat(), nullptr, DVASPECT_CONTENT, -1, TYMED_FILE };
    EXPECT_EQ(S_OK, data->QueryGetData(&wanted));
    EXPECT_EQ(DV_E_FORMATETC, data->QueryGetData(&text));
    STGMEDIUM first = {}, second = {};
    EXPECT_EQ(DV_E_TYMED, data->GetData(&onFile, &first));
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
    EXPECT_EQ(UrlFormat(), listed[0].cfFormat);
    EXPECT_EQ(static_cast<DWORD>(TYMED_HGLOBAL), listed[0].tymed);
}

TEST(UrlDataObjectTest, DropSourceDropsWhenItsButtonIsReleasedAndCancelsOnEscape)
{
    const ComPtr<IDropSource> source = MakeButtonDropSource(MK_RBUTTON);
    EXPECT_EQ(S_OK, source->QueryContinueDrag(FALSE, MK_RBUTTON | MK_LBUTTON));
    EXPECT_EQ(DRAGDROP_S_DROP, source->QueryContinueDrag(FALSE, MK_LBUTTON));
    EXPECT_EQ(DRAGDROP_S_CANCEL, source->QueryContinueDrag(TRUE, MK_RBUTTON));
}

TEST(UrlDataObjectTest, MultibyteCutNeverSplitsACharacter)
{
    const std::string shiftJis = "ab\x82\xa0" "c";   // a, b, one double-byte character, c
    EXPECT_EQ(2u, MultibytePrefixLength(shiftJis, 3, 932));
    EXPECT_EQ(4u, MultibytePrefixLength(shiftJis, 4, 932));
    EXPECT_EQ(5u, MultibytePrefixLength(shiftJis, 4096, 932));
    EXPECT_EQ(3u, MultibytePrefixLength(shiftJis, 3, 1252));
    EXPECT_EQ(3u, MultibytePrefixLength("ab\x82", 8, 932)) << "a lone lead byte at the end";
    EXPECT_EQ(0u, MultibytePrefixLength("", 8, 932));

    // a, Cyrillic Zhe (2 bytes), a Chinese character (3), an emoji (4), b
    const std::string utf8 = "a\xD0\x96\xE4\xB8\xAD\xF0\x9F\x98\x80" "b";
    const std::size_t kept[] = { 0, 1, 1, 3, 3, 3, 6, 6, 6, 6, 10, 11, 11 };   // by maxBytes
    for (std::size_t maxBytes = 0; maxBytes < std::size(kept); ++maxBytes)
        EXPECT_EQ(kept[maxBytes], MultibytePrefixLength(utf8, maxBytes, CP_UTF8)) << maxBytes;
    // A broken sequence is one piece as far as it goes; stray continuation bytes are one each.
    EXPECT_EQ(3u, MultibytePrefixLength("\xE4\xB8" "c", 3, CP_UTF8));
    EXPECT_EQ(0u, MultibytePrefixLength("\xE4\xB8" "c", 1, CP_UTF8));
    EXPECT_EQ(1u, MultibytePrefixLength("\x80\x80", 1, CP_UTF8));
    // The manifest makes UTF-8 the active code page, which the default stands for.
    ASSERT_EQ(CP_UTF8, GetACP());
    EXPECT_EQ(1u, MultibytePrefixLength(utf8, 2));
}

TEST_F(HyperlinkTest, RightAndMiddleClicksAndDoubleClicks)
{
    Bind("Vantel home", Url);
    const LPARAM beside = MAKELPARAM(300, 50);
    Send(WM_RBUTTONDOWN, MK_RBUTTON, beside);
    EXPECT_EQ(log.link, GetCapture());
    Send(WM_RBUTTONUP, 0, beside);
    EXPECT_EQ(nullptr, GetCapture());
    // A double-click's own release clicks no more; the next press and release does.
    Send(WM_RBUTTONDBLCLK, MK_RBUTTON, beside);
    Send(WM_RBUTTONUP, 0, beside);
    Send(WM_RBUTTONDOWN, MK_RBUTTON, beside);
    Send(WM_RBUTTONUP, 0, beside);
    EXPECT_EQ((std::vector<int>{ SetFocusCode, RClick, RDblClk, RClick }), Codes())
        << "a press takes the focus";

    log.notes.clear();
    for (UINT press : { WM_MBUTTONDOWN, WM_MBUTTONDBLCLK, WM_MBUTTONDOWN }) {
        Send(press, MK_MBUTTON, beside);
        Send(WM_MBUTTONUP, 0, beside);
    }
    EXPECT_EQ((std::vector<int>{ HLN_MIDDLECLICK, HLN_MIDDLEDBLCLK, HLN_MIDDLECLICK }), Codes());
    EXPECT_EQ(nullptr, GetCapture());

    log.notes.clear();
    Click(OnText(), OnText());
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, OnText());
    Send(WM_LBUTTONUP, 0, OnText());
    EXPECT_EQ((std::vector<int>{ HLN_NAVIGATE, DblClk }), Codes())
        << "the double-click's release opens nothing";
    EXPECT_TRUE(log.commands.empty()) << "the button never clicks";
}

TEST_F(HyperlinkTest, NotificationCarriesCursorPositionAndModifierKeys)
{
    Bind("Vantel home", Url);
    PointerTo(150, 60, WM_RBUTTONUP);
    POINT screen = { 150, 60 };
    ClientToScreen(log.link, &screen);
    const NMHYPERLINK click = Last(RClick);
    EXPECT_EQ(screen.x, click.x);
    EXPECT_EQ(screen.y, click.y);
    EXPECT_EQ(0u, click.keyState);

    INPUT shift = {};
    shift.type = INPUT_KEYBOARD;
    shift.ki.wVk = VK_LSHIFT;
    SendInput(1, &shift, sizeof shift);
    Send(WM_RBUTTONUP, 0, MAKELPARAM(150, 60));
    shift.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &shift, sizeof shift);
    PumpMessages();
    EXPECT_EQ((1u << 3) | (1u << 7), Last(RClick).keyState) << "left Shift, either Shift";
}

TEST_F(HyperlinkTest, EnterOpensAndNoKeyReachesTheButton)
{
    Bind("Vantel home", Url);
    Send(WM_KEYDOWN, VK_RETURN);
    EXPECT_TRUE(link->launches.empty()) << "only with the focus";
    SetFocus(log.link);
    Send(WM_KEYDOWN, VK_RETURN);
    EXPECT_EQ(1u, link->launches.size());

    // Through the dialog manager Enter still reaches the link instead of becoming a command.
    MSG enter = { log.link, WM_KEYDOWN, VK_RETURN, 0, GetTickCount(), {} };
    EXPECT_TRUE(IsDialogMessageA(parent, &enter));
    EXPECT_EQ(2u, link->launches.size());

    Send(WM_KEYDOWN, VK_SPACE);
    Send(WM_CHAR, ' ');
    Send(WM_KEYUP, VK_SPACE);
    EXPECT_TRUE(log.commands.empty()) << "Space must not click the button";
    EXPECT_EQ(2u, link->launches.size());
}

TEST_F(HyperlinkTest, DisabledLinkIgnoresInputIsGreyAndLeavesNoCapture)
{
    Bind("Vantel home", Url);
    EnableWindow(log.link, FALSE);
    Click(OnText(), OnText());
    Send(WM_MOUSEMOVE, 0, OnText(10, 0));
    Send(WM_RBUTTONDOWN, MK_RBUTTON, OnText());
    Send(WM_RBUTTONUP, 0, OnText());
    Send(WM_KEYDOWN, VK_RETURN);
    EXPECT_EQ(nullptr, GetCapture());
    Send(WM_MBUTTONDOWN, MK_MBUTTON, OnText());   // the one press served while disabled
    EXPECT_EQ(log.link, GetCapture());
    Send(WM_MBUTTONUP, 0, OnText());
    EXPECT_EQ(nullptr, GetCapture()) << "the mouse is not left captured";
    EXPECT_TRUE(log.notes.empty());
    EXPECT_TRUE(link->launches.empty());
    EXPECT_GT(LongestRun(log.link, GetSysColor(COLOR_GRAYTEXT)), 0);
    EXPECT_EQ(0, LongestRun(log.link, GetSysColor(COLOR_HIGHLIGHT)));

    EnableWindow(log.link, TRUE);
    Click(OnText(), OnText());
    EXPECT_EQ(1u, link->launches.size());
}

TEST_F(HyperlinkTest, FocusAndPointerNotifications)
{
    Bind("Vantel home", Url);
    SetFocus(log.link);
    SetFocus(parent);
    Send(WM_MOUSEMOVE, 0, MAKELPARAM(100, 30));
    Send(WM_MOUSEMOVE, 0, MAKELPARAM(110, 30));
    Send(WM_MOUSEHOVER, 0, MAKELPARAM(110, 30));
    Send(WM_MOUSELEAVE);
    Send(WM_MOUSEMOVE, 0, MAKELPARAM(120, 30));
    EXPECT_EQ((std::vector<int>{ SetFocusCode, KillFocusCode, HLN_MOUSEENTER, HLN_MOUSEHOVER,
                                 HLN_MOUSELEAVE, HLN_MOUSEENTER }), Codes());

    // Losing the focus during a press ends it: the release opens nothing.
    Send(WM_LBUTTONDOWN, MK_LBUTTON, OnText());
    Send(WM_MOUSEMOVE, MK_LBUTTON, OnText(1, 0));
    SetFocus(parent);
    EXPECT_EQ(nullptr, GetCapture());
    Send(WM_LBUTTONUP, 0, OnText());
    EXPECT_TRUE(link->launches.empty());
}

TEST_F(HyperlinkTest, HoveredTextTakesALegibleHotColourAndTheHandCursorShowsOverTheClientArea)
{
    const COLORREF hover = RGB(0, 102, 204);
    SetSysColor(COLOR_HOTLIGHT, hover);
    Bind("Vantel home", Url);
    PointerTo(100, 30);
    EXPECT_GE(LongestRun(log.link, hover), 40) << "hot colour, still underlined";

    // A captured press dragged outside the control: plain text in the normal colour.
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 50));
    PointerTo(5, 80, WM_MOUSEMOVE, MK_LBUTTON);
    EXPECT_EQ(0, LongestRun(log.link, hover));
    const int run = LongestRun(log.link, GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_GT(run, 0);
    EXPECT_LT(run, 30) << "not underlined";
    Send(WM_LBUTTONUP, 0, MAKELPARAM(5, 80));

    const WPARAM self = reinterpret_cast<WPARAM>(log.link);
    EXPECT_TRUE(Send(WM_SETCURSOR, self, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(LoadCursor(nullptr, IDC_HAND), GetCursor());
    EXPECT_FALSE(Send(WM_SETCURSOR, self, MAKELPARAM(HTBORDER, WM_MOUSEMOVE)));

    // A hot-tracking colour too close to the background is not used for the text.
    SetSysColor(COLOR_BTNFACE, RGB(245, 245, 245));
    SetSysColor(COLOR_HOTLIGHT, RGB(224, 224, 224));
    Bind("Vantel home", Url);
    PointerTo(100, 30);
    EXPECT_EQ(0, LongestRun(log.link, RGB(224, 224, 224)));
    EXPECT_GE(LongestRun(log.link, GetSysColor(COLOR_HIGHLIGHT)), 40) << "link colour, underlined";
}

}  // namespace
