// Decodes arbitrary bytes as a trash record; whatever decodes must survive a round trip.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/store/trash_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto record = tavik::store::DecodeTrashRecord(bytes);
    if (!record) return 0;
    if (size < tavik::store::kMinTrashRecordSize) std::abort();
    const auto again = tavik::store::DecodeTrashRecord(tavik::store::EncodeTrashRecord(*record));
    if (!again || again->position != record->position || again->filePath != record->filePath ||
        again->highPriority != record->highPriority || again->sender != record->sender || again->text != record->text) {
        std::abort();
    }
    return 0;
}
