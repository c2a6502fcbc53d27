#include "mail/check_now_dialog.h"

#include <commctrl.h>

#include <string>

#include "core/mail/check_now_progress.h"
#include "core/text/format.h"
#include "mail/mail_account.h"
#include "mail/mail_checks.h"
#include "mail/shown_mail_account.h"
#include "mail/mail_schedule.h"
#include "resource_ids.h"
#include "win/dialog.h"
#include "win/dpi.h"
#include "win/resource_text.h"
#include "window_messages.h"

namespace tavik::mail {
namespace {

UINT StatusText(mailbox::CheckNowStatus status) {
    switch (status) {
    case mailbox::CheckNowStatus::Started: return IDS_CHECK_STARTED;
    case mailbox::CheckNowStatus::Connected: return IDS_CHECK_CONNECTED;
    case mailbox::CheckNowStatus::ServerReady: return IDS_CHECK_SERVER_READY;
    case mailbox::CheckNowStatus::LoggedIn: return IDS_CHECK_LOGGED_IN;
    case mailbox::CheckNowStatus::MailboxOpened: return IDS_CHECK_MAILBOX_OPENED;
    case mailbox::CheckNowStatus::Counted: return IDS_CHECK_COUNTED;
    case mailbox::CheckNowStatus::NetworkFailed: return IDS_MAIL_NETWORK_FAILED;
    case mailbox::CheckNowStatus::ServerFailed: return IDS_MAIL_SERVER_FAILED;
    case mailbox::CheckNowStatus::LoginRejected: return IDS_MAIL_LOGIN_REJECTED;
    case mailbox::CheckNowStatus::CountFailed: return IDS_MAIL_COUNT_FAILED;
    case mailbox::CheckNowStatus::Unchanged: break;
    }
    return 0;
}

constexpr UINT_PTR kCreepTimer = 0;
constexpr int kStatusBufferSize = 512;
// The progress bar's place in pixels at 96 DPI; the template around it grows with the DPI, so it does too.
constexpr int kBarMargin = 30;
constexpr int kBarTop = 30;
constexpr int kBarHeight = 20;

// The open dialog, so that a second opener brings it forward instead of starting a second check.
// CheckNowOpen holds from before the dialog is made until it has gone: bringing it forward may
// fail (the system keeps the foreground for another program), yet a second one never opens.
HWND CheckNowWindow = nullptr;
bool CheckNowOpen = false;

class CheckNowDialog final : public win::Dialog {
public:
    explicit CheckNowDialog(const MailContext& context) : context_(context) {}

private:
    bool OnInit() override {
        CheckNowWindow = Window();
        CentreOverParent();
        MakeProgressBar();
        LastMailCount() = 0;  // mail already waiting is announced again, with its sound
        std::optional<ShownMailAccount> fromPage = MailAccountShown();
        if (!fromPage) SetPeriodicProgressWindow(Window());
        check_ = StartCheck(context_, fromPage ? fromPage->request : PeriodicMailRequest(), Window());
        return true;
    }

    bool OnCommand(WORD id, WORD, HWND) override {
        if (id != IDCANCEL) return false;
        CancelCheck(check_);
        check_.reset();
        SetPeriodicProgressWindow(nullptr);
        KillTimer(Window(), kCreepTimer);
        End(1);
        return true;
    }

    bool OnMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR& result) override {
        if (message == WM_TIMER) {
            if (bar_ != nullptr) SendMessageA(bar_, PBM_STEPIT, 0, 0);
        } else if (message == kMailCheckProgress) {
            Show(mailbox::CheckNowStepFor(static_cast<std::uint32_t>(lParam)));
        } else {
            return false;
        }
        result = 0;
        return true;
    }

    void CentreOverParent() {
        HWND parent = GetParent(Window());
        RECT area{};
        GetWindowRect(parent != nullptr ? parent : GetDesktopWindow(), &area);
        RECT own{};
        GetWindowRect(Window(), &own);
        const int width = own.right - own.left;
        const int height = own.bottom - own.top;
        const int left = area.left + ((area.right - area.left) - width) / 2;
        const int top = area.top + ((area.bottom - area.top) - height) / 2;
        SetWindowPos(Window(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    void MakeProgressBar() {
        RECT client{};
        GetClientRect(Window(), &client);
        const UINT dpi = win::WindowDpi(Window());
        const int margin = win::ScaleForDpi(kBarMargin, dpi);
        bar_ = CreateWindowExA(0, PROGRESS_CLASSA, nullptr, WS_CHILD | WS_VISIBLE | PBS_SMOOTH, client.left + margin,
                               win::ScaleForDpi(kBarTop, dpi), (client.right - client.left) - 2 * margin,
                               win::ScaleForDpi(kBarHeight, dpi), Window(), nullptr, nullptr, nullptr);
        if (bar_ == nullptr) return;
        SendMessageA(bar_, PBM_SETRANGE, 0, MAKELPARAM(0, mailbox::kCheckNowBarEnd));
        SendMessageA(bar_, PBM_SETSTEP, 1, 0);
    }

    void Show(const mailbox::CheckNowStep& step) {
        if (step.status != mailbox::CheckNowStatus::Unchanged) {
            const MailAccountView account = CurrentMailAccount();
            const std::string format =
                win::LoadResourceString(context_.resources, StatusText(step.status), kStatusBufferSize);
            std::string status;
            switch (step.argument) {
            case mailbox::StatusArgument::None: status = FormatText(format, {}); break;
            case mailbox::StatusArgument::Server: status = FormatText(format, {account.server}); break;
            case mailbox::StatusArgument::User: status = FormatText(format, {account.userName}); break;
            case mailbox::StatusArgument::CountAndUser:
                status = FormatText(format, {std::int64_t{step.count}, account.userName});
                break;
            }
            SetDlgItemTextA(Window(), IDC_CHECK_STATUS, CutText(status, kStatusBufferSize - 1).c_str());
        }
        if (bar_ != nullptr && step.bar == mailbox::BarMove::SetTo) SendMessageA(bar_, PBM_SETPOS, step.barValue, 0);
        if (bar_ != nullptr && step.bar == mailbox::BarMove::AdvanceBy) SendMessageA(bar_, PBM_DELTAPOS, step.barValue, 0);
        if (step.timer == mailbox::CreepTimer::Start) SetTimer(Window(), kCreepTimer, mailbox::kCheckNowCreepMs, nullptr);
        if (step.timer == mailbox::CreepTimer::Stop) KillTimer(Window(), kCreepTimer);
        if (step.ended) {
            const std::string close = win::LoadResourceString(context_.resources, IDS_CHECK_CLOSE);
            SetDlgItemTextA(Window(), IDCANCEL, close.c_str());
        }
    }

    MailContext context_;
    HWND bar_ = nullptr;
    CheckHandle check_;
};

}  // namespace

void OpenCheckNowDialog(const MailContext& context, HWND owner) {
    if (CheckNowOpen) {
        if (CheckNowWindow != nullptr) SetForegroundWindow(CheckNowWindow);
        return;
    }
    CheckNowOpen = true;
    CheckNowDialog dialog(context);
    dialog.RunModal(context.resources, IDD_CHECK_NOW, owner);
    CheckNowWindow = nullptr;
    CheckNowOpen = false;
}

}  // namespace tavik::mail
