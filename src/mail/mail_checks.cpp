#include "mail/mail_checks.h"

#include <memory>
#include <mutex>
#include <vector>

#include "core/mail/mail_check.h"
#include "mail/mail_notification.h"
#include "resource_ids.h"
#include "win/pumping_wait.h"
#include "win/scoped_handles.h"
#include "window_messages.h"

namespace tavik::mail {

// One running check and its thread, shared by the thread, the list of running checks and its starter.
struct RunningCheck {
    RunningCheck(const MailContext& context, mailbox::MailCheckRequest request, HWND progressWindow, mailbox::MailCheckStart start)
        : context(context),
          start(start),
          check(std::move(request), LastMailCount(),
                mailbox::MailCheckReports{
                    [this, progressWindow](std::uint32_t code) {
                        if (progressWindow != nullptr) {
                            PostMessageA(progressWindow, kMailCheckProgress, TRAY_ID_NEW_MAIL, code);
                        }
                    },
                    [this](const mailbox::MailAnnouncement& announcement) { NotifyMailState(this->context, announcement); },
                }),
          finished(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    MailContext context;
    const mailbox::MailCheckStart start;
    mailbox::MailCheck check;
    win::KernelHandle finished;
    std::atomic<bool> cancelled{false};
    std::atomic<bool> entered{true};  // counted by the gate until it ends or is cancelled
};

namespace {

std::mutex RunningGuard;
std::vector<std::shared_ptr<RunningCheck>> Running;
mailbox::MailCheckGate Gate;

// At the end or at the cancel, whichever comes first.
void LeaveGate(RunningCheck& check) {
    if (check.entered.exchange(false)) Gate.Leave();
}

DWORD WINAPI CheckThread(LPVOID parameter) {
    std::unique_ptr<std::shared_ptr<RunningCheck>> handed(static_cast<std::shared_ptr<RunningCheck>*>(parameter));
    std::shared_ptr<RunningCheck> running = *handed;
    if (!running->cancelled) RemoveMailErrorIcon(running->context);
    running->check.Run();
    LeaveGate(*running);
    SetEvent(running->finished.Get());
    std::lock_guard lock(RunningGuard);
    std::erase(Running, running);
    return 0;
}

}  // namespace

std::atomic<std::int32_t>& LastMailCount() {
    static std::atomic<std::int32_t> count{0};
    return count;
}

CheckHandle StartCheck(const MailContext& context, mailbox::MailCheckRequest request, HWND progressWindow,
                       mailbox::MailCheckStart start) {
    if (!Gate.Enter(start)) return nullptr;
    auto running = std::make_shared<RunningCheck>(context, std::move(request), progressWindow, start);
    {
        std::lock_guard lock(RunningGuard);
        Running.push_back(running);
    }
    auto handed = std::make_unique<std::shared_ptr<RunningCheck>>(running);
    win::KernelHandle thread(CreateThread(nullptr, 0, CheckThread, handed.get(), 0, nullptr));
    if (!thread) {
        LeaveGate(*running);
        std::lock_guard lock(RunningGuard);
        std::erase(Running, running);
        return nullptr;
    }
    handed.release();  // the thread owns it now; nobody waits for the thread itself
    return running;
}

void CancelCheck(const CheckHandle& check) {
    if (check == nullptr) return;
    check->cancelled = true;
    check->check.Cancel();
    LeaveGate(*check);
}

void CancelScheduledChecks() {
    std::vector<std::shared_ptr<RunningCheck>> running;
    {
        std::lock_guard lock(RunningGuard);
        running = Running;
    }
    for (auto& check : running) {
        if (check->start == mailbox::MailCheckStart::Scheduled) CancelCheck(check);
    }
}

void CancelAllChecks(DWORD boundMs) {
    std::vector<std::shared_ptr<RunningCheck>> running;
    {
        std::lock_guard lock(RunningGuard);
        running = Running;
    }
    for (auto& check : running) CancelCheck(check);
    const DWORD started = GetTickCount();
    for (auto& check : running) {
        const DWORD elapsed = GetTickCount() - started;
        if (elapsed >= boundMs) break;
        win::WaitDispatchingSentMessages(check->finished.Get(), boundMs - elapsed);
    }
}

}  // namespace tavik::mail
