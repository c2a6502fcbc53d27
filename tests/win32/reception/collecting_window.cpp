#include "collecting_window.h"

#include "window_messages.h"

namespace tavik::testing {

namespace {
constexpr const char* kClassName = "TavikReceptionTestWindow";
}

CollectingWindow::CollectingWindow()
    : queue(std::make_shared<HandOffQueue>(HandOffBounds{},
                                         [this] { return PostMessageA(window, kMessagesWaiting, 0, 0) != FALSE; })),
      sink(queue) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &CollectingWindow::WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);  // fails harmlessly when already registered
    window = CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr), this);
}

CollectingWindow::~CollectingWindow() {
    if (window != nullptr) DestroyWindow(window);
}

LRESULT CALLBACK CollectingWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    if (message == kMessagesWaiting) {
        auto* self = reinterpret_cast<CollectingWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        bool moreLeft = false;
        for (HandOff& handOff : self->queue->Take(16, moreLeft)) {
            self->received.push_back(
                {handOff.priority, handOff.message.text, handOff.message.sender, GetTickCount64()});
            if (handOff.message.onStored) handOff.message.onStored();
            if (handOff.message.onSettled) handOff.message.onSettled();
        }
        if (moreLeft) PostMessageA(window, kMessagesWaiting, 0, 0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool CollectingWindow::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG start = GetTickCount64();
    while (!done()) {
        const ULONGLONG elapsed = GetTickCount64() - start;
        if (elapsed >= timeoutMs) return done();
        // Short waits: the condition may also change by another thread's work.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return true;
}

bool CollectingWindow::WaitForCount(std::size_t count, DWORD timeoutMs) {
    return PumpUntil([&] { return received.size() >= count; }, timeoutMs);
}

std::string PrivateMailslotName(const char* purpose) {
    return std::string("\\\\.\\mailslot\\tavik_test_") + purpose + "_" + std::to_string(GetCurrentProcessId());
}

bool WriteDatagram(const std::string& slotName, const std::string& bytes) {
    HANDLE slot = CreateFileA(slotName.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (slot == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(slot, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(slot);
    return ok && written == bytes.size();
}

}  // namespace tavik::testing
