#include "reception/mailslot_thread.h"

#include <string>

#include "reception/heading_format.h"
#include "reception/listener_thread.h"
#include "reception/mailslot_listener.h"
#include "resource_ids.h"
#include "win/resource_text.h"

namespace tavik::reception {
namespace {


// Everything the thread uses.
struct MailslotWork {
    MailslotWork(const ReceptionContext& context)
        : context(context),
          sink(context.queue),
          listener(sink, LoadHeadingFormat(context.resources, IDS_HEADING_MESSAGE)) {}
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
    return StartListenerThread(std::make_shared<MailslotWork>(context));
}

}  // namespace tavik::reception
