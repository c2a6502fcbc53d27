#pragma once
// The shell's side of reception: the hand-off queue the listeners fill and the main window
// empties, and the listener owner, made at window set-up and finished at shut-down.

#include <windows.h>

#include "core/reception/hand_off_queue.h"
#include "mail/mail_context.h"
#include "shell/history_view.h"

namespace tavik::shell {

// At window set-up, before any listener starts.
void CreateReception(HWND mainWindow);
// The queue of received messages; nullptr before set-up.
HandOffQueue* WaitingMessages();

// The Messenger listeners (the mailslot): after the main window, unless DisableSMBTread.
void StartListeners();
void StopListeners();
// The own protocol's listeners and the mail schedule: at set-up, resume and after the options.
void StartNetworkListeners(HWND mainWindow);
void StopNetworkListeners(HWND mainWindow);

// At shut-down: every listener is stopped (those of a stop this runs inside too), running
// mailbox checks are cancelled, and what still waits is stored, not shown. Nothing starts again.
void FinishReception(HistoryView& view);
bool ReceptionFinished();

// What the mail subsystem works with for this main window.
mail::MailContext MailContextOf(HWND mainWindow);

}  // namespace tavik::shell
