// SPDX-License-Identifier: GPL-3.0-or-later
// EventSource: the events the one event loop waits for, and the wait itself.
#pragma once

#include <cstdint>
#include <optional>

namespace platform {

// Keys by what they are, not by what they type. Letters and digits are
// contiguous so that `Key::A + n` and `Key::Digit0 + n` work.
enum class Key : uint8_t {
    None,
    Enter,
    Escape,
    Tab,
    Backspace,
    Space,
    Up,
    Down,
    Left,
    Right,
    Home,
    End,
    PageUp,
    PageDown,
    Insert,
    Delete,
    Break,
    F1, F2, F3, F4, F5, F6, F7, F8, F9, F10, F11, F12,
    A, B, C, D, E, F, G, H, I, J, K, L, M, N, O, P, Q, R, S, T, U, V, W, X, Y, Z,
    Digit0, Digit1, Digit2, Digit3, Digit4, Digit5, Digit6, Digit7, Digit8, Digit9,
    // Any other key (punctuation, keypad, ...): its character, if any,
    // arrives as a Character event.
    Other,
};

constexpr Key letter_key(char upper_letter) { return static_cast<Key>(static_cast<int>(Key::A) + (upper_letter - 'A')); }
constexpr Key digit_key(int digit) { return static_cast<Key>(static_cast<int>(Key::Digit0) + digit); }
constexpr Key function_key(int number) { return static_cast<Key>(static_cast<int>(Key::F1) + number - 1); }
constexpr bool is_letter_key(Key key) { return key >= Key::A && key <= Key::Z; }
constexpr bool is_digit_key(Key key) { return key >= Key::Digit0 && key <= Key::Digit9; }

// Modifier bits, as held at the moment of the event.
namespace modifier {
constexpr uint8_t shift = 1;
constexpr uint8_t ctrl = 2;
constexpr uint8_t alt = 4;
}

enum class MouseButton : uint8_t { Left, Right, Middle };

// Kinds of events posted into the loop (from other threads or from inside).
// Each subsystem that posts picks its own kind number above `first_user`.
namespace posted {
constexpr int wake = 0; // no meaning: just ends a wait
constexpr int key_pushed = 1; // a byte was pushed into the key queue
constexpr int audio_block_played = 2; // value: the block's number
constexpr int first_user = 100;
}

struct Event {
    enum class Type : uint8_t {
        // A key went down (repeats arrive as more presses). Enter, Escape,
        // Tab, Backspace and Ctrl with a letter produce their control byte
        // in the console from the press itself: backends send no Character
        // event for them.
        KeyPress,
        // A key went up; only backends that can see releases send it (the
        // braille chord keyboard needs them).
        KeyRelease,
        // A typed character of 32 or more, in Windows-1252 (the backend
        // converts from UTF-8 and drops what has no Windows-1252 byte).
        Character,
        MouseButtonPress,
        // `wheel` steps: positive forward (away from the user), negative back.
        MouseWheel,
        // `button_down`: a mouse button was down when the focus came.
        FocusGained,
        FocusLost,
        // The user asked to close the window (or the terminal hung up).
        CloseRequested,
        // `posted_kind` and `posted_value` say what; see `posted`.
        Posted,
    };

    Type type = Type::Posted;
    Key key = Key::None;
    uint8_t modifiers = 0;
    uint8_t character = 0;
    MouseButton button = MouseButton::Left;
    int wheel = 0;
    bool button_down = false;
    int posted_kind = posted::wake;
    int64_t posted_value = 0;
};

struct PointerPosition {
    int x = 0;
    int y = 0;
};

// Whether a key can still come once the program blocks waiting for one.
enum class KeySupply : uint8_t {
    Coming,
    // No key will ever come (scripted keys ran out, input hung up): the
    // program must end instead of waiting forever.
    Exhausted,
};

// The platform side of the event loop. Only the runtime thread calls it,
// except for `post`, which any thread may call.
class EventSource {
public:
    virtual ~EventSource() = default;

    // Takes the next pending event without blocking.
    virtual std::optional<Event> next_event() = 0;

    // Blocks until an event may be pending or `timeout_ms` has passed on the
    // program's clock; a negative timeout waits without a limit. It may
    // return early and spuriously: callers loop. Given a virtual clock (fast
    // runs), a backend does not sleep: it looks for events without blocking
    // and moves the clock on by the timeout.
    virtual void wait(int timeout_ms) = 0;

    // Called when the program is about to block until a key arrives
    // (reading a key or a line; never by a poll). A scripted source lets its
    // next key in now, so that keys reach the program one wait at a time.
    virtual KeySupply request_key() = 0;

    // True while another key may still come (false once scripted keys ran
    // out or the input ended); asks without letting a key in.
    virtual bool keys_may_come() const = 0;

    // Thread-safe: queues an event and ends a wait in progress.
    virtual void post(const Event& event) = 0;

    // The modifiers held now (for the shift-state prefix of a key read).
    virtual uint8_t held_modifiers() const = 0;

    // The mouse pointer, on the screen or relative to the console window.
    virtual PointerPosition pointer_position(bool screen_relative) const = 0;
};

}
