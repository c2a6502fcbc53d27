#include "shell/listeners.h"

#include <memory>

#include "mail/mail_checks.h"
#include "mail/mail_schedule.h"
#include "reception/listener_owner.h"
#include "shell/history_view.h"
#include "shell/shell_state.h"
#include "window_messages.h"

namespace tavik::shell {
namespace {

// How long the exit waits for mailbox checks it cancelled.
constexpr DWORD kMailCheckStopBoundMs = 5000;

std::shared_ptr<HandOffQueue> Queue;
std::unique_ptr<reception::ListenerOwner> Owner;
bool Finished = false;

}  // namespace

void CreateReception(HWND mainWindow) {
    Queue = std::make_shared<HandOffQueue>(
        HandOffBounds{}, [mainWindow] { return PostMessageA(mainWindow, kMessagesWaiting, 0, 0) != FALSE; });
    Owner = std::make_unique<reception::ListenerOwner>(reception::ReceptionContext{mainWindow, ResourceModule, Queue});
}

HandOffQueue* WaitingMessages() { return Queue.get(); }

void StartListeners() {
    if (Owner) Owner->StartMessengerListeners();
}

void StopListeners() {
    if (Owner) Owner->StopMessengerListeners();
}

mail::MailContext MailContextOf(HWND mainWindow) { return {mainWindow, ResourceModule, AppInstance}; }

void StartNetworkListeners(HWND mainWindow) {
    if (Finished) return;
    if (Owner) Owner->StartNetworkListeners();
    mail::StartMailSchedule(MailContextOf(mainWindow));
}

void StopNetworkListeners(HWND mainWindow) {
    if (Owner) Owner->StopNetworkListeners();
    mail::StopMailSchedule(mainWindow);
}

void FinishReception(HistoryView& view) {
    // A second call comes only from inside the first one's waits: it stores what waits, no more.
    if (!Finished) {
        Finished = true;
        if (Owner) {
            Owner->StopAll();
            // A stop whose wait this runs inside still uses the owner: it goes with the program.
            if (!Owner->Stopping()) Owner.reset();
        }
        mail::CancelAllChecks(kMailCheckStopBoundMs);
    }
    if (!Queue) return;
    Queue->Close();
    view.StoreWaitingMessagesQuietly(*Queue);
}

bool ReceptionFinished() { return Finished; }

}  // namespace tavik::shell
