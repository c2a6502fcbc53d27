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
    RunningCheck(const MailContext& context, MailCheckRequest request, HWND progressWindow)
        : context(context),
          check(std::move(request), LastMailCount(),
                MailCheckReports{
                    [this, progressWindow](std::uint32_t code) {
                        if (progressWindow != nullptr) {
                            PostMessageA(progressWindow, kMailCheckProgress, TRAY_ID_NEW_MAIL, code);
                        }
                    },
                    [this](const MailAnnouncement& announcement) { NotifyMailState(this->context, announcement); },
                }),
          finished(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    MailContext context;
    MailCheck check;
    win::KernelHandle finished;
    std::atomic<bool> cancelled{false};
};

namespace {

std::mutex RunningGuard;
std::vector<std::shared_ptr<RunningCheck>> Running;

DWORD WINAPI CheckThread(LPVOID parameter) {
    std::unique_ptr<std::shared_ptr<RunningCheck>> handed(static_cast<std::shared_ptr<RunningCheck>*>(parameter));
    std::shared_ptr<RunningCheck> running = *handed;
    if (!running->cancelled) RemoveMailErrorIcon(running->context);
    running->check.Run();
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

CheckHandle StartCheck(const MailContext& context, MailCheckRequest request, HWND progressWindow) {
    auto running = std::make_shared<RunningCheck>(context, std::move(request), progressWindow);
    {
        std::lock_guard lock(RunningGuard);
        Running.push_back(running);
    }
    auto handed = std::make_unique<std::shared_ptr<RunningCheck>>(running);
    win::KernelHandle thread(CreateThread(nullptr, 0, CheckThread, handed.get(), 0, nullptr));
    if (!thread) {
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
