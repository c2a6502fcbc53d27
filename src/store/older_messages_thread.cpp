#include "store/older_messages_thread.h"

#include <utility>

#include "store/win32_message_folder.h"
#include "win/pumping_wait.h"

namespace tavik::store {

// Everything the thread uses, shared with its owner so that a thread that was let go still has it.
struct OlderMessagesThread::Work {
    Work(std::vector<FileToRead> files, std::function<void()> wake) : load(std::move(files), std::move(wake)) {}
    Win32MessageFolder folder;
    OlderMessagesLoad load;
};

namespace {

DWORD WINAPI OlderMessagesThreadProc(LPVOID parameter) {
    using Work = OlderMessagesThread::Work;
    std::unique_ptr<std::shared_ptr<Work>> handed(static_cast<std::shared_ptr<Work>*>(parameter));
    std::shared_ptr<Work> work = *handed;
    work->load.Run(work->folder);
    return 0;
}

}  // namespace

std::unique_ptr<OlderMessagesThread> OlderMessagesThread::Start(std::vector<FileToRead> files,
                                                                std::function<void()> wake) {
    auto work = std::make_shared<Work>(std::move(files), std::move(wake));
    auto handed = std::make_unique<std::shared_ptr<Work>>(work);
    HANDLE thread = CreateThread(nullptr, 0, OlderMessagesThreadProc, handed.get(), 0, nullptr);
    if (thread == nullptr) return nullptr;
    handed.release();  // the thread owns it now
    return std::make_unique<OlderMessagesThread>(std::move(work), thread);
}

OlderMessagesThread::OlderMessagesThread(std::shared_ptr<Work> work, HANDLE thread)
    : work_(std::move(work)), thread_(thread) {}

OlderMessagesThread::~OlderMessagesThread() = default;

std::vector<OlderMessages> OlderMessagesThread::Take() { return work_->load.Take(); }

void OlderMessagesThread::Stop(DWORD boundMs) {
    work_->load.Stop();
    win::WaitDispatchingSentMessages(thread_.Get(), boundMs);
}

}  // namespace tavik::store
