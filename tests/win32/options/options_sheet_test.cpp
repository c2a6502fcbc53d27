// The options sheet run for real and worked from a second thread by its control ids, as a user
// would: what leaving each page saves, the mail page's rules, Cancel after a size preview, and
// check now opened from the mail page.

#include "options/options_sheet.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/net/socket_layer.h"
#include "core/settings/settings_store.h"
#include "resource_ids.h"
#include "settings/registry_settings.h"

namespace tavik::options {
namespace {

// The sheet, once made and shown.
HWND WaitForSheet() {
    for (int attempt = 0; attempt < 500; ++attempt) {
        HWND sheet = FindWindowA(WC_DIALOG, "Tavik Options");
        if (sheet != nullptr && IsWindowVisible(sheet)) return sheet;
        Sleep(20);
    }
    return nullptr;
}

HWND CurrentPage(HWND sheet) { return PropSheet_GetCurrentPageHwnd(sheet); }

void SelectSize(HWND page, const char* size) {
    HWND list = GetDlgItem(page, IDC_FONT_SIZE);
    SendMessageA(list, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(size));
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_FONT_SIZE, CBN_SELENDOK), reinterpret_cast<LPARAM>(list));
}

bool Checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }
// Whether any of the controls can be used.
bool Enabled(HWND page, std::initializer_list<int> ids) {
    for (int id : ids) {
        if (IsWindowEnabled(GetDlgItem(page, id))) return true;
    }
    return false;
}

constexpr const char* kCheckNowCaption = "Check Mail Now";

std::size_t CheckNowDialogs() {
    std::size_t count = 0;
    for (HWND found = nullptr; (found = FindWindowExA(nullptr, found, WC_DIALOG, kCheckNowCaption)) != nullptr;) {
        count += IsWindowVisible(found) ? 1 : 0;
    }
    return count;
}

// While set, the check-now dialog may not be activated, as when the system keeps the foreground
// for another program: bringing it forward fails.
std::atomic<bool> RefuseCheckNowActivation{false};

