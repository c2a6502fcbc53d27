#include "options/messages_page.h"

#include <commctrl.h>

#include <cstdlib>
#include <string>

#include "core/settings/hot_key.h"
#include "core/settings/settings_store.h"
#include "core/shell/font_steps.h"
#include "resource_ids.h"

namespace tavik::options {
namespace {

constexpr std::uint32_t kLargestListedSize = 16;
constexpr const char* kDefaultSoundFile = "receive.wav";

}  // namespace

bool MessagesPage::OnInit() {
    TakeSheet();
    const auto settings = ProcessSettings().Current();
    SetText(IDC_SOUND_FILE, settings->SoundFile);
    SetText(IDC_HIGH_PRIORITY_LIST, settings->HigthPriorMess);
    SetText(IDC_DENY_LIST, settings->DontRecvMess);
    SetText(IDC_ALLOW_LIST, settings->AllMess);
    Check(IDC_MINIMIZE_WHEN_LAST, settings->MinimizeWhenLast != 0);
    Check(IDC_POP_UP_WHEN_INCOMING, settings->PopUpWhenIncoming != 0);
    Check(IDC_PLAY_SOUND, settings->PlaySound != 0);
    // A key typed without both Control and Alt gets them added, so the hot key never takes a
    // plain key or a program's own shortcut away from every other program.
    SendDlgItemMessageA(Window(), IDC_RESTORE_HOT_KEY, HKM_SETRULES,
                        HKCOMB_NONE | HKCOMB_S | HKCOMB_C | HKCOMB_A | HKCOMB_SC | HKCOMB_SA,
                        MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
    // Shown as it is registered, also when the stored key predates the rule.
    SendDlgItemMessageA(Window(), IDC_RESTORE_HOT_KEY, HKM_SETHOTKEY,
                        WithRestoreHotKeyRule(settings->RestoreHotKey) & 0xFFFFu, 0);
    const bool filtersEditable = settings->DisableFilteringSettings == 0;
    for (int id : {IDC_HIGH_PRIORITY_LIST, IDC_DENY_LIST, IDC_ALLOW_LIST}) {
        EnableWindow(GetDlgItem(Window(), id), filtersEditable);
    }
    FillSizeList(settings->MessageTextFontSize);
    return true;
}

void MessagesPage::FillSizeList(std::uint32_t current) {
    HWND list = GetDlgItem(Window(), IDC_FONT_SIZE);
    for (std::optional<std::uint32_t> size = kMinFontSize; size && *size <= kLargestListedSize;
         size = LargerFontSize(*size)) {
        const std::string text = std::to_string(*size);
        const LRESULT index = SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        if (*size == current) SendMessageA(list, CB_SETCURSEL, index, 0);
    }
}

std::optional<std::uint32_t> MessagesPage::SelectedSize() const {
    HWND list = GetDlgItem(Window(), IDC_FONT_SIZE);
    const LRESULT index = SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return std::nullopt;
    char text[16] = {};
    if (SendMessageA(list, CB_GETLBTEXTLEN, index, 0) >= static_cast<LRESULT>(sizeof(text))) return std::nullopt;
    SendMessageA(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return static_cast<std::uint32_t>(std::strtoul(text, nullptr, 10));
}

bool MessagesPage::OnCommand(WORD id, WORD notification, HWND) {
    if (id == IDC_SOUND_BROWSE && notification == BN_CLICKED) {
        if (auto chosen = BrowseForFile(IDS_SOUND_BROWSE_TITLE, IDS_SOUND_FILTER, "*.wav", Text(IDC_SOUND_FILE),
                                        kDefaultSoundFile)) {
            SetText(IDC_SOUND_FILE, *chosen);
        }
        return true;
    }
    if (id == IDC_FONT_SIZE && notification == CBN_SELENDOK) {
        std::uint32_t size = SelectedSize().value_or(kDefaultFontSize);
        if (size < kMinFontSize || size > kLargestListedSize) size = kDefaultFontSize;
        if (context_.previewFontSize) context_.previewFontSize(size);
        return true;
    }
    return false;
}

bool MessagesPage::OnLeave() {
    MessagesPageValues page;
    page.minimizeWhenLast = Checked(IDC_MINIMIZE_WHEN_LAST) ? 1 : 0;
    page.popUpWhenIncoming = Checked(IDC_POP_UP_WHEN_INCOMING) ? 1 : 0;
    page.playSound = Checked(IDC_PLAY_SOUND) ? 1 : 0;
    page.restoreHotKey =
        static_cast<std::uint16_t>(SendDlgItemMessageA(Window(), IDC_RESTORE_HOT_KEY, HKM_GETHOTKEY, 0, 0));
    page.selectedFontSize = SelectedSize();
    page.soundFile = Text(IDC_SOUND_FILE);
    page.higthPriorMess = Text(IDC_HIGH_PRIORITY_LIST);
    page.dontRecvMess = Text(IDC_DENY_LIST);
    page.allMess = Text(IDC_ALLOW_LIST);
    if (context_.saveMessagesPage) context_.saveMessagesPage(page);
    return true;  // the page may be left even when nothing could be saved
}

bool MessagesPage::OnCancel() {
    if (context_.previewFontSize) context_.previewFontSize(ProcessSettings().Current()->MessageTextFontSize);
    return true;
}

}  // namespace tavik::options
