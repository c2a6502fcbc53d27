#include "shell/toolbar.h"

#include <commctrl.h>

#include <array>
#include <string>

#include "resource_ids.h"
#include "shell/fonts.h"
#include "shell/shell_state.h"
#include "win/dpi.h"

namespace tavik::shell {

HWND Toolbar = nullptr;

namespace {

constexpr int kImageCount = 6;
constexpr int kLabelBufferSize = 16;
// Every button command, for carrying the buttons' states over to a remade toolbar.
constexpr std::array<int, 6> kCommands{CMD_OLDER, CMD_NEWER, CMD_DELETE, CMD_RESTORE_DELETED, CMD_COPY, CMD_OPTIONS};

UINT layoutDpi = 0;  // the DPI the main window is laid out for

struct ToolbarPictures {
    UINT bitmap;
    int width;
    int height;
};

// The strip drawn for the scaling nearest to the DPI (100, 150 or 200 %; a tie goes to the smaller):
// pictures are picked, never stretched.
ToolbarPictures PicturesFor(UINT dpi) {
    if (dpi <= 120) return {IDB_TOOLBAR, 22, 20};
    if (dpi <= 168) return {IDB_TOOLBAR_150, 33, 30};
    return {IDB_TOOLBAR_200, 44, 40};
}

// A length of the 96-DPI layout at the window's DPI.
int Scaled(int length) { return win::ScaleForDpi(length, layoutDpi); }

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
    if (layoutDpi == 0) layoutDpi = win::WindowDpi(mainWindow);
    InitCommonControls();
    HWND toolbar =
        CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr, WS_CHILD | TBSTYLE_FLAT | CCS_NODIVIDER | CCS_ADJUSTABLE, 0, 0,
                        0, 0, mainWindow, nullptr, AppInstance, nullptr);
    if (toolbar == nullptr) return nullptr;
    Toolbar = toolbar;
    SendMessageA(toolbar, WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont()), TRUE);
    SendMessageA(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    ToolbarPictures pictures = PicturesFor(layoutDpi);
    TBADDBITMAP bitmap{AppInstance, pictures.bitmap};
    SendMessageA(toolbar, TB_ADDBITMAP, kImageCount, reinterpret_cast<LPARAM>(&bitmap));
    SendMessageA(toolbar, TB_SETBITMAPSIZE, 0, MAKELONG(pictures.width, pictures.height));

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

namespace {

void ResizeControlBy(HWND mainWindow, int id, int extraWidth) {
    HWND control = GetDlgItem(mainWindow, id);
    if (control == nullptr) return;
    RECT rect;
    GetWindowRect(control, &rect);
    SetWindowPos(control, nullptr, 0, 0, rect.right - rect.left + extraWidth, rect.bottom - rect.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    ShowWindow(control, SW_SHOW);
}

enum class Moment { Initialisation, DpiChange };

bool FitToToolbar(HWND mainWindow, bool withOptions, Moment moment) {
    if (Toolbar == nullptr) return false;
    int entries = static_cast<int>(SendMessageA(Toolbar, TB_BUTTONCOUNT, 0, 0));
    RECT first;
    if (!SendMessageA(Toolbar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first))) return false;
    int buttonWidth = first.right - first.left;
    int separators = withOptions ? 2 : 1;
    int toolbarWidth = buttonWidth * (entries - separators) + Scaled(6) * separators + Scaled(24);

    RECT window, client;
    GetWindowRect(mainWindow, &window);
    GetClientRect(mainWindow, &client);
    int windowWidth = window.right - window.left;
    int windowHeight = window.bottom - window.top;
    int delta = toolbarWidth - windowWidth;
    if (delta > 0) {
        // Hidden at initialisation (start-up shows the window); a shown window stays shown.
        UINT hiding = moment == Moment::Initialisation ? SWP_HIDEWINDOW : SWP_NOACTIVATE;
        SetWindowPos(mainWindow, nullptr, 0, 0, toolbarWidth, windowHeight, SWP_NOMOVE | SWP_NOZORDER | hiding);
        ResizeControlBy(mainWindow, IDC_SENDER, delta);
        ResizeControlBy(mainWindow, IDC_MESSAGE_TEXT, delta);
        if (HWND hide = GetDlgItem(mainWindow, IDC_HIDE_BUTTON)) {
            RECT button;
            GetWindowRect(hide, &button);
            int width = button.right - button.left;
            int frame = windowHeight - (client.bottom - client.top);
            int y = (button.top - window.top) - frame;
            if (moment == Moment::DpiChange) {
                // Laid out once already: the button keeps its height in the window.
                POINT top{button.left, button.top};
                ScreenToClient(mainWindow, &top);
                y = top.y;
            }
            int x = (toolbarWidth - width) / 2;
            SetWindowPos(hide, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            ShowWindow(hide, SW_SHOW);
        }
    }
    SendMessageA(Toolbar, TB_AUTOSIZE, 0, 0);
    SetWindowPos(Toolbar, nullptr, Scaled(12), Scaled(4), 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(Toolbar, SW_SHOW);
    return true;
}

// A toolbar with pictures and labels for the layout's DPI in place of the old one, its buttons
// enabled as they were.
void RemakeToolbar(HWND mainWindow, bool withOptions) {
    std::array<bool, kCommands.size()> enabled{};
    for (std::size_t i = 0; i < kCommands.size(); ++i) {
        enabled[i] = SendMessageA(Toolbar, TB_ISBUTTONENABLED, kCommands[i], 0) != 0;
    }
    HWND old = Toolbar;
    if (CreateToolbar(mainWindow, withOptions) == nullptr) {
        Toolbar = old;
        return;
    }
    DestroyWindow(old);
    for (std::size_t i = 0; i < kCommands.size(); ++i) EnableToolbarButton(kCommands[i], enabled[i]);
}

}  // namespace

bool FitLayout(HWND mainWindow, bool withOptions) {
    // Windows 10 would otherwise rescale the dialog by itself and undo the fitting.
    win::TakeOverDialogDpiChanges(mainWindow);
    return FitToToolbar(mainWindow, withOptions, Moment::Initialisation);
}

void FollowDpiChange(HWND mainWindow, UINT dpi, const RECT& suggested, bool withOptions) {
    if (dpi == 0 || Toolbar == nullptr) return;
    UINT previous = layoutDpi;
    layoutDpi = dpi;
    win::ScaleChildWindows(mainWindow, previous, dpi, Toolbar);
    SetWindowPos(mainWindow, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    FollowDpiWithFonts(mainWindow, dpi);
    RemakeToolbar(mainWindow, withOptions);
    FitToToolbar(mainWindow, withOptions, Moment::DpiChange);
    InvalidateRect(mainWindow, nullptr, TRUE);
}

void PaintDecorations(HWND mainWindow) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(mainWindow, &paint);
    if (Toolbar != nullptr) {
        RECT bar;
        GetWindowRect(Toolbar, &bar);
        int width = bar.right - bar.left;
        int height = bar.bottom - bar.top;
        RECT band{0, 0, width + Scaled(12), height + Scaled(6)};
        DrawEdge(dc, &band, EDGE_ETCHED, BF_BOTTOM);
        DrawEdge(dc, &band, EDGE_ETCHED, BF_TOP);
        RECT grip{Scaled(3), Scaled(5), Scaled(6), height + Scaled(1)};
        DrawEdge(dc, &grip, BDR_RAISEDINNER, BF_RECT);
    }
    EndPaint(mainWindow, &paint);
}

}  // namespace tavik::shell
