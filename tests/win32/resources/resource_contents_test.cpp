// Checks TavikRes.dll and the program's own resources against what the program relies on: texts
// and their placeholders, dialog controls and their layout, the tray menus, the keyboard
// shortcuts, icons, the toolbar strip, the manifest and the help anchors of the options pages.
//
// Link it with program.rc's object (as Tavik.exe is). TavikRes.dll and Tavik.html are taken from
// the folder named by TAVIK_BIN, else from this program's own folder.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "core/text/format.h"
#include "resource_ids.h"

namespace {

std::string BinFolder() {
    if (const char* bin = std::getenv("TAVIK_BIN")) return std::string(bin) + "\\";
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

HMODULE ResourceModule() {
    static HMODULE module = LoadLibraryA((BinFolder() + "TavikRes.dll").c_str());
    return module;
}

std::string Text(UINT id) {
    char buffer[1024] = {};
    LoadStringA(ResourceModule(), id, buffer, sizeof buffer);
    return buffer;
}

// The conversions of a format in order, e.g. "sd"; '?' marks one the program cannot fill.
std::string Conversions(const std::string& format) {
    std::string kinds;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') continue;
        const char next = i + 1 < format.size() ? format[i + 1] : '\0';
        if (next == '%') {
            ++i;
            continue;
        }
        kinds.push_back(next == 's' || next == 'd' ? next : '?');
        ++i;
    }
    return kinds;
}

class ResourceModuleTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_NE(ResourceModule(), nullptr) << "TavikRes.dll not found"; }
};

// ---- Texts ----

TEST_F(ResourceModuleTest, EveryTextExistsWithThePlaceholdersTheProgramFills) {
    const std::map<UINT, std::string> expected = {
        {IDS_PROGRAM_NAME, ""},
        {IDS_TIP_IDLE, ""},
        {IDS_TIP_MANY, "d"},
        {IDS_TIP_ONE, "d"},
        {IDS_TITLE_POSITION, "dd"},
        {IDS_SOCKETS_FAILED, ""},
        {IDS_TCP_BIND_FAILED, "d"},
        {IDS_EXIT_QUESTION, ""},
        {IDS_OPTIONS_CAPTION, ""},
        {IDS_MESSAGES_PAGE_TITLE, ""},
        {IDS_MAIL_PAGE_TITLE, ""},
        {IDS_LABEL_PREVIOUS, ""},
        {IDS_LABEL_NEXT, ""},
        {IDS_LABEL_DELETE, ""},
        {IDS_LABEL_COPY, ""},
        {IDS_LABEL_OPTIONS, ""},
        {IDS_ABOUT_ITEM, ""},
        {IDS_LOAD_FAILED, ""},
        {IDS_DELETE_ALL_QUESTION, ""},
        {IDS_UDP_BIND_FAILED, "d"},
        {IDS_RECEIPT, "ssd"},
        {IDS_HEADING_MESSAGE, "ss"},
        {IDS_HEADING_BROADCAST, "s"},
        {IDS_HEADING_AUTOANSWER, "s"},
        {IDS_LABEL_RESTORE, ""},
        {IDS_SOUND_FILTER, ""},
        {IDS_SOUND_BROWSE_TITLE, ""},
        {IDS_PROGRAM_FILTER, ""},
        {IDS_PROGRAM_BROWSE_TITLE, ""},
        {IDS_CHECK_CLOSE, ""},
        {IDS_MAILSLOT_FAILED, ""},
        {IDS_NETBIOS_FAILED, "ss"},
        {IDS_CHECK_STARTED, "s"},
        {IDS_CHECK_CONNECTED, ""},
        {IDS_CHECK_SERVER_READY, "s"},
        {IDS_CHECK_LOGGED_IN, ""},
        {IDS_CHECK_MAILBOX_OPENED, ""},
        {IDS_CHECK_COUNTED, "ds"},
        {IDS_NEW_MAIL_TIP, "ds"},
        {IDS_MAIL_NETWORK_FAILED, "s"},
        {IDS_MAIL_SERVER_FAILED, "s"},
        {IDS_MAIL_LOGIN_REJECTED, "s"},
        {IDS_MAIL_COUNT_FAILED, "s"},
    };
    for (const auto& [id, kinds] : expected) {
        const std::string text = Text(id);
        EXPECT_FALSE(text.empty()) << "string " << id;
        EXPECT_EQ(Conversions(text), kinds) << "string " << id << ": " << text;
    }
}

