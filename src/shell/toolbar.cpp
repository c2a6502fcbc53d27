#include "shell/toolbar.h"

#include <commctrl.h>

#include <array>
#include <string>

#include "resource_ids.h"
#include "shell/fonts.h"
#include "shell/shell_state.h"

namespace tavik::shell {

HWND Toolbar = nullptr;

namespace {

constexpr int kImageWidth = 22;
constexpr int kImageHeight = 20;
constexpr int kImageCount = 6;
constexpr int kLabelBufferSize = 16;

int AddLabel(HWND toolbar, UINT stringId) {
    // TB_ADDSTRING takes a list of strings ended by an empty one.
    std::string label = LoadResourceString(stringId, kLabelBufferSize);
    label.push_back('\0');
    label.push_back('\0');
    return static_cast<int>(SendMessageA(toolbar, TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>(label.data())));
}

TBBUTTON Button(int image, int command, int label) {
    TBBUTTON button{};
    button.iBitmap = image;
    button.idCommand = command;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = TBSTYLE_BUTTON;
    button.iString = label;
    return button;
}

TBBUTTON Separator() {
    TBBUTTON button{};
    button.fsStyle = TBSTYLE_SEP;
    return button;
}

}  // namespace

HWND CreateToolbar(HWND mainWindow, bool withOptions) {
    InitCommonControls();
    HWND toolbar =
        CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr, WS_CHILD | TBSTYLE_FLAT | CCS_NODIVIDER | CCS_ADJUSTABLE, 0, 0,
                        0, 0, mainWindow, nullptr, AppInstance, nullptr);
    if (toolbar == nullptr) return nullptr;
    Toolbar = toolbar;
    SendMessageA(toolbar, WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont()), TRUE);
    SendMessageA(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    TBADDBITMAP bitmap{AppInstance, IDB_TOOLBAR};
    SendMessageA(toolbar, TB_ADDBITMAP, kImageCount, reinterpret_cast<LPARAM>(&bitmap));
    SendMessageA(toolbar, TB_SETBITMAPSIZE, 0, MAKELONG(kImageWidth, kImageHeight));

    int previous = AddLabel(toolbar, IDS_LABEL_PREVIOUS);
    int next = AddLabel(toolbar, IDS_LABEL_NEXT);
    int remove = AddLabel(toolbar, IDS_LABEL_DELETE);
    int restore = AddLabel(toolbar, IDS_LABEL_RESTORE);
    int copy = AddLabel(toolbar, IDS_LABEL_COPY);
    int options = AddLabel(toolbar, IDS_LABEL_OPTIONS);

    std::array<TBBUTTON, 8> buttons{
        Button(0, CMD_OLDER, previous),
        Button(1, CMD_NEWER, next),
        Button(2, CMD_DELETE, remove),
        Button(3, CMD_RESTORE_DELETED, restore),
        Separator(),
        Button(4, CMD_COPY, copy),
        Separator(),
        Button(5, CMD_OPTIONS, options),
    };
    WPARAM count = withOptions ? 8 : 6;
    SendMessageA(toolbar, TB_ADDBUTTONSA, count, reinterpret_cast<LPARAM>(buttons.data()));
    return toolbar;
}

void EnableToolbarButton(int command, bool enabled) {
    if (Toolbar == nullptr) return;
    bool now = SendMessageA(Toolbar, TB_ISBUTTONENABLED, command, 0) != 0;
    if (now != enabled) SendMessageA(Toolbar, TB_ENABLEBUTTON, command, MAKELONG(enabled ? TRUE : FALSE, 0));
}

void ApplyCopyButtonRule() {
    if (Toolbar == nullptr) return;
    bool enable = false;
    if (HWND focus = GetFocus()) {
        char className[16] = {};
        GetClassNameA(focus, className, sizeof className);
        if (lstrcmpA(className, "Edit") == 0) {
            DWORD start = 0, end = 0;
            SendMessageA(focus, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
            enable = end > start;
        }
    }
    EnableToolbarButton(CMD_COPY, enable);
}

static void ResizeControlBy(HWND mainWindow, int id, int extraWidth) {
    HWND control = GetDlgItem(mainWindow, id);
    if (control == nullptr) return;
    RECT rect;
    GetWindowRect(control, &rect);
    SetWindowPos(control, nullptr, 0, 0, rect.right - rect.left + extraWidth, rect.bottom - rect.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    ShowWindow(control, SW_SHOW);
}

bool FitLayout(HWND mainWindow, bool withOptions) {
    if (Toolbar == nullptr) return false;
    int entries = static_cast<int>(SendMessageA(Toolbar, TB_BUTTONCOUNT, 0, 0));
    RECT first;
    if (!SendMessageA(Toolbar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first))) return false;
    int buttonWidth = first.right - first.left;
    int separators = withOptions ? 2 : 1;
    int toolbarWidth = buttonWidth * (entries - separators) + 6 * separators + 24;

    RECT window, client;
    GetWindowRect(mainWindow, &window);
    GetClientRect(mainWindow, &client);
    int windowWidth = window.right - window.left;
    int windowHeight = window.bottom - window.top;
    int delta = toolbarWidth - windowWidth;
    if (delta > 0) {
        SetWindowPos(mainWindow, nullptr, 0, 0, toolbarWidth, windowHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_HIDEWINDOW);
        ResizeControlBy(mainWindow, IDC_SENDER, delta);
        ResizeControlBy(mainWindow, IDC_MESSAGE_TEXT, delta);
        if (HWND hide = GetDlgItem(mainWindow, IDC_HIDE_BUTTON)) {
            RECT button;
            GetWindowRect(hide, &button);
            int width = button.right - button.left;
            int frame = windowHeight - (client.bottom - client.top);
            int y = (button.top - window.top) - frame;
            int x = (toolbarWidth - width) / 2;
            SetWindowPos(hide, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            ShowWindow(hide, SW_SHOW);
        }
    }
    SendMessageA(Toolbar, TB_AUTOSIZE, 0, 0);
    SetWindowPos(Toolbar, nullptr, 12, 4, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(Toolbar, SW_SHOW);
    return true;
}

void PaintDecorations(HWND mainWindow) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(mainWindow, &paint);
    if (Toolbar != nullptr) {
        RECT bar;
        GetWindowRect(Toolbar, &bar);
        int width = bar.right - bar.left;
        int height = bar.bottom - bar.top;
        RECT band{0, 0, width + 12, height + 6};
        DrawEdge(dc, &band, EDGE_ETCHED, BF_BOTTOM);
        DrawEdge(dc, &band, EDGE_ETCHED, BF_TOP);
        RECT grip{3, 5, 6, height + 1};
        DrawEdge(dc, &grip, BDR_RAISEDINNER, BF_RECT);
    }
    EndPaint(mainWindow, &paint);
}

}  // namespace tavik::shell
