#include "reception/mailslot_thread.h"

#include <string>

#include "reception/mailslot_listener.h"
#include "resource_ids.h"
#include "win/resource_text.h"
#include "win/scoped_handles.h"

namespace tavik::reception {
namespace {

constexpr SIZE_T kStackSize = 8192;
constexpr DWORD kStopBoundMs = 5000;
// The heading is read as into a 96-byte buffer: at most 95 characters.
constexpr int kHeadingBufferSize = 96;

// Everything the thread uses, shared with its owner so that a thread that was let go still
// has it after the owner is gone.
struct MailslotWork {
    MailslotWork(const ReceptionContext& context)
        : context(context),
          sink(context.queue),
          listener(sink, win::LoadResourceString(context.resources, IDS_HEADING_MESSAGE, kHeadingBufferSize)) {}
    ReceptionContext context;
    QueueMessageSink sink;
    MailslotListener listener;
};

DWORD WINAPI MailslotThreadProc(LPVOID parameter) {
    std::unique_ptr<std::shared_ptr<MailslotWork>> handed(static_cast<std::shared_ptr<MailslotWork>*>(parameter));
    std::shared_ptr<MailslotWork> work = *handed;
    if (work->listener.Run() != 0) {
        const ReceptionContext& context = work->context;
        win::ShowStopBox(context.mainWindow, win::LoadResourceString(context.resources, IDS_PROGRAM_NAME),
                         win::LoadResourceString(context.resources, IDS_MAILSLOT_FAILED));
    }
    return 0;
}

class MailslotThread final : public RunningListener {
public:
    MailslotThread(std::shared_ptr<MailslotWork> work, HANDLE thread) : work_(std::move(work)), thread_(thread) {}
    void RequestStop() override { work_->listener.Stop(); }
    HANDLE Finished() const override { return thread_.Get(); }
    DWORD StopBoundMs() const override { return kStopBoundMs; }

private:
    std::shared_ptr<MailslotWork> work_;
    win::KernelHandle thread_;
};

}  // namespace

std::unique_ptr<RunningListener> StartMailslotThread(const ReceptionContext& context) {
    auto work = std::make_shared<MailslotWork>(context);
    auto handed = std::make_unique<std::shared_ptr<MailslotWork>>(work);
    HANDLE thread = CreateThread(nullptr, kStackSize, MailslotThreadProc, handed.get(), 0, nullptr);
    if (thread == nullptr) return nullptr;
    handed.release();  // the thread owns it now
    return std::make_unique<MailslotThread>(std::move(work), thread);
}

}  // namespace tavik::reception
