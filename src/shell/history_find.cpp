#include "shell/history_find.h"

#include <string_view>

#include "core/text/format.h"
#include "resource_ids.h"
#include "shell/shell_state.h"

namespace tavik::shell {
namespace {

// Beyond ASCII, letters pair up differently in every code page; only the Western European
// pairs are known here, so other code pages compare their other letters exactly.
const store::CaseFolding& SystemFolding() {
    return GetACP() == 1252 ? store::CaseFolding::Windows1252() : store::CaseFolding::Ascii();
}

}  // namespace

HistoryFind::HistoryFind() : folding_(SystemFolding()) {
    record_.lStructSize = sizeof record_;
    record_.lpstrFindWhat = text_.data();
    record_.wFindWhatLen = static_cast<WORD>(text_.size());
    // Up (towards older messages) first: the window usually shows the newest. Messages have no
    // words to speak of, so there is no whole-word match.
    record_.Flags = FR_HIDEWHOLEWORD;
}

UINT HistoryFind::DialogMessage() {
    static const UINT message = RegisterWindowMessageA(FINDMSGSTRINGA);
    return message;
}

HWND HistoryFind::Dialog() const { return dialog_ != nullptr && IsWindow(dialog_) ? dialog_ : nullptr; }

void HistoryFind::OpenDialog() {
    if (HWND open = Dialog()) {
        SetActiveWindow(open);
        return;
    }
    record_.hwndOwner = mainWindow_;
    record_.Flags &= ~(FR_FINDNEXT | FR_DIALOGTERM);
    dialog_ = FindTextA(&record_);
}

std::optional<store::SearchRequest> HistoryFind::TakeDialogMessage(LPARAM record) {
    const auto* sent = reinterpret_cast<const FINDREPLACEA*>(record);
    if (sent != &record_) return std::nullopt;
    if (record_.Flags & FR_DIALOGTERM) {
        dialog_ = nullptr;
        return std::nullopt;
    }
    if (!(record_.Flags & FR_FINDNEXT) || text_[0] == '\0') return std::nullopt;
    last_ =
        store::SearchRequest{std::string(text_.data()),
                             (record_.Flags & FR_DOWN) ? store::SearchDirection::Newer : store::SearchDirection::Older,
                             (record_.Flags & FR_MATCHCASE) != 0};
    return last_;
}

std::optional<store::SearchRequest> HistoryFind::Again(bool reverse) {
    if (!last_) {
        OpenDialog();
        return std::nullopt;
    }
    store::SearchRequest request = *last_;
    if (reverse) {
        request.direction = request.direction == store::SearchDirection::Older ? store::SearchDirection::Newer
                                                                               : store::SearchDirection::Older;
    }
    return request;
}

void HistoryFind::SayNotFound(const store::SearchRequest& request) const {
    const UINT textId = request.direction == store::SearchDirection::Older ? IDS_FIND_NO_OLDER : IDS_FIND_NO_NEWER;
    const std::string text = FormatText(LoadResourceString(textId), {std::string_view(request.text)});
    HWND owner = Dialog() != nullptr ? Dialog() : mainWindow_;
    MessageBoxA(owner, text.c_str(), LoadResourceString(IDS_PROGRAM_NAME).c_str(), MB_OK | MB_ICONINFORMATION);
}

}  // namespace tavik::shell
