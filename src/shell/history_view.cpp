#include "shell/history_view.h"

#include <mmsystem.h>

#include <ctime>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include "core/settings/settings_store.h"
#include "core/shell/announcement_pacer.h"
#include "core/store/history_loader.h"
#include "core/store/intake.h"
#include "core/store/trash.h"
#include "core/store/unwritten_messages.h"
#include "reception/system_date_time.h"
#include "resource_ids.h"
#include "shell/message_text_box.h"
#include "shell/shell_state.h"
#include "shell/toolbar.h"
#include "shell/tray_icon.h"
#include "store/older_messages_thread.h"
#include "store/win32_message_folder.h"
#include "window_messages.h"

namespace tavik::shell {
namespace {

constexpr int kHeadingBufferSize = 96;
// Messages stored per wake-up at most: enough to keep up with a flood, few enough that paints
// are taken between batches (keys and clicks end a batch at once).
constexpr std::size_t kBatchSize = 32;
// How long the exit waits for the start-up load's reading thread (it stops within a stretch).
constexpr DWORD kLoadStopBoundMs = 5000;

store::MessageHistory& History() {
    static store::MessageHistory history;
    return history;
}

store::MessageFolder& Folder() {
    static store::Win32MessageFolder folder;
    return folder;
}

// Cleared when anything else puts texts into the boxes (see the announcement below).
bool ArrivalTextsPending = false;

void ShowTexts(HWND mainWindow, const std::string& text, const std::string& sender) {
    ArrivalTextsPending = false;
    ShowMessageText(mainWindow, text);
    SetDlgItemTextA(mainWindow, IDC_SENDER, sender.c_str());
}

void ShowCurrentMessage(HWND mainWindow) {
    if (const store::MessageEntry* current = History().current()) {
        ShowTexts(mainWindow, current->text, current->sender);
    }
    RefreshStatus(mainWindow, CurrentHistoryStatus());
}

store::HeadingFormats LoadHeadingFormats() {
    store::HeadingFormats formats;
    if (std::string text = LoadResourceString(IDS_HEADING_MESSAGE, kHeadingBufferSize); !text.empty()) {
        formats.message = text;
    }
    if (std::string text = LoadResourceString(IDS_HEADING_BROADCAST, kHeadingBufferSize); !text.empty()) {
        formats.broadcast = text;
    }
    if (std::string text = LoadResourceString(IDS_HEADING_AUTOANSWER, kHeadingBufferSize); !text.empty()) {
        formats.autoanswer = text;
    }
    return formats;
}

// Keys and mouse events that wait for this thread.
bool UserInputWaits() { return HIWORD(GetQueueStatus(QS_INPUT)) != 0; }

void PlayArrivalSound(const std::string& soundFile) {
    if (!PlaySoundA(soundFile.c_str(), nullptr, SND_FILENAME | SND_ASYNC)) MessageBeep(0xFFFFFFFF);
}

}  // namespace

HistoryStatus CurrentHistoryStatus() {
    const store::MessageHistory& history = History();
    const store::MessageEntry* current = history.current();
    return {history.count(), history.currentPosition(), current != nullptr && current->highPriority};
}

void StartArrivalClock() { History().lastArrivalTicks = GetTickCount(); }

namespace {

// The older stored messages of the start: the files to read until the reading starts, then the
// reading; neither once all are here.
std::vector<store::FileToRead> OlderFiles;
std::unique_ptr<store::OlderMessagesThread> OlderLoad;
// Some stored file could not be read: told once the load is over.
bool LoadSkippedMalformed = false;

// The user's steps through the history and its trash.
enum class Step { Older, Newer, Oldest, Newest, Delete, Restore, DeleteAll };
// Steps that wait for the older stored messages, in the order taken.
std::deque<Step> StepsAfterLoad;

void RunStep(HWND mainWindow, Step step);

void FinishLoad(HWND mainWindow) {
    OlderLoad.reset();  // its thread has handed its last batch and ends by itself
    if (LoadSkippedMalformed) ShowErrorBox(mainWindow, LoadResourceString(IDS_LOAD_FAILED));
    LoadSkippedMalformed = false;
    while (!StepsAfterLoad.empty()) {
        const Step step = StepsAfterLoad.front();
        StepsAfterLoad.pop_front();
        RunStep(mainWindow, step);
    }
}

// Runs the step now when the messages it needs are here and no earlier step waits; otherwise
// it waits for the load, so every step acts on the whole history, in the order taken.
void TakeStep(HWND mainWindow, Step step) {
    const bool loading = History().olderToCome() > 0;
    bool now = StepsAfterLoad.empty();
    if (now && loading) {
        now = step == Step::Newer || step == Step::Newest || (step == Step::Older && History().olderIsHere());
    }
    if (now) {
        RunStep(mainWindow, step);
    } else {
        StepsAfterLoad.push_back(step);
    }
}

}  // namespace

void LoadStoredMessages(HWND mainWindow) {
    const std::string dataDirectory = ProcessSettings().Current()->DataDirectory;
    store::RemoveInterruptedWrites(Folder(), dataDirectory);
    store::StartOfLoad start;
    try {
        start = store::LoadNewestMessage(History(), Folder(), dataDirectory);
    } catch (...) {
        History().Clear();
        start = {};
        start.newest.skippedMalformed = true;
    }
    if (const store::MessageEntry* current = History().current()) {
        ShowTexts(mainWindow, current->text, current->sender);
    }
    LoadSkippedMalformed = start.newest.skippedMalformed;
    if (History().olderToCome() == 0) {
        FinishLoad(mainWindow);
        return;
    }
    // The reading starts once the window is shown: under Wine both wait on the wineserver.
    OlderFiles = std::move(start.older);
    PostMessageA(mainWindow, kStoredMessagesRead, 0, 0);
}

void TakeStoredMessagesRead(HWND mainWindow) {
    if (!OlderLoad) {
        if (OlderFiles.empty()) return;
        OlderLoad = store::OlderMessagesThread::Start(
            std::exchange(OlderFiles, {}), [mainWindow] { PostMessageA(mainWindow, kStoredMessagesRead, 0, 0); });
        if (!OlderLoad) {
            // No thread to read them: they are given up, and the user is told.
            History().PrependOlder({}, History().olderToCome());
            LoadSkippedMalformed = true;
            FinishLoad(mainWindow);
        }
        return;
    }
    const bool shown = History().current() != nullptr;
    for (store::OlderMessages& batch : OlderLoad->Take()) {
        LoadSkippedMalformed |= batch.skippedMalformed;
        History().PrependOlder(std::move(batch.entries), batch.filesCovered);
    }
    if (!shown) {
        if (const store::MessageEntry* current = History().current()) {
            ShowTexts(mainWindow, current->text, current->sender);
        }
    }
    RefreshStatus(mainWindow, CurrentHistoryStatus());
    if (History().olderToCome() == 0) FinishLoad(mainWindow);
}

void StopLoadingStoredMessages() {
    if (OlderLoad) OlderLoad->Stop(kLoadStopBoundMs);
    OlderLoad.reset();
    OlderFiles.clear();
    StepsAfterLoad.clear();
}

namespace {

// What a batch of arrivals asks the window to do once.
struct Announcement {
    std::optional<store::IntakeResult> newest;
    bool blink = false;
    bool popUp = false;
    bool playSound = false;
    bool saveFailed = false;  // a message file could not be written: tell the user
    // Senders of messages kept unwritten, answered once the user has been told.
    std::vector<std::function<void()>> settleWhenTold;
};

// Whether the user was told that messages are not being saved, since the last write that worked.
bool SaveFailureTold = false;
bool UnwrittenRetrySet = false;

// While messages wait for their files, they are written again every 30 s.
void KeepRetryingUnwritten(HWND mainWindow, std::size_t unwrittenLeft) {
    if (unwrittenLeft > 0 && !UnwrittenRetrySet && mainWindow != nullptr) {
        UnwrittenRetrySet = SetTimer(mainWindow, kUnwrittenRetryTimer, kUnwrittenRetryMs, nullptr) != 0;
    } else if (unwrittenLeft == 0 && UnwrittenRetrySet) {
        KillTimer(mainWindow, kUnwrittenRetryTimer);
        UnwrittenRetrySet = false;
    }
}

// A write failed: the user is told once until a write works again. False when told already.
bool TellSaveFailureOnce(HWND mainWindow) {
    if (SaveFailureTold) return false;
    SaveFailureTold = true;
    // Through the window's queue, so no box opens in the middle of a batch.
    PostMessageA(mainWindow, kMessagesNotSaved, 0, 0);
    return true;
}

// Arrivals stored but not yet announced, and when the last announcement was made.
Announcement Pending;
AnnouncementPacer Pacer;
bool AnnouncementTimerSet = false;

// Stores one message: its file first, then its sender is told it was delivered. A message whose
// file could not be written is kept unwritten; its sender is answered once the user is told.
void StoreOne(HandOff& handOff, const Settings& settings, const store::HeadingFormats& headings,
              Announcement& announcement) {
    try {
        store::IntakeResult result = store::IntakeMessage(
            History(), settings, Folder(), reception::SystemDateTime().ArrivalDateLine(), handOff.priority,
            handOff.message, static_cast<std::int64_t>(std::time(nullptr)), GetTickCount(), headings);
        const bool stored = result.fileWritten || settings.UsingFilesToStoreMessages == 0;
        if (stored) {
            if (handOff.message.onStored) handOff.message.onStored();
            if (handOff.message.onSettled) handOff.message.onSettled();
            SaveFailureTold = false;
        } else if (SaveFailureTold) {
            if (handOff.message.onSettled) handOff.message.onSettled();
        } else {
            announcement.saveFailed = true;
            if (handOff.message.onSettled) announcement.settleWhenTold.push_back(std::move(handOff.message.onSettled));
        }
        announcement.blink |= result.blink;
        announcement.popUp |= result.popUp;
        announcement.playSound |= result.playSound;
        announcement.newest = std::move(result);
    } catch (...) {
        // A fault abandons this message's remaining steps; its sender is not told it was delivered.
    }
}

// The end of a batch: the user is told of a failed write, then those senders are answered.
void SettleAfterTelling(HWND mainWindow, Announcement& announcement) {
    if (announcement.saveFailed) TellSaveFailureOnce(mainWindow);
    for (auto& settle : std::exchange(announcement.settleWhenTold, {})) settle();
    if (announcement.newest) KeepRetryingUnwritten(mainWindow, announcement.newest->unwrittenLeft);
}

}  // namespace

void StoreWaitingMessages(HWND mainWindow, HandOffQueue& queue) {
    auto settings = ProcessSettings().Current();
    const store::HeadingFormats headings = LoadHeadingFormats();
    Announcement announcement;
    bool moreLeft = true;
    bool inputWaits = false;
    // One message, so one file write, at a time: a key or a click that comes meanwhile ends the
    // batch and is taken before the next write.
    for (std::size_t stored = 0; moreLeft && stored < kBatchSize && !inputWaits; ++stored) {
        std::vector<HandOff> one = queue.Take(1, moreLeft);
        if (one.empty()) break;
        StoreOne(one.front(), *settings, headings, announcement);
        inputWaits = UserInputWaits();
    }
    if (moreLeft) {
        // A posted wake-up would come before the waiting input; a timer comes after it.
        if (inputWaits) {
            SetTimer(mainWindow, kMessagesWaitingTimer, USER_TIMER_MINIMUM, nullptr);
        } else {
            PostMessageA(mainWindow, kMessagesWaiting, 0, 0);
        }
    }
    SettleAfterTelling(mainWindow, announcement);
    if (!announcement.newest) return;
    Pending.newest = std::move(announcement.newest);
    ArrivalTextsPending = true;
    Pending.blink |= announcement.blink;
    Pending.popUp |= announcement.popUp;
    Pending.playSound |= announcement.playSound;
    const std::uint32_t delay = Pacer.DelayAt(GetTickCount());
    if (delay == 0) {
        AnnounceWaitingArrivals(mainWindow);
    } else if (!AnnouncementTimerSet) {
        AnnouncementTimerSet = SetTimer(mainWindow, kAnnouncementTimer, delay, nullptr) != 0;
        if (!AnnouncementTimerSet) AnnounceWaitingArrivals(mainWindow);
    }
}

void AnnounceWaitingArrivals(HWND mainWindow) {
    if (AnnouncementTimerSet) KillTimer(mainWindow, kAnnouncementTimer);
    AnnouncementTimerSet = false;
    if (!Pending.newest) return;
    Announcement announcement = std::exchange(Pending, {});
    const bool showTexts = std::exchange(ArrivalTextsPending, false);
    Pacer.Announced(GetTickCount());
    try {
        if (showTexts) ShowTexts(mainWindow, announcement.newest->text, announcement.newest->sender);
        RefreshStatus(mainWindow, CurrentHistoryStatus());
        if (announcement.blink) StartBlink();
        if (announcement.popUp) PostMessageA(mainWindow, WM_SYSCOMMAND, SC_RESTORE, 0);
        if (announcement.playSound) PlayArrivalSound(ProcessSettings().Current()->SoundFile);
        PostMessageA(mainWindow, kWindowBookkeeping, 0, 0);
    } catch (...) {
        // The messages are stored; only the announcement is lost.
    }
}

void StoreWaitingMessagesQuietly(HandOffQueue& queue) {
    auto settings = ProcessSettings().Current();
    const store::HeadingFormats headings = LoadHeadingFormats();
    Announcement ignored;
    bool moreLeft = true;
    while (moreLeft) {
        std::vector<HandOff> batch = queue.Take(kBatchSize, moreLeft);
        for (HandOff& handOff : batch) StoreOne(handOff, *settings, headings, ignored);
    }
    for (auto& settle : ignored.settleWhenTold) settle();
    // The last chance for messages whose files could not be written.
    store::WriteUnwrittenMessages(History(), Folder());
}

void WriteUnwrittenMessages(HWND mainWindow) {
    const std::size_t left = store::WriteUnwrittenMessages(History(), Folder());
    if (left == 0) SaveFailureTold = false;
    KeepRetryingUnwritten(mainWindow, left);
}

namespace {

void ShowOlder(HWND mainWindow) {
    if (History().ShowOlder()) ShowCurrentMessage(mainWindow);
}

void ShowNewer(HWND mainWindow) {
    if (History().ShowNewer()) ShowCurrentMessage(mainWindow);
}

void ShowOldest(HWND mainWindow) {
    if (History().ShowOldest()) ShowCurrentMessage(mainWindow);
}

void ShowNewest(HWND mainWindow) {
    if (History().ShowNewest()) ShowCurrentMessage(mainWindow);
}

void DeleteCurrent(HWND mainWindow) {
    auto settings = ProcessSettings().Current();
    store::DeleteResult result = store::DeleteCurrentMessage(History(), *settings, Folder(), GetTickCount());
    if (result.recordFailed) ShowErrorBox(mainWindow, LoadResourceString(IDS_TRASH_WRITE_FAILED));
    if (!result.deleted) return;
    EnableToolbarButton(CMD_RESTORE_DELETED, result.restoreEnabled);
    if (result.showCurrent) {
        if (const store::MessageEntry* current = History().current()) {
            ShowTexts(mainWindow, current->text, current->sender);
        }
    }
    if (result.clearBoxes) ShowTexts(mainWindow, "", "");
    if (result.minimize) PostMessageA(mainWindow, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    RefreshStatus(mainWindow, CurrentHistoryStatus());
}

void RestoreDeleted(HWND mainWindow) {
    auto settings = ProcessSettings().Current();
    store::RestoreResult result = store::RestoreDeletedMessage(History(), *settings, Folder());
    if (result.fileFailed) {
        TellSaveFailureOnce(mainWindow);
        KeepRetryingUnwritten(mainWindow, History().Unwritten().size());
    }
    if (const store::MessageEntry* current = History().current()) {
        ShowTexts(mainWindow, current->text, current->sender);
    }
    RefreshStatus(mainWindow, CurrentHistoryStatus());
    EnableToolbarButton(CMD_RESTORE_DELETED, result.restoreEnabled);
}

void DeleteAll(HWND mainWindow) {
    if (!store::DeleteAllNeedsQuestion(History())) return;
    // Messages may arrive while the question is open: only what it was about goes.
    store::DeleteAllQuestion asked = store::PrepareDeleteAll(History());
    if (!AskYesNo(mainWindow, IDS_DELETE_ALL_QUESTION)) return;
    auto settings = ProcessSettings().Current();
    store::DeleteAllResult result = store::DeleteAllMessages(History(), *settings, Folder(), asked);
    EnableToolbarButton(CMD_RESTORE_DELETED, false);
    if (result.historyCleared) {
        ShowTexts(mainWindow, "", "");
        RefreshStatus(mainWindow, CurrentHistoryStatus());
    }
    if (result.showCurrent) ShowCurrentMessage(mainWindow);
    if (result.minimize) PostMessageA(mainWindow, WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

void RunStep(HWND mainWindow, Step step) {
    switch (step) {
    case Step::Older: ShowOlder(mainWindow); break;
    case Step::Newer: ShowNewer(mainWindow); break;
    case Step::Oldest: ShowOldest(mainWindow); break;
    case Step::Newest: ShowNewest(mainWindow); break;
    case Step::Delete: DeleteCurrent(mainWindow); break;
    case Step::Restore: RestoreDeleted(mainWindow); break;
    case Step::DeleteAll: DeleteAll(mainWindow); break;
    }
}

}  // namespace

void ShowOlderMessage(HWND mainWindow) { TakeStep(mainWindow, Step::Older); }
void ShowNewerMessage(HWND mainWindow) { TakeStep(mainWindow, Step::Newer); }
void ShowOldestMessage(HWND mainWindow) { TakeStep(mainWindow, Step::Oldest); }
void ShowNewestMessage(HWND mainWindow) { TakeStep(mainWindow, Step::Newest); }
void DeleteCurrentMessage(HWND mainWindow) { TakeStep(mainWindow, Step::Delete); }
void RestoreDeletedMessage(HWND mainWindow) { TakeStep(mainWindow, Step::Restore); }
void DeleteAllMessages(HWND mainWindow) { TakeStep(mainWindow, Step::DeleteAll); }

void EmptyTrash() {
    store::EmptyTrash(History(), Folder(), ProcessSettings().Current()->DataDirectory);
    EnableToolbarButton(CMD_RESTORE_DELETED, false);
}

void ReleaseHistory() { History().Clear(); }

}  // namespace tavik::shell
