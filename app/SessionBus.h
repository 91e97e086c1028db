#pragma once

namespace app {

// Without a session bus to join, the message-bus library would fork a bus launcher from this
// multi-threaded program whenever the sound or the toolkit asks for the session bus; the child
// can deadlock on a lock another thread held at the fork, and it outlives the program. With no
// DBUS_SESSION_BUS_ADDRESS and no socket at $XDG_RUNTIME_DIR/bus, this points the session
// address at that missing socket, so asking fails at once. A running session bus is kept, and
// the system bus (real-time priority for the sound thread) is not affected. Call before any
// thread starts.
void AvoidSessionBusLauncher();

} // namespace app
