// Registering the restore hot key when another program holds the key: the user is told once.

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "core/settings/settings_store.h"
#include "resource_ids.h"
#include "shell/program.h"
#include "shell/shell_state.h"
#include "win/scoped_handles.h"

namespace tavik::shell {
namespace {

TEST(RestoreHotKeyRegistration, AKeyHeldByAnotherProgramIsSaidOnceInABox) {
    win::Library resources(LoadLibraryA("TavikRes.dll"));
    ASSERT_TRUE(resources);
    ResourceModule = resources.Get();
    HWND window =
        CreateWindowExA(0, "STATIC", "Tavik", WS_OVERLAPPED, 0, 0, 100, 50, nullptr, nullptr, nullptr, nullptr);
    HWND other =
        CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPED, 0, 0, 100, 50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(RegisterHotKey(other, 7, MOD_CONTROL | MOD_ALT, 'K'));
    Settings settings;
    settings.RestoreHotKey = 0x064B;  // Ctrl+Alt+K
    ProcessSettings().Replace(settings);

    // Each box holds up its call until it is answered, so all of them are seen by the end.
    std::atomic<bool> done{false};
    std::vector<std::string> boxes;
    std::thread answerer([&] {
        while (!done) {
            HWND box = FindWindowA(MAKEINTATOM(32770), "Quorlex Tavik");
            if (box == nullptr || !IsWindowVisible(box)) {
                Sleep(20);
                continue;
            }
            char text[512] = {};
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            boxes.push_back(text);
            SendMessageA(box, WM_COMMAND, IDOK, 0);
            while (IsWindow(box)) Sleep(20);
        }
    });
    RegisterRestoreHotKey(window);
    RegisterRestoreHotKey(window);  // options closed with OK, the key unchanged
    done = true;
    answerer.join();

    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("another program"), std::string::npos) << boxes[0];
    UnregisterHotKey(other, 7);
    DestroyWindow(other);
    DestroyWindow(window);
    ProcessSettings().Replace(Settings{});
    ResourceModule = nullptr;
}

}  // namespace
}  // namespace tavik::shell
