#include "store/history_view.h"

#include <mmsystem.h>

#include <ctime>

#include "core/settings/settings_store.h"
#include "core/store/history_loader.h"
#include "core/store/intake.h"
#include "core/store/trash.h"
#include "reception/system_date_time.h"
#include "resource_ids.h"
#include "shell/shell_state.h"
#include "shell/toolbar.h"
#include "shell/tray_icon.h"
#include "store/win32_message_folder.h"

namespace tavik::shell {
namespace {

constexpr int kHeadingBufferSize = 96;

store::MessageHistory& History() {
    static store::MessageHistory history;
    return history;
}

store::MessageFolder& Folder() {
    static store::Win32MessageFolder folder;
    return folder;
}

void ShowTexts(HWND mainWindow, const std::string& text, const std::string& sender) {
    SetDlgItemTextA(mainWindow, IDC_MESSAGE_TEXT, text.c_str());
    SetDlgItemTextA(mainWindow, IDC_SENDER, sender.c_str());
}

void ShowCurrentMessage(HWND mainWindow) {
    if (const store::MessageEntry* current = History().current()) {
        ShowTexts(mainWindow, current->text, current->sender);
    }
    RefreshStatus(mainWindow);
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

void PlayArrivalSound(const std::string& soundFile) {
    if (!PlaySoundA(soundFile.c_str(), nullptr, SND_FILENAME | SND_ASYNC)) MessageBeep(0xFFFFFFFF);
}

}  // namespace

HistoryStatus CurrentHistoryStatus() {
    const store::MessageHistory& history = History();
    const store::MessageEntry* current = history.current();
    return {history.count(), history.currentPosition(), current != nullptr && current->highPriority};
}

void StartArrivalClock() {
    History().lastArrivalTicks = GetTickCount();
}

void LoadStoredMessages(HWND mainWindow) {
    store::LoadResult result;
    try {
        result = store::LoadMessageHistory(History(), Folder(), ProcessSettings().Current()->DataDirectory);
    } catch (...) {
        History().Clear();
        result.skippedMalformed = true;
    }
    if (const store::MessageEntry* current = History().current()) {
        ShowTexts(mainWindow, current->text, current->sender);
    }
    if (result.skippedMalformed) ShowErrorBox(mainWindow, LoadResourceString(IDS_LOAD_FAILED));
}

LRESULT StoreIncomingMessage(HWND mainWindow, WPARAM priority, const IncomingMessage* message) {
    try {
        if (message == nullptr) return 1;
        IncomingMessage copy = *message;
        // The sender may go on as soon as we hold our own copy.
        ReplyMessage(0);
        auto settings = ProcessSettings().Current();
        store::IntakeResult result = store::IntakeMessage(
            History(), *settings, Folder(), SystemDateTime().ArrivalDateLine(), static_cast<std::uint32_t>(priority),
            copy, static_cast<std::int64_t>(std::time(nullptr)), GetTickCount(), LoadHeadingFormats());
        ShowTexts(mainWindow, result.text, result.sender);
        RefreshStatus(mainWindow);
        if (result.blink) StartBlink();
        if (result.popUp) PostMessageA(mainWindow, WM_SYSCOMMAND, SC_RESTORE, 0);
        if (result.playSound) PlayArrivalSound(settings->SoundFile);
        PostMessageA(mainWindow, WM_USER, 0, 0);
    } catch (...) {
        // A fault abandons the remaining steps; the message is not reported twice.
    }
    return 1;
}

void ShowOlderMessage(HWND mainWindow) {
    if (History().ShowOlder()) ShowCurrentMessage(mainWindow);
}

void ShowNewerMessage(HWND mainWindow) {
    if (History().ShowNewer()) ShowCurrentMessage(mainWindow);
}

void ShowOldestMessage(HWND mainWindow) {
    if (History().ShowOldest()) ShowCurrentMessage(mainWindow);
}

void ShowNewestMessage(HWND mainWindow) {
    if (History().ShowNewest()) ShowCurrentMessage(mainWindow);
}

void DeleteCurrentMessage(HWND mainWindow) {
    auto settings = ProcessSettings().Current();
    store::DeleteResult result = store::DeleteCurrentMessage(History(), *settings, Folder(), GetTickCount());
    if (!result.deleted) return;
    EnableToolbarButton(CMD_RESTORE_DELETED, result.restoreEnabled);
    if (result.showCurrent) {
        if (const store::MessageEntry* current = History().current()) {
            ShowTexts(mainWindow, current->text, current->sender);
        }
    }
    if (result.clearBoxes) ShowTexts(mainWindow, "", "");
    if (result.minimize) PostMessageA(mainWindow, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    RefreshStatus(mainWindow);
}

void RestoreDeletedMessage(HWND mainWindow) {
    auto settings = ProcessSettings().Current();
    store::RestoreResult result = store::RestoreDeletedMessage(History(), *settings, Folder());
    if (const store::MessageEntry* current = History().current()) {
        ShowTexts(mainWindow, current->text, current->sender);
    }
    RefreshStatus(mainWindow);
    EnableToolbarButton(CMD_RESTORE_DELETED, result.restoreEnabled);
}

void DeleteAllMessages(HWND mainWindow) {
    if (!store::DeleteAllNeedsQuestion(History())) return;
    std::string question = LoadResourceString(IDS_DELETE_ALL_QUESTION);
    std::string caption = LoadResourceString(IDS_PROGRAM_NAME);
    if (MessageBoxA(mainWindow, question.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) ==
        IDNO) {
        return;
    }
    auto settings = ProcessSettings().Current();
    store::DeleteAllResult result = store::DeleteAllMessages(History(), *settings, Folder());
    EnableToolbarButton(CMD_RESTORE_DELETED, false);
    if (result.historyCleared) {
        ShowTexts(mainWindow, "", "");
        RefreshStatus(mainWindow);
        if (result.minimize) PostMessageA(mainWindow, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    }
}

void EmptyTrash() {
    store::EmptyTrash(History(), Folder(), ProcessSettings().Current()->DataDirectory);
    EnableToolbarButton(CMD_RESTORE_DELETED, false);
}

void ReleaseHistory() {
    History().Clear();
}

}  // namespace tavik::shell
