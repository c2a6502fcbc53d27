#include "options/mail_page.h"

#include <commctrl.h>

#include "core/mail/mail_check_request.h"
#include "core/settings/settings_store.h"
#include "mail/check_now_dialog.h"
#include "mail/shown_mail_account.h"
#include "resource_ids.h"

namespace tavik::options {
namespace {

constexpr int kSmallestInterval = 1;
constexpr int kLargestInterval = 120;

}  // namespace

bool MailPage::OnInit() {
    TakeSheet();
    mail::SetMailAccountOnPage([this] { return ShownAccount(); });
    const auto settings = ProcessSettings().Current();
    const bool imap4 = settings->MailServerType == mailbox::kImap4ServerType;
    CheckRadioButton(Window(), IDC_POP3, IDC_IMAP4, imap4 ? IDC_IMAP4 : IDC_POP3);
    SetText(IDC_EMAIL_PROGRAM, settings->EmailProgram);
    SetText(IDC_MAIL_USER, settings->UserName);
    SetText(IDC_MAIL_PASSWORD, settings->Password);
    SetText(IDC_MAIL_SERVER, settings->IncomingMailServer);
    SetDlgItemInt(Window(), IDC_CHECK_INTERVAL, settings->TimeChecking, FALSE);
    Check(IDC_CHECK_MAIL, settings->CheckMail != 0);
    Check(IDC_PLAY_MAIL_SOUND, settings->PlayMailSound != 0);
    SendDlgItemMessageA(Window(), IDC_CHECK_INTERVAL_SPIN, UDM_SETRANGE, 0,
                        MAKELPARAM(kLargestInterval, kSmallestInterval));
    ShowUsability();
    return true;
}

void MailPage::ShowUsability() {
    const bool usable = GetWindowTextLengthA(GetDlgItem(Window(), IDC_MAIL_USER)) > 0 &&
                        GetWindowTextLengthA(GetDlgItem(Window(), IDC_MAIL_SERVER)) > 0;
    for (int id : {IDC_CHECK_MAIL, IDC_CHECK_INTERVAL, IDC_CHECK_INTERVAL_SPIN, IDC_CHECK_NOW_BUTTON}) {
        EnableWindow(GetDlgItem(Window(), id), usable);
    }
    if (!usable) Check(IDC_CHECK_MAIL, false);
}

bool MailPage::OnCommand(WORD id, WORD notification, HWND) {
    if ((id == IDC_MAIL_USER || id == IDC_MAIL_SERVER) && notification == EN_CHANGE) {
        ShowUsability();
        return true;
    }
    if (id == IDC_EMAIL_BROWSE && notification == BN_CLICKED) {
        if (auto chosen =
                BrowseForFile(IDS_PROGRAM_BROWSE_TITLE, IDS_PROGRAM_FILTER, "*.exe", Text(IDC_EMAIL_PROGRAM), "")) {
            SetText(IDC_EMAIL_PROGRAM, *chosen);
        }
        return true;
    }
    if (id == IDC_CHECK_NOW_BUTTON && notification == BN_CLICKED) {
        mail::OpenCheckNowDialog({context_.mainWindow, context_.resources, context_.program}, Window());
        return true;
    }
    return false;
}

bool MailPage::OnLeave() {
    MailPageValues page;
    page.checkMail = Checked(IDC_CHECK_MAIL) ? 1 : 0;
    page.playMailSound = Checked(IDC_PLAY_MAIL_SOUND) ? 1 : 0;
    BOOL isNumber = FALSE;
    const UINT interval = GetDlgItemInt(Window(), IDC_CHECK_INTERVAL, &isNumber, FALSE);
    if (isNumber) page.timeChecking = interval;
    page.imapSelected = Checked(IDC_IMAP4);
    page.emailProgram = Text(IDC_EMAIL_PROGRAM);
    page.userName = Text(IDC_MAIL_USER);
    page.password = Text(IDC_MAIL_PASSWORD);
    page.incomingMailServer = Text(IDC_MAIL_SERVER);
    if (context_.saveMailPage) context_.saveMailPage(page);
    return true;  // the page may be left even when nothing could be saved
}

std::optional<mail::ShownMailAccount> MailPage::ShownAccount() const {
    if (!IsWindow(Window()) || !IsWindowVisible(Window())) return std::nullopt;
    mail::ShownMailAccount shown;
    shown.request.userName = Text(IDC_MAIL_USER);
    shown.request.password = Text(IDC_MAIL_PASSWORD);
    shown.request.server = Text(IDC_MAIL_SERVER);
    shown.request.serverType = Checked(IDC_IMAP4) ? mailbox::kImap4ServerType : 0;
    shown.request.playSound = Checked(IDC_PLAY_MAIL_SOUND);
    shown.emailProgram = Text(IDC_EMAIL_PROGRAM);
    return shown;
}

void MailPage::OnDestroy() { mail::SetMailAccountOnPage({}); }

}  // namespace tavik::options
