// SPDX-License-Identifier: GPL-3.0-or-later
// EventPort: what the sound output needs from the event loop and the key queue.
#pragma once

namespace audio {

// Every wait of the sound output is a loop of wait_event, so keys, window
// events and the device's reports keep flowing; a waiting key stops sounds
// that a key may cut.
class EventPort {
public:
    virtual ~EventPort() = default;

    // True when a key is waiting in the key queue; never takes it.
    virtual bool key_waiting() = 0;
    // Dispatches pending events, then waits up to `timeout_ms` for the next
    // one (a key, a played block, a wake-up) and dispatches it too. Time
    // passes on the runtime's clock (at once in fast runs).
    virtual void wait_event(int timeout_ms) = 0;
};

}
