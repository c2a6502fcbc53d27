// The listener owner when the end of the session comes while a stop waits: everything ends,
// the waiting stop returns normally, and nothing starts afterwards.

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "reception/listener_owner.h"
#include "win/scoped_handles.h"

namespace tavik::reception {
namespace {

// Ends a while after it was asked to, as a listener finishing its last connection does.
class SlowListener final : public RunningListener {
public:
    SlowListener(std::atomic<int>& alive, std::atomic<int>& endedWhenFreed) : alive_(alive), endedWhenFreed_(endedWhenFreed) {
        ++alive_;
    }
    ~SlowListener() override {
        // Freed only once its thread ended: a stop never frees what still runs.
        if (WaitForSingleObject(finished_.Get(), 0) == WAIT_OBJECT_0) ++endedWhenFreed_;
        if (ender_.joinable()) ender_.join();
        --alive_;
    }
    void RequestStop() override {
        if (asked_.exchange(true)) return;
        ender_ = std::thread([this] {
            Sleep(300);
            SetEvent(finished_.Get());
        });
    }
    HANDLE Finished() const override { return finished_.Get(); }
private:
    std::atomic<int>& alive_;
    std::atomic<int>& endedWhenFreed_;
    std::atomic<bool> asked_{false};
    win::KernelHandle finished_{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    std::thread ender_;
};

constexpr UINT kEndSession = WM_APP + 1;

// A message-only window that runs StopAll when the test's end-of-session message comes.
class EndSessionWindow {
public:
    EndSessionWindow() {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &Proc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "TavikEndSessionTestWindow";
        RegisterClassA(&windowClass);
        handle = CreateWindowExA(0, windowClass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 windowClass.hInstance, nullptr);
    }
    ~EndSessionWindow() { DestroyWindow(handle); }
    HWND handle = nullptr;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message != kEndSession) return DefWindowProcA(window, message, wParam, lParam);
        auto* owner = reinterpret_cast<ListenerOwner*>(wParam);
        owner->StopAll();
        return owner->Stopping() ? 1 : 0;
    }
};

TEST(ListenerOwnerTest, TheEndOfTheSessionInsideAStopEndsEveryListenerAndNothingStartsAgain) {
    std::atomic<int> alive{0};
    std::atomic<int> endedWhenFreed{0};
    std::atomic<int> networkStarts{0};
    ListenerStarters starters;
    auto startOne = [&](std::atomic<int>* count) {
        ListenerGroup group;
        group.push_back(std::make_unique<SlowListener>(alive, endedWhenFreed));
        if (count != nullptr) ++*count;
        return group;
    };
    starters.messenger = [&](const ReceptionContext&) { return startOne(nullptr); };
    starters.network = [&](const ReceptionContext&) { return startOne(&networkStarts); };

    EndSessionWindow window;
    ASSERT_NE(window.handle, nullptr);

    auto owner = std::make_unique<ListenerOwner>(ReceptionContext{}, starters);
    owner->StartMessengerListeners();
    owner->StartNetworkListeners();
    ASSERT_EQ(alive.load(), 2);

    // The system's end-of-session message, sent while the options' stop of the network listeners waits.
    LRESULT stoppingWhenItCame = -1;
    std::thread system([&] {
        Sleep(50);
        stoppingWhenItCame = SendMessageA(window.handle, kEndSession, reinterpret_cast<WPARAM>(owner.get()), 0);
    });
    owner->StopNetworkListeners();
    system.join();

    EXPECT_EQ(stoppingWhenItCame, 1) << "the end came inside the stop's wait";
    EXPECT_EQ(alive.load(), 0);
    EXPECT_EQ(endedWhenFreed.load(), 2);
    owner->StartNetworkListeners();
    owner->StartMessengerListeners();
    EXPECT_EQ(networkStarts.load(), 1) << "nothing starts after the end";
    EXPECT_EQ(alive.load(), 0);
}

}  // namespace
}  // namespace tavik::reception
