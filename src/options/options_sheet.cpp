#include "options/options_sheet.h"

#include <prsht.h>

#include <string>

#include "core/settings/settings_store.h"
#include "mail/shown_mail_account.h"
#include "options/mail_page.h"
#include "options/messages_page.h"
#include "resource_ids.h"
#include "win/resource_text.h"

namespace tavik::options {

void OpenOptionsSheet(const OptionsContext& context) {
    if (HWND open = OptionsSheetWindow(); open != nullptr && SetForegroundWindow(open)) return;

    const std::string caption = win::LoadResourceString(context.resources, IDS_OPTIONS_CAPTION, 256);
    const std::string messagesTitle = win::LoadResourceString(context.resources, IDS_MESSAGES_PAGE_TITLE);
    const std::string mailTitle = win::LoadResourceString(context.resources, IDS_MAIL_PAGE_TITLE);
    MessagesPage messages(context);
    MailPage mail(context);
    PROPSHEETPAGEA pages[] = {
        messages.Describe(context.resources, IDD_MESSAGES_PAGE, messagesTitle.c_str()),
        mail.Describe(context.resources, IDD_MAIL_PAGE, mailTitle.c_str()),
    };
    const bool withMailPage = ProcessSettings().Current()->DisableMailNotification == 0;

    PROPSHEETHEADERA header{};
    header.dwSize = PROPSHEETHEADERA_V1_SIZE;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW;
    header.hwndParent = context.mainWindow;
    header.hInstance = context.program;
    header.pszCaption = caption.c_str();
    header.nPages = withMailPage ? 2 : 1;
    header.nStartPage = 0;
    header.ppsp = pages;
    const INT_PTR result = PropertySheetA(&header);

    // OK sends every page that was made the apply notification, whatever PropertySheetA returns.
    if (result > 0 || messages.Applied() || mail.Applied()) {
        if (context.applySettings) context.applySettings();
    }
    ForgetOptionsSheet();
    mail::SetMailAccountOnPage({});
    if (context.sheetClosed) context.sheetClosed();
}

}  // namespace tavik::options
