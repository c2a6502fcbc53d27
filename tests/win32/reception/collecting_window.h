#pragma once
// A hidden window that takes the main window's part for reception tests: listeners push onto
// its hand-off queue, whose wake-up it gets posted; it takes what waits and records when it came.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/reception/hand_off_queue.h"

namespace tavik::testing {

struct ReceivedMessage {
    WPARAM priority;
    std::string text;
    std::string sender;
    ULONGLONG arrivedMs;
};

class CollectingWindow {
public:
    CollectingWindow();
    ~CollectingWindow();
    CollectingWindow(const CollectingWindow&) = delete;
    CollectingWindow& operator=(const CollectingWindow&) = delete;

    HWND Handle() const { return window; }
    const std::shared_ptr<HandOffQueue>& Queue() const { return queue; }
    // A sink for listeners: pushes onto the queue.
    MessageSink& Sink() { return sink; }
    const std::vector<ReceivedMessage>& Received() const { return received; }

    // Dispatches this thread's messages until done() holds or timeoutMs passes; returns done().
    bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 20000);
    // Waits for count messages in all.
    bool WaitForCount(std::size_t count, DWORD timeoutMs = 20000);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window = nullptr;
    std::shared_ptr<HandOffQueue> queue;
    QueueMessageSink sink;
    std::vector<ReceivedMessage> received;
};

// A mailslot name of this process alone, so tests never meet another receiver.
std::string PrivateMailslotName(const char* purpose);

// Writes raw bytes to a mailslot as one datagram; false when it cannot.
bool WriteDatagram(const std::string& slotName, const std::string& bytes);

}  // namespace tavik::testing
