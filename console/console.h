// SPDX-License-Identifier: GPL-3.0-or-later
// Console: the text-mode console window and its keyboard.
#pragma once

#include "console/colour_table.h"
#include "console/console_settings.h"
#include "console/event_loop.h"
#include "console/key_queue.h"
#include "console/keyboard.h"
#include "console/magnifier.h"
#include "console/screen_buffer.h"
#include "platform/clipboard.h"
#include "platform/screen_sink.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace audio {
class SoundOutput;
}

namespace console {

constexpr int standard_input_line_size = 128;
constexpr int max_title_length = 300;

// Told every byte written to the console, before it is shown (the console
// log, the plain line-mode mirror).
class OutputObserver {
public:
    virtual ~OutputObserver() = default;
    virtual void console_output(std::string_view bytes) = 0;
};

// The one console of the program. It owns the screen model and the key
// queue, and takes the input events of the event loop: every wait in the
// program (for a key, for time, for speech) runs that loop, so keys, mouse,
// focus and close requests reach the console on the one runtime thread.
class Console final : public EventTarget {
public:
    Console(EventLoop& loop, platform::ScreenSink& sink, platform::Clipboard& clipboard, ConsoleSettings settings);
    ~Console() override;
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    void add_output_observer(OutputObserver* observer) { m_observers.push_back(observer); }

    // Screen. The writing, clearing and colour operations open the window
    // on first use.
    void write_chars(std::string_view bytes);
    void clear_screen();
    void clear_to_end_of_line();
    void goto_xy(int column, int row);
    // Marks the cells of a menu's highlighted item for the screen (1-based,
    // as goto_xy); a length of 0 takes the mark away.
    void show_highlight(int column, int row, int length) { m_sink.show_highlight(row - 1, column - 1, length); }
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
    // Takes a decoded picture in place of the one it had; it is shown from
    // the next draw_picture.
    void set_picture(platform::PictureImage image);
    void draw_picture(int x, int y);
    void remove_picture();
    bool has_picture() const { return m_picture != nullptr; }

    // Keyboard. Once the end of the program is asked for, a key always
    // seems to wait and reading one gives `ending_key` at once.
    static constexpr uint8_t ending_key = 27;
    bool key_pressed();
    uint8_t read_key();
    void push_key(uint8_t byte);
    void discard_keys() { m_keys.clear(); }
    void set_braille_keyboard_mode(int mode);
    uint8_t held_modifiers() const { return m_loop.source().held_modifiers(); }
    platform::PointerPosition pointer_position(bool screen_relative) const
    {
        return m_loop.source().pointer_position(screen_relative);
    }
    // False once no key can come any more (scripted keys ran out).
    bool keys_may_come() const { return m_keys.count() > 0 || m_loop.source().keys_may_come(); }

    // The window closes: the end of the program is asked for, and the keys
    // waiting are dropped.
    void close_console();
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
    EventLoop& loop() { return m_loop; }

    void handle_event(const platform::Event& event) override;
    void before_wait() override;
    void program_ending() override;

private:
    void ensure_open();

    EventLoop& m_loop;
    platform::ScreenSink& m_sink;
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
    platform::WindowState m_window_state = platform::WindowState::Normal;
    std::string m_title;
    std::unique_ptr<platform::PictureImage> m_picture;
    int m_picture_x = 0;
    int m_picture_y = 0;
    double m_picture_scale = 1.0;

    std::vector<OutputObserver*> m_observers;
};

}