LRESULT CALLBACK RefuseActivation(int code, WPARAM wParam, LPARAM lParam) {
    char caption[64] = {};
    if (code == HCBT_ACTIVATE && RefuseCheckNowActivation) {
        GetWindowTextA(reinterpret_cast<HWND>(wParam), caption, sizeof caption);
        if (lstrcmpA(caption, kCheckNowCaption) == 0) return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class OptionsSheetTest : public ::testing::Test {
protected:
    void SetUp() override {
        keyPath = "Software\\Quorlex\\TavikTest" + std::to_string(GetCurrentProcessId()) + "\\Options";
        RegDeleteTreeA(HKEY_CURRENT_USER, keyPath.c_str());
        resources = LoadLibraryA("TavikRes.dll");
        ASSERT_NE(resources, nullptr);
        mainWindow = CreateWindowExA(0, "STATIC", "options owner", WS_OVERLAPPED, 0, 0, 200, 100, nullptr, nullptr,
                                     nullptr, nullptr);
        ASSERT_NE(mainWindow, nullptr);
        context.mainWindow = mainWindow;
        context.program = GetModuleHandleA(nullptr);
        context.resources = resources;
        context.saveMessagesPage = [this](const MessagesPageValues& page) {
            return settings::ApplyMessagesPage(page, keyPath);
        };
        context.saveMailPage = [this](const MailPageValues& page) { return settings::ApplyMailPage(page, keyPath); };
        context.previewFontSize = [this](std::uint32_t size) { previews.push_back(size); };
        context.applySettings = [this] { ++applied; };
    }

    void TearDown() override {
        RegDeleteTreeA(HKEY_CURRENT_USER,
                       ("Software\\Quorlex\\TavikTest" + std::to_string(GetCurrentProcessId())).c_str());
        DestroyWindow(mainWindow);
        FreeLibrary(resources);
        ProcessSettings().Replace(Settings{});
    }

    // Runs the sheet on this thread while drive works it from another; a sheet drive leaves open
    // is cancelled, so a failing test cannot hang.
    void RunSheet(const std::function<void(HWND sheet)>& drive) {
        std::thread driver([&] {
            HWND sheet = WaitForSheet();
            if (sheet == nullptr) return;
            drive(sheet);
            if (IsWindow(sheet)) PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        });
        OpenOptionsSheet(context);
        driver.join();
    }

    bool Stored(const char* name) {
        return RegGetValueA(HKEY_CURRENT_USER, keyPath.c_str(), name, RRF_RT_ANY, nullptr, nullptr, nullptr) == 0;
    }
    DWORD StoredNumber(const char* name) {
        DWORD value = 0xFFFFFFFF;
        DWORD size = sizeof(value);
        RegGetValueA(HKEY_CURRENT_USER, keyPath.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size);
        return value;
    }

    std::string keyPath;
    HMODULE resources = nullptr;
    HWND mainWindow = nullptr;
    OptionsContext context;
    std::vector<std::uint32_t> previews;
    int applied = 0;
};

TEST_F(OptionsSheetTest, LeavingEachPageSavesItsOwnValuesAndOkPutsThemIntoEffect) {
    bool mailSavedBeforeLeavingIt = true;
    bool messagesSavedOnLeaving = false;
    RunSheet([&](HWND sheet) {
        HWND page = CurrentPage(sheet);
        SetDlgItemTextA(page, IDC_SOUND_FILE, "C:\\ding.wav");
        SetDlgItemTextA(page, IDC_ALLOW_LIST, "10.*");
        CheckDlgButton(page, IDC_PLAY_SOUND, BST_CHECKED);
        SendDlgItemMessageA(page, IDC_RESTORE_HOT_KEY, HKM_SETHOTKEY, 0x0641, 0);
        SelectSize(page, "14");
        PropSheet_SetCurSel(sheet, nullptr, 1);
        messagesSavedOnLeaving = Stored("SoundFile") && Stored("RestoreHotKey");
        mailSavedBeforeLeavingIt = Stored("UserName") || Stored("TimeChecking");

        page = CurrentPage(sheet);
        SetDlgItemTextA(page, IDC_MAIL_SERVER, "mail.example:143");
        SetDlgItemTextA(page, IDC_MAIL_USER, "maria");
        SetDlgItemTextA(page, IDC_MAIL_PASSWORD, "aZb");
        SetDlgItemTextA(page, IDC_CHECK_INTERVAL, "");
        CheckRadioButton(page, IDC_POP3, IDC_IMAP4, IDC_IMAP4);
        PropSheet_PressButton(sheet, PSBTN_OK);
    });

    EXPECT_TRUE(messagesSavedOnLeaving);
    EXPECT_FALSE(mailSavedBeforeLeavingIt);
    EXPECT_EQ(previews, std::vector<std::uint32_t>{14});
    EXPECT_EQ(applied, 1);
    auto settings = ProcessSettings().Current();
    EXPECT_EQ(settings->SoundFile, "C:\\ding.wav");
    EXPECT_EQ(settings->AllMess, "10.*");
    EXPECT_EQ(settings->PlaySound, 1u);
    EXPECT_EQ(settings->RestoreHotKey, 0x0641u);
    EXPECT_EQ(settings->MessageTextFontSize, 14u);
    EXPECT_EQ(settings->IncomingMailServer, "mail.example:143");
    EXPECT_EQ(settings->Password, "aZb");
    EXPECT_EQ(settings->MailServerType, 1u);
    EXPECT_EQ(StoredNumber("TimeChecking"), 1u);  // an empty interval
    EXPECT_EQ(StoredNumber("MessageTextFontSize"), 14u);
}

TEST_F(OptionsSheetTest, TheMailPageNeedsUserAndServerAndKeepsATypedZeroInterval) {
    Settings start;
    start.CheckMail = 1;
    start.UserName = "maria";
    start.IncomingMailServer = "mail.example";
    ProcessSettings().Replace(start);
    const std::initializer_list<int> periodic = {IDC_CHECK_MAIL, IDC_CHECK_INTERVAL, IDC_CHECK_INTERVAL_SPIN,
                                                 IDC_CHECK_NOW_BUTTON};
    // Usable and checked: at the start, without the user name, with it typed again.
    std::vector<bool> seen;
    RunSheet([&](HWND sheet) {
        PropSheet_SetCurSel(sheet, nullptr, 1);
        HWND page = CurrentPage(sheet);
        for (const char* user : {"maria", "", "maria"}) {
            SetDlgItemTextA(page, IDC_MAIL_USER, user);
            seen.insert(seen.end(), {Enabled(page, periodic), Checked(page, IDC_CHECK_MAIL)});
        }
        SetDlgItemTextA(page, IDC_CHECK_INTERVAL, "0");
        PropSheet_PressButton(sheet, PSBTN_OK);
    });
    EXPECT_EQ(seen, (std::vector<bool>{true, true, false, false, true, false}));
    EXPECT_EQ(StoredNumber("TimeChecking"), 0u);
    EXPECT_EQ(StoredNumber("CheckMail"), 0u);
    EXPECT_EQ(ProcessSettings().Current()->TimeChecking, 0u);
}

TEST_F(OptionsSheetTest, CancelUndoesTheSizePreviewAndPutsNothingIntoEffect) {
    Settings start;
    start.MessageTextFontSize = 9;
    start.DisableMailNotification = 1;
    start.DisableFilteringSettings = 1;
    ProcessSettings().Replace(start);
    int pages = 0;
    bool filtersEditable = true;
    RunSheet([&](HWND sheet) {
        pages = TabCtrl_GetItemCount(PropSheet_GetTabControl(sheet));
        HWND page = CurrentPage(sheet);
        filtersEditable = Enabled(page, {IDC_ALLOW_LIST, IDC_DENY_LIST, IDC_HIGH_PRIORITY_LIST});
        SelectSize(page, "14");
        PropSheet_PressButton(sheet, PSBTN_CANCEL);
    });
    EXPECT_EQ(pages, 1);
    EXPECT_FALSE(filtersEditable);
    EXPECT_EQ(previews, (std::vector<std::uint32_t>{14, 9}));
    EXPECT_EQ(applied, 0);
    EXPECT_FALSE(Stored("MessageTextFontSize"));
    EXPECT_EQ(ProcessSettings().Current()->MessageTextFontSize, 9u);
}

TEST_F(OptionsSheetTest, TheRestoreHotKeyAlwaysHoldsControlAndAlt) {
    Settings start;
    start.RestoreHotKey = 0x0041;  // a plain A, stored before the rule
    ProcessSettings().Replace(start);
    std::vector<LRESULT> shown;
    RunSheet([&](HWND sheet) {
        HWND field = GetDlgItem(CurrentPage(sheet), IDC_RESTORE_HOT_KEY);
        shown.push_back(SendMessageA(field, HKM_GETHOTKEY, 0, 0));
        SendMessageA(field, WM_KEYDOWN, 'B', 0);
        SendMessageA(field, WM_KEYUP, 'B', 0);
        shown.push_back(SendMessageA(field, HKM_GETHOTKEY, 0, 0));
        SendMessageA(field, WM_KEYDOWN, VK_MENU, 0);
        SendMessageA(field, WM_KEYDOWN, 'X', 0);
        shown.push_back(SendMessageA(field, HKM_GETHOTKEY, 0, 0));
        SendMessageA(field, WM_KEYUP, 'X', 0);
        SendMessageA(field, WM_KEYUP, VK_MENU, 0);
    });
    EXPECT_EQ(shown, (std::vector<LRESULT>{0x0641, 0x0642, 0x0658}));  // Ctrl+Alt+A, +B, +X
}

TEST_F(OptionsSheetTest, CheckNowOpensOnceEvenWhenTheOpenOneCannotBeBroughtForward) {
    // A server that takes the connection and never answers, so the check stays under way.
    net::SocketLibrary sockets;
    net::Socket silent = net::Socket::OpenTcp();
    ASSERT_TRUE(silent.Bind(net::kLoopbackAddress, 0) && silent.Listen(4));
    const std::string server = "127.0.0.1:" + std::to_string(silent.LocalEndpoint()->port);
    std::unique_ptr<HHOOK__, decltype(&UnhookWindowsHookEx)> hook(
        SetWindowsHookExA(WH_CBT, RefuseActivation, nullptr, GetCurrentThreadId()), UnhookWindowsHookEx);
    ASSERT_TRUE(hook);
    std::size_t firstOpen = 0, afterSecondOpen = 0;
    LRESULT secondReturned = 0;
    RunSheet([&](HWND sheet) {
        PropSheet_SetCurSel(sheet, nullptr, 1);
        HWND page = CurrentPage(sheet);
        SetDlgItemTextA(page, IDC_MAIL_SERVER, server.c_str());
        SetDlgItemTextA(page, IDC_MAIL_USER, "maria");
        const WPARAM checkNow = MAKEWPARAM(IDC_CHECK_NOW_BUTTON, BN_CLICKED);
        PostMessageA(page, WM_COMMAND, checkNow, 0);
        for (int attempt = 0; attempt < 500 && CheckNowDialogs() == 0; ++attempt) Sleep(20);
        firstOpen = CheckNowDialogs();

        // Another window has the foreground, and the dialog may not take it back. A second
        // dialog would hold the click until it closes.
        HWND other = CreateWindowExA(0, "STATIC", "other program", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                     nullptr, nullptr, nullptr);
        SetForegroundWindow(other);
        RefuseCheckNowActivation = true;
        secondReturned = SendMessageTimeoutA(page, WM_COMMAND, checkNow, 0, SMTO_NORMAL, 10000, nullptr);
        afterSecondOpen = CheckNowDialogs();
        RefuseCheckNowActivation = false;
        DestroyWindow(other);

        // A dialog opened inside another ends first, so all are told at once.
        for (HWND found = nullptr; (found = FindWindowExA(nullptr, found, WC_DIALOG, kCheckNowCaption)) != nullptr;) {
            PostMessageA(found, WM_COMMAND, IDCANCEL, 0);
        }
        for (int attempt = 0; attempt < 500 && CheckNowDialogs() > 0; ++attempt) Sleep(20);
    });
    EXPECT_EQ(firstOpen, 1u);
    EXPECT_NE(secondReturned, 0);
    EXPECT_EQ(afterSecondOpen, 1u);
}

}  // namespace
}  // namespace tavik::options
