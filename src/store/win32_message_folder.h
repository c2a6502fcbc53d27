#pragma once
// The message store's folder access through the Win32 file calls (ANSI paths).

#include "core/store/message_folder.h"

namespace tavik::store {

class Win32MessageFolder final : public MessageFolder {
public:
    std::vector<FolderFile> ListFiles(const std::string& folder, std::string_view suffix) override;
    std::optional<std::string> ReadWhole(const std::string& path, std::size_t maxBytes) override;
    bool WriteWhole(const std::string& path, std::string_view bytes) override;
    NewFileResult WriteNew(const std::string& path, std::string_view bytes) override;
    bool Remove(const std::string& path) override;
    bool Exists(const std::string& path) override;
};

}  // namespace tavik::store
