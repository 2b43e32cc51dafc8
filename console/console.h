// SPDX-License-Identifier: GPL-3.0-or-later
// Console: the text-mode console window, its keyboard and the event loop every wait runs.
#pragma once

#include "console/colour_table.h"
#include "console/console_settings.h"
#include "console/key_queue.h"
#include "console/keyboard.h"
#include "console/magnifier.h"
#include "console/screen_buffer.h"
#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/event_source.h"
#include "platform/screen_sink.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace audio {
class SoundOutput;
}

namespace console {

// Exit statuses the console itself ends the program with.
constexpr int exit_closed = 0;
constexpr int exit_keys_ran_out = 3;

constexpr int standard_input_line_size = 128;
constexpr int max_title_length = 300;

// Told every byte written to the console, before it is shown (the console
// log, the plain line-mode mirror).
class OutputObserver {
public:
    virtual ~OutputObserver() = default;
    virtual void console_output(std::string_view bytes) = 0;
};

// Something that must be looked at in every wait without a thread of its
// own (an audio device that reports played blocks by the clock).
class EventPoller {
public:
    virtual ~EventPoller() = default;
    virtual void poll() = 0;
    // Milliseconds until the poller next has something to report; negative
    // when nothing is due.
    virtual int next_report_ms() const = 0;
};

// The one console of the program. It owns the screen model and the key
// queue, and runs the event loop: every wait in the program (for a key, for
// time, for speech) pumps the events of the platform through here, so keys,
// mouse, focus, close requests and posted wake-ups are handled on the one
// runtime thread.
class Console {
public:
    Console(platform::EventSource& events, platform::ScreenSink& sink, platform::Clock& clock,
        platform::Clipboard& clipboard, ConsoleSettings settings);
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    // How the program ends from inside a wait (the window closed, Ctrl+Break,
    // scripted keys run out). The function must not return: app/ flushes the
    // logs, writes the screen file and exits with the status.
    void set_program_end(std::function<void(int status)> end) { m_program_end = std::move(end); }
    [[noreturn]] void end_program(int status);

    void add_output_observer(OutputObserver* observer) { m_observers.push_back(observer); }
    void add_poller(EventPoller* poller) { m_pollers.push_back(poller); }
    // Events posted with this kind call the handler on the runtime thread.
    void set_posted_handler(int kind, std::function<void(int64_t value)> handler);

    // Screen. The writing, clearing and colour operations open the window
    // on first use.
    void write_chars(std::string_view bytes);
    void write_char(uint8_t byte) { write_chars(std::string_view(reinterpret_cast<const char*>(&byte), 1)); }
    void clear_screen();
    void clear_to_end_of_line();
    void goto_xy(int column, int row);
    int where_x() const { return m_screen.where_x(); }
    int where_y() const { return m_screen.where_y(); }
    // Do nothing when the colours are fixed.
    void set_text_colour(int colour);
    void set_background_colour(int colour);
    uint8_t attribute() const { return m_screen.attribute(); }
    // The attribute as it is, whatever the fixed-colours setting says (for
    // the invisible line read and the editors that restore what they found).
    void set_attribute(uint8_t attribute) { m_screen.set_attribute(attribute); }
    void set_title(std::string_view title);
    const std::string& title() const { return m_title; }
    void set_window_state(platform::WindowState state);
    platform::WindowState window_state() const { return m_window_state; }
    void repaint();

    // Sound, clipboard and picture.
    // The tone plays through the sound output once app/ has set it (the
    // output waits through the console, so it is built after it); until
    // then, and after it is taken away, tones are dropped.
    void set_sound(audio::SoundOutput* sound) { m_sound = sound; }
    void play_tone(int frequency);
    void stop_tone();
    void copy_to_clipboard(std::string_view text);
    // The clipboard's text cut to size - 1 characters; empty when it holds none.
    std::string paste_from_clipboard(size_t size);
    // `system_path` is already mapped for this system. False, with the
    // current picture kept, when the file is not a bitmap that can be shown.
    bool load_picture(const std::string& system_path);
    void draw_picture(int x, int y);
    void set_picture_scale(double scale) { m_picture_scale = scale; }
    void remove_picture();
    bool has_picture() const { return m_picture != nullptr; }

    // Keyboard.
    bool key_pressed();
    uint8_t read_key();
    // A line of at most size - 2 characters, echoed, without its CR LF.
    std::string read_line(int size = standard_input_line_size);
    void push_key(uint8_t byte);
    void discard_keys() { m_keys.clear(); }
    void set_braille_keyboard_mode(int mode);
    uint8_t held_modifiers() const { return m_events.held_modifiers(); }
    platform::PointerPosition pointer_position(bool screen_relative) const { return m_events.pointer_position(screen_relative); }
    // False once no key can come any more (scripted keys ran out).
    bool keys_may_come() const { return m_keys.count() > 0 || m_events.keys_may_come(); }

    // The event loop.
    // Both return how many events were handled.
    int pump_all_messages();
    int pump_console_messages() { return pump_all_messages(); }
    // Pumps; when that handled nothing, waits up to `timeout_ms` (negative:
    // no limit) for an event and pumps again.
    void wait_event(int timeout_ms);
    // Lets the time pass on the program's clock while events are pumped.
    void delay(int milliseconds);
    void post_wake_up();

    // The window closes and the program ends.
    [[noreturn]] void close_console();
    // The state after the script ended normally: "Programa terminado",
    // no break checking, no more input.
    void enter_program_end();

    ScreenBuffer& screen() { return m_screen; }
    const ScreenBuffer& screen() const { return m_screen; }
    KeyQueue& keys() { return m_keys; }
    Keyboard& keyboard() { return m_keyboard; }
    Magnifier& magnifier() { return m_magnifier; }
    // What screen review searched for last; kept from one review to the next.
    std::string& review_search_text() { return m_review_search_text; }
    const ColourTable& colours() const { return m_colours; }
    bool is_open() const { return m_open; }
    // True while read_line writes the echo of what the user typed.
    bool echoing() const { return m_echoing; }
    platform::Clock& clock() { return m_clock; }

private:
    void ensure_open();
    void dispatch(const platform::Event& event);
    void poll_pollers();
    int bounded_timeout(int timeout_ms) const;

    platform::EventSource& m_events;
    platform::ScreenSink& m_sink;
    platform::Clock& m_clock;
    platform::Clipboard& m_clipboard;
    audio::SoundOutput* m_sound = nullptr;
    ConsoleSettings m_settings;
    ColourTable m_colours;
    ScreenBuffer m_screen;
    KeyQueue m_keys;
    Keyboard m_keyboard;
    Magnifier m_magnifier { m_sink };
    std::string m_review_search_text;

    bool m_open = false;
    bool m_focused = true;
    bool m_input_enabled = true;
    bool m_tone_playing = false;
    bool m_echoing = false;
    platform::WindowState m_window_state = platform::WindowState::Normal;
    std::string m_title;
    std::unique_ptr<platform::PictureImage> m_picture;
    int m_picture_x = 0;
    int m_picture_y = 0;
    double m_picture_scale = 1.0;

    std::function<void(int)> m_program_end;
    std::vector<OutputObserver*> m_observers;
    std::vector<EventPoller*> m_pollers;
    std::map<int, std::function<void(int64_t)>> m_posted_handlers;
};

}
