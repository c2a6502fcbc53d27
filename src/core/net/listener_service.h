#pragma once
// What a listener thread runs: take the port, serve, and after a fault start over on a fresh
// socket. Each kind supplies its socket and its serving loop. The thread owns the service, so
// it outlives a listener that let its thread go.

#include <utility>

#include "core/net/listener_config.h"
#include "core/net/listener_thread.h"
#include "core/net/served_socket.h"
#include "core/net/socket_layer.h"

namespace tavik::net {

enum class ServeEnd { Stopped, Fault };

class ListenerService {
public:
    explicit ListenerService(ListenerConfig config) : config_(std::move(config)) {}
    virtual ~ListenerService() = default;
    ListenerService(const ListenerService&) = delete;
    ListenerService& operator=(const ListenerService&) = delete;

    // Until a stop: binds the port (reporting a failure once, then retrying it quietly), serves,
    // and restarts after a pause when serving fails. Then Finish.
    void Run(ListenerState& state);

protected:
    virtual Socket OpenSocket() = 0;
    // Readies a bound socket (listen, options); false when it cannot serve, which counts as
    // not getting the port.
    virtual bool Prepare(Socket& socket) = 0;
    // Serves until a stop (Stopped) or until the socket fails (Fault). May throw: a fault. The
    // socket is shared with the owner, which closes it when it lets this thread go.
    virtual ServeEnd Serve(ServedSocket& socket, ListenerState& state) = 0;
    // Ends whatever serving left running; the last call on the listener thread before it ends.
    virtual void Finish() {}

    const ListenerConfig config_;

private:
    void ServeUntilStopped(ListenerState& state);
    bool TakePort(Socket& socket, std::uint16_t& port);
};

}  // namespace tavik::net