TEST_F(ResourceModuleTest, ProgramNameAndTitleIdentifyARunningInstance) {
    EXPECT_EQ(Text(IDS_PROGRAM_NAME), "Quorlex Tavik");
    const std::string title = tavik::FormatText(Text(IDS_TITLE_POSITION), {2, 17});
    ASSERT_GE(title.size(), 12u);
    EXPECT_EQ(title.substr(0, 12), Text(IDS_PROGRAM_NAME).substr(0, 12));
}

TEST_F(ResourceModuleTest, TextsFitTheBuffersTheProgramReadsThemInto) {
    for (UINT id : {IDS_LABEL_PREVIOUS, IDS_LABEL_NEXT, IDS_LABEL_DELETE, IDS_LABEL_COPY, IDS_LABEL_OPTIONS,
                    IDS_LABEL_RESTORE, IDS_ABOUT_ITEM}) {
        EXPECT_LE(Text(id).size(), 15u) << "string " << id;
    }
    for (UINT id : {IDS_HEADING_MESSAGE, IDS_HEADING_BROADCAST, IDS_HEADING_AUTOANSWER}) {
        EXPECT_LE(Text(id).size(), 95u) << "string " << id;
    }
    EXPECT_LE(Text(IDS_RECEIPT).size(), 127u);
    for (UINT id :
         {IDS_TCP_BIND_FAILED, IDS_UDP_BIND_FAILED, IDS_MAILSLOT_FAILED, IDS_NETBIOS_FAILED, IDS_OPTIONS_CAPTION}) {
        EXPECT_LE(Text(id).size(), 255u) << "string " << id;
    }
    // Tray tips are cut at 63 characters; the count must survive the cut.
    EXPECT_LE(Text(IDS_TIP_IDLE).size(), 63u);
    EXPECT_LE(tavik::FormatText(Text(IDS_TIP_MANY), {99999}).size(), 63u);
    EXPECT_LE(tavik::FormatText(Text(IDS_TIP_ONE), {1}).size(), 63u);
    EXPECT_LE(tavik::FormatText(Text(IDS_NEW_MAIL_TIP), {999, "alice.smith"}).size(), 63u);
    for (UINT id : {IDS_MAIL_NETWORK_FAILED, IDS_MAIL_SERVER_FAILED, IDS_MAIL_LOGIN_REJECTED, IDS_MAIL_COUNT_FAILED}) {
        EXPECT_LE(tavik::FormatText(Text(id), {"mail.example.com"}).size(), 63u) << "string " << id;
    }
}

// A delivered heading is re-worded on arrival by taking it apart at its fixed English words and
// formatting it again; with these texts that must give back exactly what came in.
TEST_F(ResourceModuleTest, HeadingsSurviveTheirRewordingUnchanged) {
    const std::string message =
        tavik::FormatText(Text(IDS_HEADING_MESSAGE), {"PC7", "BOB"}) + ".\r\n\r\nLunch at noon?";
    ASSERT_EQ(message.rfind("Message from", 0), 0u) << message;
    const size_t to = message.find(" to ");
    const size_t lineFeed = message.find('\n');
    ASSERT_NE(to, std::string::npos);
    ASSERT_LT(to + 3, lineFeed);
    const std::string name = message.substr(13, to - 13);
    const std::string rest = message.substr(to + 4);
    EXPECT_EQ(name, "PC7");
    EXPECT_EQ(tavik::FormatText(Text(IDS_HEADING_MESSAGE), {name, rest}), message);

    const std::string broadcast = tavik::FormatText(Text(IDS_HEADING_BROADCAST), {"ADMIN"});
    ASSERT_EQ(broadcast.rfind("Broadcast message from", 0), 0u) << broadcast;
    EXPECT_EQ(tavik::FormatText(Text(IDS_HEADING_BROADCAST), {broadcast.substr(23)}), broadcast);

    const std::string autoanswer = tavik::FormatText(Text(IDS_HEADING_AUTOANSWER), {"BOB"});
    ASSERT_EQ(autoanswer.rfind("Autoanswer from", 0), 0u) << autoanswer;
    EXPECT_EQ(tavik::FormatText(Text(IDS_HEADING_AUTOANSWER), {autoanswer.substr(16)}), autoanswer);
}

