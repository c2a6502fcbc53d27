#include "shell/program.h"

#include <cstring>
#include <optional>
#include <string>

#include "core/settings/hot_key.h"
#include "core/settings/settings_store.h"
#include "core/settings/settings_writers.h"
#include "resource_ids.h"
#include "shell/fonts.h"
#include "shell/history_view.h"
#include "shell/listeners.h"
#include "shell/main_window.h"
#include "settings/registry_settings.h"
#include "shell/shell_state.h"
#include "shell/tray_icon.h"
#include "win/scoped_handles.h"
#include "window_messages.h"

namespace tavik::shell {
namespace {

constexpr const char* kProgramCaption = "Quorlex Tavik";
constexpr int kInstanceTitleMatch = 12;

// The folder of Tavik.exe, with its closing backslash; empty when it cannot be had.
std::string ProgramFolder() {
    std::string path(32768, '\0');
    DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) return {};
    path.resize(length);
    std::size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A per-user name: two quick starts meet here before either has a window.
std::string InstanceMutexName() {
    char user[257] = {};
    DWORD size = sizeof user;
    if (!GetUserNameA(user, &size)) user[0] = '\0';
    return std::string("Local\\QuorlexTavik.Instance.") + user;
}

struct TavikWindowSearch {
    std::string title;
    HWND found = nullptr;
};

// The main window: a dialog (class "#32770") of a process other than this one.
BOOL CALLBACK LookAtWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<TavikWindowSearch*>(parameter);
    char title[128] = {};
    char className[16] = {};
    GetWindowTextA(window, title, sizeof title);
    GetClassNameA(window, className, sizeof className);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    // Its boxes have the same title and class, but an owner and no message text.
    if (process != GetCurrentProcessId() && lstrcmpA(className, "#32770") == 0 &&
        GetWindow(window, GW_OWNER) == nullptr && GetDlgItem(window, IDC_MESSAGE_TEXT) != nullptr &&
        std::strncmp(title, search->title.c_str(), kInstanceTitleMatch) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// A top-level window whose title starts like string 1 and that belongs to another Tavik.exe.
HWND FindTavikWindow() {
    TavikWindowSearch search{LoadResourceString(IDS_PROGRAM_NAME, 127)};
    EnumWindows(LookAtWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Another instance owns the window named by ClassName when its title starts like string 1.
bool RestoreRunningInstance(settings::RegistrySettingsSink& key) {
    std::optional<std::uint32_t> stored = key.ReadClassName();
    if (!stored) return false;
    HWND other = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(*stored));
    char title[128] = {};
    GetWindowTextA(other, title, sizeof title);
    char programName[127] = {};
    LoadStringA(ResourceModule, IDS_PROGRAM_NAME, programName, sizeof programName);
    if (!IsWindow(other) || std::strncmp(title, programName, kInstanceTitleMatch) != 0) return false;
    PostMessageA(other, WM_SYSCOMMAND, SC_RESTORE, 0);
    return true;
}

void EditSystemMenu(HWND window) {
    HMENU menu = GetSystemMenu(window, FALSE);
    if (menu == nullptr) return;
    DeleteMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND);
    DeleteMenu(menu, SC_RESTORE, MF_BYCOMMAND);
    DeleteMenu(menu, SC_SIZE, MF_BYCOMMAND);
    DeleteMenu(menu, 2, MF_BYPOSITION);
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    std::string about = LoadResourceString(IDS_ABOUT_ITEM, 16);
    AppendMenuA(menu, MF_STRING, CMD_ABOUT, about.c_str());
}

bool StartsHidden(int showCommand) {
    return showCommand == SW_SHOWMINIMIZED || showCommand == SW_MINIMIZE || showCommand == SW_SHOWMINNOACTIVE;
}

void RunMessageLoop(HACCEL accelerators, const HistoryView& view) {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        // The find dialog's keys are its own (Enter finds, Escape closes it), not the main window's.
        if (HWND find = view.FindDialog(); find != nullptr && IsDialogMessageA(find, &message)) continue;
        if (MainWindow != nullptr && TranslateAcceleratorA(MainWindow, accelerators, &message)) continue;
        if (MainWindow != nullptr && IsWindow(MainWindow) && IsDialogMessageA(MainWindow, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

}  // namespace

void RegisterRestoreHotKey(HWND window) {
    UnregisterHotKey(window, kRestoreHotKeyId);
    const std::optional<HotKeyRegistration> hotKey = ConvertRestoreHotKey(ProcessSettings().Current()->RestoreHotKey);
    if (!hotKey || RegisterHotKey(window, kRestoreHotKeyId, hotKey->modifiers, hotKey->virtualKey)) return;
    if (GetLastError() != ERROR_HOTKEY_ALREADY_REGISTERED) return;
    // Told once for each key: every OK in the options registers the key again.
    static std::optional<std::uint32_t> toldAbout;
    const std::uint32_t key = hotKey->modifiers << 16 | hotKey->virtualKey;
    if (toldAbout == key) return;
    toldAbout = key;
    ShowErrorBox(window, LoadResourceString(IDS_HOT_KEY_TAKEN, 512));
}

void ShutDown(HistoryView& view) {
    static bool started = false;
    if (started) {
        // The session ends inside a wait of the shut-down itself: what must not be lost is done
        // before the system is answered; the shut-down further down the stack does the rest.
        FinishReception(view);
        settings::SaveProcessSettingsAtExit();
        return;
    }
    started = true;
    StopListeners();
    FinishReception(view);
    UnregisterHotKey(MainWindow, kRestoreHotKeyId);
    StopBlink();
    ReleaseFonts();
    view.StopLoading();
    view.Release();
    settings::SaveProcessSettingsAtExit();
    view.EmptyTrash();
    ReleaseSockets();
    ActivateNextWindow();
}

int RunProgram(HINSTANCE instance, int showCommand) {
    // By full path: the current folder may be another one, or hold a planted module.
    win::Library resources(LoadLibraryA((ProgramFolder() + "TavikRes.dll").c_str()));
    ResourceModule = resources.Get();
    if (ResourceModule == nullptr) {
        MessageBoxA(nullptr, "Unable to load TavikRes.dll.\r\nPlease, reinstall Quorlex Tavik.", kProgramCaption,
                    MB_ICONHAND);
        return -1;
    }

    settings::RegistrySettingsSink instanceKey(settings::SettingsKeyAccess::kOpenFullAccess);
    bool keyOpen = instanceKey.Open();
    win::KernelHandle instanceMutex(CreateMutexA(nullptr, FALSE, InstanceMutexName().c_str()));
    if (instanceMutex && GetLastError() == ERROR_ALREADY_EXISTS) {
        // Another Tavik of this user runs (or is starting): bring it forward and end.
        if (!(keyOpen && RestoreRunningInstance(instanceKey))) {
            if (HWND other = FindTavikWindow()) PostMessageA(other, WM_SYSCOMMAND, SC_RESTORE, 0);
        }
        return 0;
    }

    TrayIcon = LoadIconA(instance, "IDI_A_TAVIK");
    AppInstance = instance;
    HACCEL accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDA_MAIN));

    settings::LoadProcessSettings();
    HistoryView view;
    view.EmptyTrash();

    HWND window = CreateDialogParamA(ResourceModule, MAKEINTRESOURCEA(IDD_MAIN_WINDOW), GetDesktopWindow(),
                                     MainWindowProc, reinterpret_cast<LPARAM>(&view));
    if (window == nullptr) {
        // A resource module without the main window cannot run: say so and end like a missing module.
        MessageBoxA(nullptr, "Unable to load the main window from TavikRes.dll.\r\nPlease, reinstall Quorlex Tavik.",
                    kProgramCaption, MB_ICONHAND);
        return -1;
    }

    if (StartsHidden(showCommand)) {
        ActivateNextWindow();
    } else {
        ShowWindow(window, SW_RESTORE);
    }
    if (keyOpen) WriteClassName(instanceKey, static_cast<std::uint32_t>(reinterpret_cast<ULONG_PTR>(window)));
    instanceKey.Close();

    EditSystemMenu(window);
    if (ProcessSettings().Current()->DisableSMBTread == 0) StartListeners();
    RegisterRestoreHotKey(window);
    TrimWorkingSet();

    RunMessageLoop(accelerators, view);
    ShutDown(view);
    ResourceModule = nullptr;  // freed with resources
    return 0;
}

}  // namespace tavik::shell
