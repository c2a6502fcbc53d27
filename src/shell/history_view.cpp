#include "shell/history_view.h"

#include <mmsystem.h>

#include "core/settings/settings_store.h"
#include "core/shell/display_text.h"
#include "core/store/trash.h"
#include "resource_ids.h"
#include "shell/message_text_box.h"
#include "shell/shell_state.h"
#include "shell/toolbar.h"
#include "shell/tray_icon.h"
#include "window_messages.h"
#include "win/running_on_wine.h"

namespace tavik::shell {
namespace {

void PlayArrivalSound(const std::string& soundFile) {
    if (!PlaySoundA(soundFile.c_str(), nullptr, SND_FILENAME | SND_ASYNC)) MessageBeep(0xFFFFFFFF);
}

}  // namespace

void HistoryView::Attach(HWND mainWindow) {
    window_ = mainWindow;
    intake_.Attach(mainWindow);
    announcer_.Attach(mainWindow);
    load_.Attach(mainWindow);
    find_.Attach(mainWindow);
    history_.lastArrivalTicks = GetTickCount();
}

HistoryStatus HistoryView::Status() const {
    const store::MessageEntry* current = history_.current();
    return {history_.count(), history_.currentPosition(), current != nullptr && current->highPriority};
}

void HistoryView::ShowTexts(const std::string& text, const std::string& sender) {
    announcer_.TextsReplaced();
    ShowMessageText(window_, text);
    SetDlgItemTextA(window_, IDC_SENDER, (win::RunningOnWine() ? WithPlainTildes(sender) : sender).c_str());
}

void HistoryView::ShowCurrentTexts() {
    if (const store::MessageEntry* current = history_.current()) ShowTexts(current->text, current->sender);
}

void HistoryView::ShowCurrent() {
    ShowCurrentTexts();
    RefreshStatus(window_, Status());
}

void HistoryView::LoadStoredMessages() {
    const bool over = load_.Begin(history_, folder_, ProcessSettings().Current()->DataDirectory);
    ShowCurrentTexts();
    if (over) FinishLoad();
}

void HistoryView::TakeStoredMessagesRead() {
    const bool shown = history_.current() != nullptr;
    const bool over = load_.TakeRead(history_);
    if (!shown) ShowCurrentTexts();
    RefreshStatus(window_, Status());
    if (over) FinishLoad();
}

void HistoryView::FinishLoad() {
    if (load_.TakeSkippedMalformed()) ShowErrorBox(window_, LoadResourceString(IDS_LOAD_FAILED));
    std::size_t stepsRun = 0;
    RunWaitingSearches(stepsRun);
    while (std::optional<Step> step = load_.NextWaitingStep()) {
        Run(*step);
        RunWaitingSearches(++stepsRun);
    }
    stepsDeferred_ = 0;
}

void HistoryView::StopLoading() {
    load_.Stop();
    waitingSearches_.clear();
    stepsDeferred_ = 0;
}

void HistoryView::StoreWaitingMessages(HandOffQueue& queue) {
    if (announcer_.Add(intake_.StoreBatch(queue, history_, folder_))) AnnounceWaitingArrivals();
}

void HistoryView::AnnounceWaitingArrivals() {
    bool showTexts = false;
    std::optional<Arrivals> arrivals = announcer_.Take(showTexts);
    if (!arrivals) return;
    try {
        if (showTexts) ShowTexts(arrivals->newest->text, arrivals->newest->sender);
        RefreshStatus(window_, Status());
        if (arrivals->blink) StartBlink();
        if (arrivals->popUp) PostMessageA(window_, WM_SYSCOMMAND, SC_RESTORE, 0);
        if (arrivals->playSound) PlayArrivalSound(ProcessSettings().Current()->SoundFile);
        PostMessageA(window_, kWindowBookkeeping, 0, 0);
    } catch (...) {
        // The messages are stored; only the announcement is lost.
    }
}

void HistoryView::Take(Step step) {
    // Behind a search that waits, a step waits too: they run in the order taken.
    if (load_.MustWait(step, history_) || !waitingSearches_.empty()) {
        load_.Defer(step);
        ++stepsDeferred_;
    } else {
        Run(step);
    }
}

void HistoryView::Run(Step step) {
    switch (step) {
    case Step::Older:
        if (history_.ShowOlder()) ShowCurrent();
        break;
    case Step::Newer:
        if (history_.ShowNewer()) ShowCurrent();
        break;
    case Step::Oldest:
        if (history_.ShowOldest()) ShowCurrent();
        break;
    case Step::Newest:
        if (history_.ShowNewest()) ShowCurrent();
        break;
    case Step::Delete: DeleteCurrent(); break;
    case Step::Restore: RestoreDeleted(); break;
    case Step::DeleteAll: DeleteAll(); break;
    }
}

void HistoryView::TakeFindMessage(LPARAM record) {
    std::optional<store::SearchRequest> request = find_.TakeDialogMessage(record);
    if (!request) return;
    AnnounceWaitingArrivals();  // the search starts from the message the window shows
    Find(*request);
}

void HistoryView::FindAgain(bool reverse) {
    if (std::optional<store::SearchRequest> request = find_.Again(reverse)) Find(*request);
}

void HistoryView::Find(const store::SearchRequest& request) {
    // Behind steps or searches that wait for the start-up load, a search waits too. (A step to
    // the newer never needs the load: it waits exactly when others wait before it.)
    if (load_.MustWait(Step::Newer, history_) || !waitingSearches_.empty()) {
        waitingSearches_.push_back({request, stepsDeferred_});
        return;
    }
    Search(request);
}

void HistoryView::Search(const store::SearchRequest& request) {
    const std::uint32_t found = store::FindMessage(history_, history_.currentPosition(), request, find_.Folding());
    if (found != 0 && history_.ShowAt(found)) {
        ShowCurrent();
        // Find Next in the dialog while the window is in the tray: the match is to be seen.
        if (!IsWindowVisible(window_)) PostMessageA(window_, WM_SYSCOMMAND, SC_RESTORE, 0);
        return;
    }
    // The older messages the load still reads may hold it: the search runs again once all are here.
    if (request.direction == store::SearchDirection::Older && history_.olderToCome() != 0) {
        waitingSearches_.push_back({request, stepsDeferred_});
        return;
    }
    find_.SayNotFound(request);
}

void HistoryView::RunWaitingSearches(std::size_t stepsRun) {
    while (!waitingSearches_.empty() && waitingSearches_.front().stepsBefore <= stepsRun) {
        const store::SearchRequest request = std::move(waitingSearches_.front().request);
        waitingSearches_.pop_front();
        Search(request);
    }
}

void HistoryView::DeleteCurrent() {
    auto settings = ProcessSettings().Current();
    store::DeleteResult result = store::DeleteCurrentMessage(history_, *settings, folder_, GetTickCount());
    if (result.recordFailed) ShowErrorBox(window_, LoadResourceString(IDS_TRASH_WRITE_FAILED));
    if (!result.deleted) return;
    EnableToolbarButton(CMD_RESTORE_DELETED, result.restoreEnabled);
    if (result.showCurrent) ShowCurrentTexts();
    if (result.clearBoxes) ShowTexts("", "");
    if (result.minimize) PostMessageA(window_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    RefreshStatus(window_, Status());
}

void HistoryView::RestoreDeleted() {
    auto settings = ProcessSettings().Current();
    store::RestoreResult result = store::RestoreDeletedMessage(history_, *settings, folder_);
    if (result.fileFailed) intake_.RestoredUnwritten(history_);
    ShowCurrentTexts();
    RefreshStatus(window_, Status());
    EnableToolbarButton(CMD_RESTORE_DELETED, result.restoreEnabled);
}

void HistoryView::DeleteAll() {
    if (!store::DeleteAllNeedsQuestion(history_)) return;
    // Messages may arrive while the question is open: only what it was about goes.
    store::DeleteAllQuestion asked = store::PrepareDeleteAll(history_);
    if (!AskYesNo(window_, IDS_DELETE_ALL_QUESTION)) return;
    auto settings = ProcessSettings().Current();
    store::DeleteAllResult result = store::DeleteAllMessages(history_, *settings, folder_, asked);
    EnableToolbarButton(CMD_RESTORE_DELETED, false);
    if (result.historyCleared) {
        ShowTexts("", "");
        RefreshStatus(window_, Status());
    }
    if (result.showCurrent) ShowCurrent();
    if (result.minimize) PostMessageA(window_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

void HistoryView::EmptyTrash() {
    store::EmptyTrash(history_, folder_, ProcessSettings().Current()->DataDirectory);
    EnableToolbarButton(CMD_RESTORE_DELETED, false);
}

}  // namespace tavik::shell