// ---- Dialogs ----

struct Control {
    HWND window;
    int id;
    std::string className;
    LONG style;
    RECT rect;  // in the dialog's client coordinates
    std::string text;
};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

INT_PTR CALLBACK QuietProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG ? TRUE : FALSE; }

class DialogTest : public ResourceModuleTest {
protected:
    void SetUp() override {
        ResourceModuleTest::SetUp();
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&classes);
        host_ = CreateWindowExA(0, "Static", "host", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(host_, nullptr);
    }
    void TearDown() override {
        if (dialog_) DestroyWindow(dialog_);
        if (host_) DestroyWindow(host_);
    }

    // Creates the template hidden and collects its controls.
    std::vector<Control> Open(WORD id) {
        if (dialog_) DestroyWindow(dialog_);
        dialog_ = CreateDialogParamA(ResourceModule(), MAKEINTRESOURCEA(id), host_, QuietProc, 0);
        EXPECT_NE(dialog_, nullptr) << "dialog " << id;
        std::vector<Control> controls;
        if (!dialog_) return controls;
        for (HWND child = GetWindow(dialog_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            Control c{child, GetDlgCtrlID(child), {}, GetWindowLongA(child, GWL_STYLE), {}, {}};
            char name[64] = {};
            GetClassNameA(child, name, sizeof name);
            c.className = Lower(name);
            char text[256] = {};
            GetWindowTextA(child, text, sizeof text);
            c.text = text;
            GetWindowRect(child, &c.rect);
            MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&c.rect), 2);
            controls.push_back(c);
        }
        return controls;
    }

    static const Control* Find(const std::vector<Control>& controls, int id) {
        for (const Control& c : controls) {
            if (c.id == id) return &c;
        }
        return nullptr;
    }

    // Fails unless control id exists with the class and all the style bits given.
    static void ExpectControl(const std::vector<Control>& controls, int id, const char* className, LONG styleBits = 0) {
        const Control* c = Find(controls, id);
        ASSERT_NE(c, nullptr) << "control " << id << " missing";
        EXPECT_EQ(c->className, Lower(className)) << "control " << id;
        EXPECT_EQ(c->style & styleBits, styleBits) << "control " << id << " style " << std::hex << c->style;
    }

    static void ExpectButtonKind(const std::vector<Control>& controls, int id, LONG kind) {
        const Control* c = Find(controls, id);
        ASSERT_NE(c, nullptr) << "control " << id << " missing";
        EXPECT_EQ(c->className, "button") << "control " << id;
        EXPECT_EQ(c->style & BS_TYPEMASK, kind) << "control " << id;
    }

    // Layout a person would accept: inside the window, no two controls on top of each other, no
    // control across the edge of a group box, focusable controls reachable with Tab, and no
    // keyboard mnemonic used twice.
    void ExpectTidyLayout(const std::vector<Control>& controls, WORD id) {
        RECT client{};
        GetClientRect(dialog_, &client);
        std::vector<const Control*> boxes, others;
        for (const Control& c : controls) {
            const bool box = c.className == "button" && (c.style & BS_TYPEMASK) == BS_GROUPBOX;
            (box ? boxes : others).push_back(&c);
            EXPECT_TRUE(c.rect.left >= 0 && c.rect.top >= 0 && c.rect.right <= client.right &&
                        c.rect.bottom <= client.bottom)
                << "dialog " << id << ": control " << c.id << " (" << c.text << ") leaves the window";
        }
        // An up-down control is drawn onto the edge of its partner field; that pair may touch.
        auto partners = [](const Control* a, const Control* b) {
            return (a->className == "msctls_updown32" &&
                    reinterpret_cast<HWND>(SendMessageA(a->window, UDM_GETBUDDY, 0, 0)) == b->window) ||
                   (b->className == "msctls_updown32" &&
                    reinterpret_cast<HWND>(SendMessageA(b->window, UDM_GETBUDDY, 0, 0)) == a->window);
        };
        for (size_t i = 0; i < others.size(); ++i) {
            for (size_t j = i + 1; j < others.size(); ++j) {
                if (partners(others[i], others[j])) continue;
                RECT overlap{};
                EXPECT_FALSE(IntersectRect(&overlap, &others[i]->rect, &others[j]->rect))
                    << "dialog " << id << ": controls " << others[i]->id << " (" << others[i]->text << ") and "
                    << others[j]->id << " (" << others[j]->text << ") overlap";
            }
        }
        for (const Control* box : boxes) {
            for (const Control* c : others) {
                RECT overlap{};
                if (!IntersectRect(&overlap, &box->rect, &c->rect)) continue;
                EXPECT_TRUE(EqualRect(&overlap, &c->rect)) << "dialog " << id << ": control " << c->id << " ("
                                                           << c->text << ") crosses the edge of group " << box->id;
            }
        }
        std::set<char> mnemonics;
        for (const Control& c : controls) {
            const bool focusable = c.className == "edit" || c.className == "combobox" ||
                                   c.className == "msctls_hotkey32" ||
                                   (c.className == "button" && (c.style & BS_TYPEMASK) != BS_GROUPBOX &&
                                    (c.style & BS_TYPEMASK) != BS_AUTORADIOBUTTON);
            if (focusable) {
                EXPECT_TRUE(c.style & WS_TABSTOP)
                    << "dialog " << id << ": control " << c.id << " cannot be reached with Tab";
            }
            const size_t amp = c.text.find('&');
            if (amp == std::string::npos || amp + 1 >= c.text.size()) continue;
            const char key = static_cast<char>(std::tolower(static_cast<unsigned char>(c.text[amp + 1])));
            EXPECT_TRUE(mnemonics.insert(key).second)
                << "dialog " << id << ": mnemonic '" << key << "' used twice (" << c.text << ")";
        }
    }

    HWND host_ = nullptr;
    HWND dialog_ = nullptr;
};

