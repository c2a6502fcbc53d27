#pragma once
// What every listener of the program is started with.

#include <windows.h>

#include <memory>

#include "core/reception/hand_off_queue.h"

namespace tavik::reception {

struct ReceptionContext {
    HWND mainWindow = nullptr;            // owner of the listeners' boxes
    HINSTANCE resources = nullptr;        // the resource module: texts of boxes, headings and receipts
    std::shared_ptr<HandOffQueue> queue;  // where received messages go
};

}  // namespace tavik::reception
