#include "core/store/side_by_side_reader.h"

#include <atomic>
#include <exception>
#include <thread>

namespace tavik::store {
namespace {

// Below this a second thread costs more than it saves.
constexpr std::size_t kFilesWorthASecondThread = 64;

}  // namespace

std::vector<std::optional<std::string>> ReadSideBySide(MessageFolder& folder, const std::vector<FileToRead>& files) {
    std::vector<std::optional<std::string>> read(files.size());
    std::atomic<std::size_t> next{0};
    auto readOnward = [&] {
        for (std::size_t i; (i = next.fetch_add(1)) < files.size();) {
            read[i] = folder.ReadWhole(files[i].path, files[i].maxBytes);
        }
    };
    if (files.size() < kFilesWorthASecondThread) {
        readOnward();
        return read;
    }
    std::exception_ptr helperFault;
    std::thread helper([&] {
        try {
            readOnward();
        } catch (...) {
            helperFault = std::current_exception();
            next = files.size();  // the caller stops too
        }
    });
    try {
        readOnward();
    } catch (...) {
        next = files.size();
        helper.join();
        throw;
    }
    helper.join();
    if (helperFault) std::rethrow_exception(helperFault);
    return read;
}

}  // namespace tavik::store
