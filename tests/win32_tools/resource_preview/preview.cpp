// Shows every dialog of TavikRes.dll the way the program shows it, filled with sample content,
// so that a screenshot can be judged by eye. Not part of the build; see README.txt beside it.
//
//   preview.exe [path\to\TavikRes.dll] [seconds] [windows|options]
//
// "windows" (the default) shows the main window, the About box and the check-now dialog;
// "options" shows the options sheet twice, once on each page.
// The main window gets the toolbar from this program's own copy of the program resources
// (program.rc is linked in), the options pages run in a modeless property sheet, and every window
// is placed so that none covers another on a 1024x768 screen. After the given number of seconds
// (default 20) everything closes and the program ends.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "resource_ids.h"

namespace {

HMODULE resourceModule;

INT_PTR CALLBACK PassiveProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG ? TRUE : FALSE; }

std::string LoadText(UINT id) {
    char buffer[512] = {};
    LoadStringA(resourceModule, id, buffer, sizeof buffer);
    return buffer;
}

// The toolbar as the program builds it: flat, text labels, bitmap 122 of the program file.
HWND AddToolbar(HWND window) {
    HWND toolbar =
        CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr, WS_CHILD | TBSTYLE_FLAT | CCS_NODIVIDER | CCS_ADJUSTABLE, 0, 0,
                        0, 0, window, nullptr, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(toolbar, WM_SETFONT, SendMessageA(window, WM_GETFONT, 0, 0), TRUE);
    SendMessageA(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    TBADDBITMAP bitmap{GetModuleHandleA(nullptr), IDB_TOOLBAR};
    SendMessageA(toolbar, TB_ADDBITMAP, 6, reinterpret_cast<LPARAM>(&bitmap));
    SendMessageA(toolbar, TB_SETBITMAPSIZE, 0, MAKELONG(22, 20));
    const UINT labels[] = {IDS_LABEL_PREVIOUS, IDS_LABEL_NEXT, IDS_LABEL_DELETE,
                           IDS_LABEL_RESTORE,  IDS_LABEL_COPY, IDS_LABEL_OPTIONS};
    INT_PTR labelIndex[6];
    for (int i = 0; i < 6; ++i) {
        std::string text = LoadText(labels[i]);
        text.push_back('\0');  // TB_ADDSTRING takes a list ended by an empty string
        labelIndex[i] = SendMessageA(toolbar, TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    TBBUTTON buttons[8] = {
        {0, CMD_OLDER, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, labelIndex[0]},
        {1, CMD_NEWER, 0, BTNS_BUTTON, {}, 0, labelIndex[1]},
        {2, CMD_DELETE, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, labelIndex[2]},
        {3, CMD_RESTORE_DELETED, 0, BTNS_BUTTON, {}, 0, labelIndex[3]},
        {0, 0, 0, BTNS_SEP, {}, 0, 0},
        {4, CMD_COPY, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, labelIndex[4]},
        {0, 0, 0, BTNS_SEP, {}, 0, 0},
        {5, CMD_OPTIONS, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, labelIndex[5]},
    };
    SendMessageA(toolbar, TB_ADDBUTTONSA, 8, reinterpret_cast<LPARAM>(buttons));
    SendMessageA(toolbar, TB_AUTOSIZE, 0, 0);
    SetWindowPos(toolbar, nullptr, 12, 4, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(toolbar, SW_SHOW);
    return toolbar;
}

HWND mainToolbar;

// Widens the window to the toolbar as the program does, and says how much room was missing.
void FitToToolbar(HWND window) {
    RECT item{};
    if (!SendMessageA(mainToolbar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item))) return;
    const int count = static_cast<int>(SendMessageA(mainToolbar, TB_BUTTONCOUNT, 0, 0));
    const int toolbarWidth = (item.right - item.left) * (count - 2) + 6 * 2 + 24;
    RECT frame{};
    GetWindowRect(window, &frame);
    const int missing = toolbarWidth - (frame.right - frame.left);
    std::printf("main window: toolbar needs %d px, window is %ld px wide (%s)\n", toolbarWidth,
                frame.right - frame.left, missing > 0 ? "widened" : "wide enough");
    if (missing <= 0) return;
    SetWindowPos(window, nullptr, 0, 0, toolbarWidth, frame.bottom - frame.top, SWP_NOMOVE | SWP_NOZORDER);
    for (int id : {IDC_SENDER, IDC_MESSAGE_TEXT}) {
        HWND control = GetDlgItem(window, id);
        RECT r{};
        GetWindowRect(control, &r);
        SetWindowPos(control, nullptr, 0, 0, r.right - r.left + missing, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
    }
}

LRESULT PaintDecorations(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT bar{};
    GetWindowRect(mainToolbar, &bar);
    RECT band{0, 0, bar.right - bar.left + 12, bar.bottom - bar.top + 6};
    DrawEdge(dc, &band, EDGE_ETCHED, BF_BOTTOM);
    DrawEdge(dc, &band, EDGE_ETCHED, BF_TOP);
    RECT grip{3, 5, 6, bar.bottom - bar.top + 1};
    DrawEdge(dc, &grip, BDR_RAISEDINNER, BF_RECT);
    EndPaint(window, &paint);
    return 0;
}

INT_PTR CALLBACK MainProc(HWND window, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) {
        mainToolbar = AddToolbar(window);
        FitToToolbar(window);
        return TRUE;
    }
    if (message == WM_PAINT) {
        PaintDecorations(window);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK MessagesPageProc(HWND page, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG) return FALSE;
    SetDlgItemTextA(page, IDC_SOUND_FILE, "receive.wav");
    SetDlgItemTextA(page, IDC_ALLOW_LIST, "*.*.*.*;*");
    SetDlgItemTextA(page, IDC_DENY_LIST, "10.0.0.13;SPAMMER");
    SetDlgItemTextA(page, IDC_HIGH_PRIORITY_LIST, "*.*.*.*");
    CheckDlgButton(page, IDC_PLAY_SOUND, BST_CHECKED);
    CheckDlgButton(page, IDC_POP_UP_WHEN_INCOMING, BST_CHECKED);
    SendDlgItemMessageA(page, IDC_RESTORE_HOT_KEY, HKM_SETHOTKEY, MAKEWORD('T', HOTKEYF_CONTROL | HOTKEYF_ALT), 0);
    for (int size : {7, 8, 9, 10, 11, 12, 14, 16}) {
        char text[8];
        std::snprintf(text, sizeof text, "%d", size);
        SendDlgItemMessageA(page, IDC_FONT_SIZE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    SendDlgItemMessageA(page, IDC_FONT_SIZE, CB_SETCURSEL, 1, 0);
    return TRUE;
}

INT_PTR CALLBACK MailPageProc(HWND page, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG) return FALSE;
    CheckRadioButton(page, IDC_POP3, IDC_IMAP4, IDC_IMAP4);
    SetDlgItemTextA(page, IDC_MAIL_SERVER, "mail.example.com:143");
    SetDlgItemTextA(page, IDC_MAIL_USER, "alice");
    SetDlgItemTextA(page, IDC_MAIL_PASSWORD, "secret");
    SetDlgItemTextA(page, IDC_EMAIL_PROGRAM, "C:\\Program Files\\Mail\\mail.exe");
    SetDlgItemInt(page, IDC_CHECK_INTERVAL, 10, FALSE);
    SendDlgItemMessageA(page, IDC_CHECK_INTERVAL_SPIN, UDM_SETRANGE, 0, MAKELPARAM(120, 1));
    CheckDlgButton(page, IDC_CHECK_MAIL, BST_CHECKED);
    return TRUE;
}

HWND ShowSheet(int startPage, int x, int y, const std::string& caption) {
    PROPSHEETPAGEA pages[2] = {};
    const WORD templates[2] = {IDD_MESSAGES_PAGE, IDD_MAIL_PAGE};
    const UINT titles[2] = {IDS_MESSAGES_PAGE_TITLE, IDS_MAIL_PAGE_TITLE};
    DLGPROC procs[2] = {MessagesPageProc, MailPageProc};
    for (int i = 0; i < 2; ++i) {
        pages[i].dwSize = sizeof(PROPSHEETPAGEA);  // the sheet steps through the array by dwSize
        pages[i].dwFlags = PSP_USETITLE;
        pages[i].hInstance = resourceModule;
        pages[i].pszTemplate = MAKEINTRESOURCEA(templates[i]);
        pages[i].pszTitle = MAKEINTRESOURCEA(titles[i]);
        pages[i].pfnDlgProc = procs[i];
    }
    PROPSHEETHEADERA header{};
    header.dwSize = PROPSHEETHEADERA_V1_SIZE;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_MODELESS;
    header.hInstance = GetModuleHandleA(nullptr);
    header.pszCaption = caption.c_str();
    header.nPages = 2;
    header.nStartPage = static_cast<UINT>(startPage);
    header.ppsp = pages;
    HWND sheet = reinterpret_cast<HWND>(PropertySheetA(&header));
    SetWindowPos(sheet, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    return sheet;
}

HWND ShowDialog(WORD id, DLGPROC proc, int x, int y) {
    HWND window = CreateDialogParamA(resourceModule, MAKEINTRESOURCEA(id), nullptr, proc, 0);
    if (!window) {
        std::printf("dialog %u: cannot be created (error %lu)\n", id, GetLastError());
        return nullptr;
    }
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    RECT r{};
    GetWindowRect(window, &r);
    std::printf("dialog %u: %ld x %ld px at (%d, %d)\n", id, r.right - r.left, r.bottom - r.top, x, y);
    return window;
}

}  // namespace

int main(int argc, char** argv) {
    const char* path = argc > 1 ? argv[1] : "TavikRes.dll";
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 20;
    const bool options = argc > 3 && std::string(argv[3]) == "options";
    resourceModule = LoadLibraryA(path);
    if (!resourceModule) {
        std::printf("cannot load %s (error %lu)\n", path, GetLastError());
        return 1;
    }
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&classes);

    if (options) {
        const std::string caption = LoadText(IDS_OPTIONS_CAPTION);
        ShowSheet(0, 0, 0, caption);
        ShowSheet(1, 512, 0, caption);
    }
    HWND main = options ? nullptr : ShowDialog(IDD_MAIN_WINDOW, MainProc, 0, 0);
    if (main) {
        SetWindowTextA(main, "Quorlex Tavik - message 2 of 3");
        SetDlgItemTextA(main, IDC_SENDER, "PC7/10.0.0.5:u");
        SetDlgItemTextA(main, IDC_MESSAGE_TEXT,
                        "Monday, 8 December 2025, 10:42:17\r\nMessage from PC7 to BOB.\r\n\r\n"
                        "The meeting moves to room 4 at eleven.\r\nPlease bring the printouts.");
        ShowWindow(GetDlgItem(main, IDC_PRIORITY_MARK), SW_SHOW);
        SendMessageA(main, WM_SETICON, ICON_SMALL,
                     reinterpret_cast<LPARAM>(LoadIconA(GetModuleHandleA(nullptr), "IDI_ICON3")));
    }
    if (!options) ShowDialog(IDD_ABOUT, PassiveProc, 560, 0);
    HWND check = options ? nullptr : ShowDialog(IDD_CHECK_NOW, PassiveProc, 560, 240);
    if (check) {
        RECT client{};
        GetClientRect(check, &client);
        HWND bar =
            CreateWindowExA(0, PROGRESS_CLASSA, nullptr, WS_CHILD | WS_VISIBLE | PBS_SMOOTH, client.left + 30, 30,
                            client.right - client.left - 60, 20, check, nullptr, GetModuleHandleA(nullptr), nullptr);
        SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 600));
        SendMessageA(bar, PBM_SETPOS, 360, 0);
        char status[512];
        std::snprintf(status, sizeof status, LoadText(IDS_CHECK_SERVER_READY).c_str(), "alice");
        SetDlgItemTextA(check, IDC_CHECK_STATUS, status);
    }

    SetTimer(nullptr, 0, static_cast<UINT>(seconds) * 1000, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && message.hwnd == nullptr) break;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    FreeLibrary(resourceModule);
    return 0;
}
