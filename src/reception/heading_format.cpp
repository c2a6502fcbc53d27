#include "reception/heading_format.h"

#include "resource_ids.h"
#include "win/resource_text.h"

namespace tavik::reception {
namespace {

constexpr int kHeadingBufferSize = 96;

}  // namespace

std::string LoadHeadingFormat(HINSTANCE resources, UINT id) {
    return win::LoadResourceString(resources, id, kHeadingBufferSize);
}

store::HeadingFormats LoadHeadingFormats(HINSTANCE resources) {
    store::HeadingFormats formats;
    if (std::string text = LoadHeadingFormat(resources, IDS_HEADING_MESSAGE); !text.empty()) formats.message = text;
    if (std::string text = LoadHeadingFormat(resources, IDS_HEADING_BROADCAST); !text.empty()) {
        formats.broadcast = text;
    }
    if (std::string text = LoadHeadingFormat(resources, IDS_HEADING_AUTOANSWER); !text.empty()) {
        formats.autoanswer = text;
    }
    return formats;
}

}  // namespace tavik::reception
