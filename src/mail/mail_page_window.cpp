#include "mail/mail_page_window.h"

#include "core/settings/settings_writers.h"
#include "resource_ids.h"
#include "win/dialog.h"

namespace tavik::mail {
namespace {

// Used on the main window's thread only (the sheet is modal to it).
HWND MailPage = nullptr;

}  // namespace

void SetMailPageWindow(HWND page) { MailPage = page; }

HWND OpenMailPage() {
    if (MailPage == nullptr || !IsWindow(MailPage) || !IsWindowVisible(MailPage)) return nullptr;
    return MailPage;
}

std::string MailPageText(HWND page, int controlId) { return win::DialogItemText(page, controlId, kMaxPageTextLength); }

std::optional<mailbox::MailCheckRequest> RequestFromMailPage() {
    HWND page = OpenMailPage();
    if (page == nullptr) return std::nullopt;
    mailbox::MailCheckRequest request;
    request.userName = MailPageText(page, IDC_MAIL_USER);
    request.password = MailPageText(page, IDC_MAIL_PASSWORD);
    request.server = MailPageText(page, IDC_MAIL_SERVER);
    request.serverType = IsDlgButtonChecked(page, IDC_IMAP4) == BST_CHECKED ? mailbox::kImap4ServerType : 0;
    request.playSound = IsDlgButtonChecked(page, IDC_PLAY_MAIL_SOUND) == BST_CHECKED;
    return request;
}

}  // namespace tavik::mail
