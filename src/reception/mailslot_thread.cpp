#include "reception/mailslot_thread.h"

#include <string>

#include "reception/listener_thread.h"
#include "reception/mailslot_listener.h"
#include "resource_ids.h"
#include "win/resource_text.h"

namespace tavik::reception {
namespace {

constexpr SIZE_T kStackSize = 8192;
constexpr DWORD kStopBoundMs = 5000;
// The heading is read as into a 96-byte buffer: at most 95 characters.
constexpr int kHeadingBufferSize = 96;

// Everything the thread uses.
struct MailslotWork {
    MailslotWork(const ReceptionContext& context)
        : context(context),
          sink(context.queue),
          listener(sink, win::LoadResourceString(context.resources, IDS_HEADING_MESSAGE, kHeadingBufferSize)) {}
    void Run() {
        if (listener.Run() == 0) return;
        win::ShowStopBox(context.mainWindow, win::LoadResourceString(context.resources, IDS_PROGRAM_NAME),
                         win::LoadResourceString(context.resources, IDS_MAILSLOT_FAILED));
    }
    void Stop() { listener.Stop(); }

    ReceptionContext context;
    QueueMessageSink sink;
    MailslotListener listener;
};

}  // namespace

std::unique_ptr<RunningListener> StartMailslotThread(const ReceptionContext& context) {
    return StartListenerThread(std::make_shared<MailslotWork>(context), {kStackSize, kStopBoundMs});
}

}  // namespace tavik::reception
