#include "mail/mail_notification.h"

#include <mmsystem.h>
#include <shellapi.h>

#include "mail/mail_tray_icons.h"
#include "resource_ids.h"
#include "win/notify_icon.h"
#include "win/resource_text.h"
#include "window_messages.h"

namespace tavik::mail {
namespace {

// The formats are read as into 512-byte buffers.
constexpr int kFormatBufferSize = 512;

mailbox::MailTipFormats LoadTipFormats(HINSTANCE resources) {
    auto load = [resources](UINT id) { return win::LoadResourceString(resources, id, kFormatBufferSize); };
    return {load(IDS_NEW_MAIL_TIP), load(IDS_MAIL_NETWORK_FAILED), load(IDS_MAIL_SERVER_FAILED),
            load(IDS_MAIL_LOGIN_REJECTED), load(IDS_MAIL_COUNT_FAILED)};
}

NOTIFYICONDATAA Record(const MailContext& context, UINT id) {
    NOTIFYICONDATAA record{};
    record.cbSize = NOTIFYICONDATAA_V1_SIZE;
    record.hWnd = context.mainWindow;
    record.uID = id;
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = kMailIconEvent;
    return record;
}

}  // namespace

void NotifyMailState(const MailContext& context, const mailbox::MailAnnouncement& announcement) {
    if (announcement.notice == mailbox::MailNotice::Nothing) return;
    if (announcement.notice == mailbox::MailNotice::RemoveNewMail) {
        win::DeleteNotifyIcons(context.mainWindow, {TRAY_ID_NEW_MAIL});
        return;
    }
    const bool newMail = announcement.notice == mailbox::MailNotice::NewMail;
    NOTIFYICONDATAA record = Record(context, newMail ? TRAY_ID_NEW_MAIL : TRAY_ID_MAIL_ERROR);
    const win::Icon icon = LoadMailTrayIcon(context.program, newMail);
    record.hIcon = icon.Get();
    const std::string tip = mailbox::MailTip(announcement, LoadTipFormats(context.resources));
    lstrcpynA(record.szTip, tip.c_str(), sizeof record.szTip);
    if (!Shell_NotifyIconA(NIM_ADD, &record)) Shell_NotifyIconA(NIM_MODIFY, &record);
    if (announcement.playSound) {
        PlaySoundA(newMail ? "MailBeep" : "SystemExclamation", nullptr, SND_ASYNC | SND_NODEFAULT);
    }
}

void RemoveMailErrorIcon(const MailContext& context) {
    win::DeleteNotifyIcons(context.mainWindow, {TRAY_ID_MAIL_ERROR});
}

}  // namespace tavik::mail