TEST_F(DialogTest, MainWindowLeavesRoomForTheToolbarAndStartsHidden) {
    const auto controls = Open(IDD_MAIN_WINDOW);
    ASSERT_FALSE(controls.empty());
    const LONG style = GetWindowLongA(dialog_, GWL_STYLE);
    EXPECT_FALSE(style & WS_VISIBLE);
    EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX),
              WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
    ExpectControl(controls, IDC_MESSAGE_TEXT, "Edit", ES_MULTILINE | ES_READONLY | WS_VSCROLL);
    ExpectControl(controls, IDC_SENDER, "Edit", ES_READONLY);
    ExpectButtonKind(controls, IDC_HIDE_BUTTON, BS_DEFPUSHBUTTON);
    ExpectControl(controls, IDC_PRIORITY_MARK, "Static");
    const Control* mark = Find(controls, IDC_PRIORITY_MARK);
    ASSERT_NE(mark, nullptr);
    EXPECT_FALSE(mark->style & WS_VISIBLE) << "the high-priority mark must start hidden";

    RECT toolbarRoom{0, 0, 0, 30};
    MapDialogRect(dialog_, &toolbarRoom);
    const Control* sender = Find(controls, IDC_SENDER);
    const Control* text = Find(controls, IDC_MESSAGE_TEXT);
    const Control* hide = Find(controls, IDC_HIDE_BUTTON);
    ASSERT_TRUE(sender && text && hide);
    for (const Control& c : controls) {
        EXPECT_GE(c.rect.top, toolbarRoom.bottom) << "control " << c.id << " is under the toolbar";
    }
    // The window grows to the right when the toolbar is wider: nothing may stand to the right of
    // the two fields that grow with it.
    for (const Control& c : controls) {
        if (c.id == IDC_SENDER || c.id == IDC_MESSAGE_TEXT) continue;
        const bool besideSender =
            c.rect.left >= sender->rect.right && c.rect.top < sender->rect.bottom && c.rect.bottom > sender->rect.top;
        const bool besideText =
            c.rect.left >= text->rect.right && c.rect.top < text->rect.bottom && c.rect.bottom > text->rect.top;
        EXPECT_FALSE(besideSender || besideText) << "control " << c.id << " would be covered";
    }
    EXPECT_GT(hide->rect.top, text->rect.bottom);
    ExpectTidyLayout(controls, IDD_MAIN_WINDOW);
}

