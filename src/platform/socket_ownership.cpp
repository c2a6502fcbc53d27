// Moving and releasing a socket: the same on every platform; Close() is the platform's.
#include "core/net/socket_layer.h"

namespace tavik::net {

Socket::Socket(Socket&& other) noexcept : handle_(other.handle_) { other.handle_ = kNoHandle; }

Socket& Socket::operator=(Socket&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = other.handle_;
        other.handle_ = kNoHandle;
    }
    return *this;
}

Socket::~Socket() { Close(); }

bool Socket::IsOpen() const { return handle_ != kNoHandle; }

}  // namespace tavik::net
