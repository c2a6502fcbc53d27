#include "shell/program.h"

#include <cstring>
#include <optional>

#include "core/settings/hot_key.h"
#include "core/settings/settings_store.h"
#include "core/settings/settings_writers.h"
#include "resource_ids.h"
#include "shell/fonts.h"
#include "shell/history_view.h"
#include "shell/listeners.h"
#include "shell/main_window.h"
#include "shell/registry_settings.h"
#include "shell/shell_state.h"
#include "shell/tray_icon.h"
#include "win/scoped_handles.h"
#include "window_messages.h"

namespace tavik::shell {
namespace {

constexpr const char* kProgramCaption = "Quorlex Tavik";
constexpr int kInstanceTitleMatch = 12;

// Another instance owns the window named by ClassName when its title starts like string 1.
bool RestoreRunningInstance(RegistrySettingsSink& key) {
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

void RegisterRestoreHotKey(HWND window) {
    if (auto hotKey = ConvertRestoreHotKey(ProcessSettings().Current()->RestoreHotKey)) {
        RegisterHotKey(window, kRestoreHotKeyId, hotKey->modifiers, hotKey->virtualKey);
    }
}

bool StartsHidden(int showCommand) {
    return showCommand == SW_SHOWMINIMIZED || showCommand == SW_MINIMIZE || showCommand == SW_SHOWMINNOACTIVE;
}

void RunMessageLoop(HACCEL accelerators) {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (MainWindow != nullptr && TranslateAcceleratorA(MainWindow, accelerators, &message)) continue;
        if (MainWindow != nullptr && IsWindow(MainWindow) && IsDialogMessageA(MainWindow, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void ShutDown() {
    StopListeners();
    FinishReception();
    UnregisterHotKey(MainWindow, kRestoreHotKeyId);
    StopBlink();
    ReleaseFonts();
    ReleaseHistory();
    SaveProcessSettingsAtExit();
    EmptyTrash();
    ReleaseSockets();
    ActivateNextWindow();
}

}  // namespace

int RunProgram(HINSTANCE instance, int showCommand) {
    win::Library resources(LoadLibraryA(".\\TavikRes.dll"));
    ResourceModule = resources.Get();
    if (ResourceModule == nullptr) {
        MessageBoxA(nullptr, "Unable to load TavikRes.dll.\r\nPlease, reinstall Quorlex Tavik.", kProgramCaption,
                    MB_ICONHAND);
        return -1;
    }

    RegistrySettingsSink instanceKey(SettingsKeyAccess::kOpenFullAccess);
    bool keyOpen = instanceKey.Open();
    if (keyOpen && RestoreRunningInstance(instanceKey)) return 0;

    TrayIcon = LoadIconA(instance, "IDI_A_TAVIK");
    AppInstance = instance;
    HACCEL accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDA_MAIN));

    LoadProcessSettings();
    EmptyTrash();

    HWND window =
        CreateDialogParamA(ResourceModule, MAKEINTRESOURCEA(IDD_MAIN_WINDOW), GetDesktopWindow(), MainWindowProc, 0);
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

    RunMessageLoop(accelerators);
    ShutDown();
    ResourceModule = nullptr;  // freed with resources
    return 0;
}

}  // namespace tavik::shell