TEST_F(DialogTest, AboutBoxClosesWithOk) {
    const auto controls = Open(IDD_ABOUT);
    ExpectButtonKind(controls, IDOK, BS_DEFPUSHBUTTON);
    bool namesVersion = false;
    for (const Control& c : controls) namesVersion |= c.text.find("1.0") != std::string::npos;
    EXPECT_TRUE(namesVersion);
    ExpectTidyLayout(controls, IDD_ABOUT);
}

TEST_F(DialogTest, MessagesPageHoldsEveryControlOfItsSettings) {
    const auto controls = Open(IDD_MESSAGES_PAGE);
    for (int id : {IDC_SOUND_FILE, IDC_HIGH_PRIORITY_LIST, IDC_DENY_LIST, IDC_ALLOW_LIST}) {
        ExpectControl(controls, id, "Edit", ES_AUTOHSCROLL);
    }
    ExpectButtonKind(controls, IDC_SOUND_BROWSE, BS_PUSHBUTTON);
    for (int id : {IDC_MINIMIZE_WHEN_LAST, IDC_POP_UP_WHEN_INCOMING, IDC_PLAY_SOUND}) {
        ExpectButtonKind(controls, id, BS_AUTOCHECKBOX);
    }
    ExpectControl(controls, IDC_RESTORE_HOT_KEY, "msctls_hotkey32", WS_TABSTOP);
    ExpectControl(controls, IDC_FONT_SIZE, "ComboBox");
    const Control* sizes = Find(controls, IDC_FONT_SIZE);
    ASSERT_NE(sizes, nullptr);
    EXPECT_EQ(sizes->style & 3, CBS_DROPDOWNLIST);
    ASSERT_NE(Find(controls, IDC_HEADING_1), nullptr);
    ASSERT_NE(Find(controls, IDC_HEADING_2), nullptr);
    ExpectTidyLayout(controls, IDD_MESSAGES_PAGE);
}

TEST_F(DialogTest, MailPageHoldsEveryControlOfItsSettings) {
    const auto controls = Open(IDD_MAIL_PAGE);
    for (int id : {IDC_CHECK_MAIL, IDC_PLAY_MAIL_SOUND}) ExpectButtonKind(controls, id, BS_AUTOCHECKBOX);
    for (int id : {IDC_CHECK_INTERVAL, IDC_EMAIL_PROGRAM, IDC_MAIL_USER, IDC_MAIL_SERVER}) {
        ExpectControl(controls, id, "Edit");
    }
    ExpectControl(controls, IDC_MAIL_PASSWORD, "Edit", ES_PASSWORD);
    for (int id : {IDC_EMAIL_BROWSE, IDC_CHECK_NOW_BUTTON}) ExpectButtonKind(controls, id, BS_PUSHBUTTON);
    ExpectButtonKind(controls, IDC_POP3, BS_AUTORADIOBUTTON);
    ExpectButtonKind(controls, IDC_IMAP4, BS_AUTORADIOBUTTON);
    const Control* pop3 = Find(controls, IDC_POP3);
    ASSERT_NE(pop3, nullptr);
    EXPECT_TRUE(pop3->style & WS_GROUP) << "the two protocols must form their own group";
    EXPECT_TRUE(pop3->style & WS_TABSTOP);

    ExpectControl(controls, IDC_CHECK_INTERVAL_SPIN, "msctls_updown32",
                  UDS_AUTOBUDDY | UDS_SETBUDDYINT | UDS_ALIGNRIGHT);
    const HWND spin = GetDlgItem(dialog_, IDC_CHECK_INTERVAL_SPIN);
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(spin, UDM_GETBUDDY, 0, 0)), GetDlgItem(dialog_, IDC_CHECK_INTERVAL));
    // Setting a number through the arrows must reach the field.
    SendMessageA(spin, UDM_SETRANGE32, 1, 120);
    SendMessageA(spin, UDM_SETPOS32, 0, 45);
    EXPECT_EQ(GetDlgItemInt(dialog_, IDC_CHECK_INTERVAL, nullptr, FALSE), 45u);

    ASSERT_NE(Find(controls, IDC_HEADING_1), nullptr);
    ASSERT_NE(Find(controls, IDC_HEADING_2), nullptr);
    ExpectTidyLayout(Open(IDD_MAIL_PAGE), IDD_MAIL_PAGE);  // again, with the arrows in place
}

TEST_F(DialogTest, CheckNowDialogLeavesRoomForTheProgressBar) {
    const auto controls = Open(IDD_CHECK_NOW);
    ExpectControl(controls, IDC_CHECK_STATUS, "Static");
    ExpectButtonKind(controls, IDCANCEL, BS_DEFPUSHBUTTON);
    const Control* status = Find(controls, IDC_CHECK_STATUS);
    const Control* button = Find(controls, IDCANCEL);
    ASSERT_TRUE(status && button);
    RECT client{};
    GetClientRect(dialog_, &client);
    // The program puts the bar at 30..50 px from the top and 30 px in from each side.
    const RECT bar{30, 30, client.right - 30, 50};
    EXPECT_GT(bar.right - bar.left, 150) << "progress bar would be too short";
    RECT overlap{};
    for (const Control& c : controls) {
        EXPECT_FALSE(IntersectRect(&overlap, &bar, &c.rect)) << "control " << c.id << " under the bar";
    }
    EXPECT_LT(status->rect.top, bar.top);
    EXPECT_GT(button->rect.top, bar.bottom);
    EXPECT_TRUE(GetWindowLongA(dialog_, GWL_STYLE) & WS_SYSMENU) << "the close box cancels";
    ExpectTidyLayout(controls, IDD_CHECK_NOW);
}

// Every control of the options pages has its own help topic.
TEST_F(DialogTest, HelpDocumentExplainsEveryOptionsControl) {
    std::ifstream file(BinFolder() + "Tavik.html", std::ios::binary);
    ASSERT_TRUE(file) << "Tavik.html not found beside TavikRes.dll";
    std::stringstream contents;
    contents << file.rdbuf();
    const std::string help = contents.str();
    EXPECT_NE(help.find("id=\"contents\""), std::string::npos);
    for (WORD page : {IDD_MESSAGES_PAGE, IDD_MAIL_PAGE}) {
        for (const Control& c : Open(page)) {
            if (c.id <= 0 || c.id == 0xFFFF) continue;
            EXPECT_NE(help.find("id=\"ctl-" + std::to_string(c.id) + "\""), std::string::npos)
                << "no help for control " << c.id << " (" << c.text << ") of page " << page;
        }
    }
}

// ---- Menus ----

struct MenuItem {
    UINT id;  // 0 for a separator
    std::string text;
};

std::vector<MenuItem> Items(HMENU menu) {
    std::vector<MenuItem> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if (GetMenuState(menu, i, MF_BYPOSITION) & MF_SEPARATOR) {
            items.push_back({0, ""});
            continue;
        }
        char text[128] = {};
        GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        items.push_back({GetMenuItemID(menu, i), text});
    }
    return items;
}

TEST_F(ResourceModuleTest, TrayMenusKeepTheirItemsAtTheirPositions) {
    HMENU menus = LoadMenuA(ResourceModule(), MAKEINTRESOURCEA(IDM_TRAY_MENUS));
    ASSERT_NE(menus, nullptr);
    const auto messages = Items(GetSubMenu(menus, 0));
    const std::vector<std::tuple<UINT, std::string>> wanted = {{CMD_OPEN, "&Open Tavik"},
                                                               {0, ""},
                                                               {CMD_ABOUT, "&About Tavik..."},
                                                               {CMD_OPTIONS, "&Options..."},
                                                               {0, ""},
                                                               {CMD_CHECK_MAIL_NOW, "&Check mail now"},
                                                               {0, ""},
                                                               {CMD_EXIT, "E&xit"}};
    ASSERT_EQ(messages.size(), wanted.size());
    for (size_t i = 0; i < wanted.size(); ++i) {
        EXPECT_EQ(messages[i].id, std::get<0>(wanted[i])) << "position " << i;
        EXPECT_EQ(messages[i].text, std::get<1>(wanted[i])) << "position " << i;
    }
    EXPECT_EQ(messages[TRAY_POS_OPEN].id, static_cast<UINT>(CMD_OPEN));
    EXPECT_EQ(messages[TRAY_POS_OPTIONS].id, static_cast<UINT>(CMD_OPTIONS));
    EXPECT_EQ(messages[TRAY_POS_CHECK_MAIL].id, static_cast<UINT>(CMD_CHECK_MAIL_NOW));

    const auto mail = Items(GetSubMenu(menus, 1));
    ASSERT_EQ(mail.size(), 3u);
    EXPECT_EQ(mail[MAIL_POS_LAUNCH].id, static_cast<UINT>(CMD_LAUNCH_EMAIL));
    EXPECT_EQ(mail[0].text, "&Launch e-mail program");
    EXPECT_EQ(mail[1].id, 0u);
    EXPECT_EQ(mail[2].id, static_cast<UINT>(CMD_DISMISS_MAIL));
    EXPECT_EQ(mail[2].text, "&Dismiss");
    DestroyMenu(menus);
}

// ---- The program's own resources (linked into this test as into Tavik.exe) ----

TEST(ProgramResourcesTest, ShortcutsAreExactlyTheDocumentedOnes) {
    HACCEL table = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDA_MAIN));
    ASSERT_NE(table, nullptr);
    std::vector<ACCEL> entries(64);
    const int count = CopyAcceleratorTableA(table, entries.data(), 64);
    entries.resize(static_cast<size_t>(count));
    const BYTE virt = FVIRTKEY | FNOINVERT;
    const std::set<std::tuple<int, int, int>> wanted = {
        {virt | FCONTROL | FALT, 'M', CMD_CHECK_MAIL_NOW},
        {virt | FALT, VK_DELETE, CMD_DELETE},
        {virt | FSHIFT | FALT, VK_DELETE, CMD_DELETE_ALL},
        {virt | FALT, VK_END, CMD_NEWEST},
        {virt, VK_ESCAPE, CMD_HIDE},
        {virt | FALT, VK_HOME, CMD_OLDEST},
        {virt | FALT, VK_LEFT, CMD_OLDER},
        {virt | FALT, VK_RIGHT, CMD_NEWER},
        {virt | FALT, 'X', CMD_EXIT},
        {virt | FCONTROL, 'Z', CMD_RESTORE_DELETED},
        {virt | FALT, 'Z', CMD_FONT_LARGER},
        {virt | FSHIFT | FALT, 'Z', CMD_FONT_SMALLER},
        {virt | FCONTROL, 'F', CMD_FIND},
        {virt, VK_F3, CMD_FIND_NEXT},
        {virt | FSHIFT, VK_F3, CMD_FIND_PREVIOUS},
    };
    std::set<std::tuple<int, int, int>> found;
    for (const ACCEL& a : entries) found.insert({a.fVirt & ~0x80, a.key, a.cmd});  // 0x80: last
    EXPECT_EQ(found, wanted);
    EXPECT_EQ(entries.size(), wanted.size());
}

#pragma pack(push, 2)
struct IconDirEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST(ProgramResourcesTest, EveryIconHasSmallAndLargePictures) {
    std::vector<std::string> names = {"IDI_A_TAVIK"};
    for (int n = 1; n <= 11; ++n) names.push_back("IDI_ICON" + std::to_string(n));
    names.push_back("#" + std::to_string(IDI_NEW_MAIL));
    HMODULE self = GetModuleHandleA(nullptr);
    for (const std::string& name : names) {
        HRSRC group = FindResourceA(self, name.c_str(), RT_GROUP_ICON);
        ASSERT_NE(group, nullptr) << name;
        const auto* header = static_cast<const WORD*>(LockResource(LoadResource(self, group)));
        const auto* entry = reinterpret_cast<const IconDirEntry*>(header + 3);
        std::set<int> paletteSizes, trueColourSizes;
        for (int i = 0; i < header[2]; ++i) {
            (entry[i].bitCount <= 8 ? paletteSizes : trueColourSizes).insert(entry[i].width);
        }
        EXPECT_EQ(paletteSizes, (std::set<int>{16, 32})) << name << ": forms of at most 256 colours";
        // 24 pixels is the tray's size at 150 % display scaling.
        EXPECT_EQ(trueColourSizes, (std::set<int>{16, 24, 32})) << name << ": forms with alpha";
        EXPECT_NE(LoadIconA(self, name.c_str()), nullptr) << name;
    }
}

TEST(ProgramResourcesTest, ToolbarStripsHoldSixPicturesOnTheButtonFaceGrey) {
    struct Strip {
        int id, width, imageWidth, height;
    };
    // At 100 % (with 4 unused pixels at the end), 150 % and 200 % display scaling.
    for (const Strip& strip :
         {Strip{IDB_TOOLBAR, 136, 22, 20}, Strip{IDB_TOOLBAR_150, 198, 33, 30}, Strip{IDB_TOOLBAR_200, 264, 44, 40}}) {
        SCOPED_TRACE(strip.id);
        HMODULE self = GetModuleHandleA(nullptr);
        HRSRC found = FindResourceA(self, MAKEINTRESOURCEA(strip.id), RT_BITMAP);
        ASSERT_NE(found, nullptr);
        const auto* info = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(self, found)));
        ASSERT_EQ(info->biWidth, strip.width);
        ASSERT_EQ(std::abs(info->biHeight), strip.height);
        ASSERT_EQ(info->biBitCount, 8);
        ASSERT_EQ(info->biCompression, static_cast<DWORD>(BI_RGB));
        const auto* palette = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(info) + info->biSize);
        const DWORD colours = info->biClrUsed ? info->biClrUsed : 256;
        const BYTE* pixels = reinterpret_cast<const BYTE*>(palette + colours);
        const int stride = (strip.width + 3) & ~3;
        auto pixel = [&](int x, int y) {  // y from the top
            const int row = info->biHeight > 0 ? strip.height - 1 - y : y;
            const RGBQUAD& c = palette[pixels[row * stride + x]];
            return RGB(c.rgbRed, c.rgbGreen, c.rgbBlue);
        };
        EXPECT_EQ(pixel(0, 0), RGB(192, 192, 192)) << "the toolbar maps this grey to the button face";
        for (int image = 0; image < 6; ++image) {
            int drawn = 0;
            for (int y = 0; y < strip.height; ++y) {
                for (int x = image * strip.imageWidth; x < (image + 1) * strip.imageWidth; ++x) {
                    drawn += pixel(x, y) != RGB(192, 192, 192);
                }
            }
            // More than an eleventh of each picture is drawn (40 pixels at 22 x 20).
            EXPECT_GT(drawn, strip.imageWidth * strip.height / 11) << "picture " << image << " is (nearly) empty";
        }
    }
}

TEST(ProgramResourcesTest, ManifestAsksForCommonControlsSixWithoutElevation) {
    HMODULE self = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(self, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(found, nullptr);
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(self, found))),
                               SizeofResource(self, found));
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
}

}  // namespace
