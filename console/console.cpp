// SPDX-License-Identifier: GPL-3.0-or-later
// Console: the text-mode console window and its keyboard.
#include "console/console.h"

#include "audio/sound_output.h"
#include "audio/tone_image.h"
#include "base/text_encoding.h"


namespace console {

namespace {

constexpr int braille_tone_ms = 200;

uint8_t attribute_of(int background, int text)
{
    return static_cast<uint8_t>(((background & 15) << 4) | (text & 15));
}

}

Console::Console(EventLoop& loop, platform::ScreenSink& sink, platform::Clipboard& clipboard, ConsoleSettings settings)
    : m_loop(loop)
    , m_sink(sink)
    , m_clipboard(clipboard)
    , m_settings(std::move(settings))
    , m_colours(m_settings.colour_map)
    , m_screen(attribute_of(m_settings.background_colour, m_settings.text_colour))
    , m_keyboard(m_keys)
{
    m_title = m_settings.initial_title.substr(0, 80);
    m_screen.set_block_scroll(m_settings.block_scroll);
    m_loop.set_target(this);
}

Console::~Console()
{
    m_loop.set_target(nullptr);
}

void Console::program_ending()
{
    stop_tone();
    m_sink.show_caret(false);
    m_sink.present();
}

void Console::before_wait()
{
    m_sink.present();
}

void Console::ensure_open()
{
    if (m_open)
        return;
    m_open = true;
    m_sink.set_colours(m_colours.resolved());
    m_sink.set_title(m_title);
    m_window_state = m_settings.normal_window ? platform::WindowState::Normal : platform::WindowState::Maximised;
    m_sink.set_window_state(m_window_state);
    m_screen.set_sink(&m_sink);
    m_screen.repaint();
    if (m_settings.braille_keyboard_mode != 0)
        set_braille_keyboard_mode(m_settings.braille_keyboard_mode);
}

void Console::write_chars(std::string_view bytes)
{
    // What the statement that was running writes after the end was asked
    // for would never have been seen: the window is going.
    if (m_loop.end_requested())
        return;
    ensure_open();
    if (!m_observers.empty()) {
        // Text written in the background's own colour (what LE SENHA echoes)
        // is hidden on the screen; the log and the line-mode mirror must not
        // show it either, so its visible bytes reach them as asterisks.
        uint8_t attribute = m_screen.attribute();
        bool hidden = (attribute & 0x0F) == (attribute >> 4);
        std::string masked;
        if (hidden) {
            masked.assign(bytes);
            for (char& c : masked) {
                if (static_cast<unsigned char>(c) >= 32)
                    c = '*';
            }
        }
        for (auto* observer : m_observers)
            observer->console_output(hidden ? std::string_view(masked) : bytes);
    }
    m_screen.write_chars(bytes);
}

void Console::clear_screen()
{
    ensure_open();
    m_screen.clear_screen();
    if (m_picture)
        m_sink.show_picture(m_picture.get(), m_picture_x, m_picture_y, m_picture_scale);
}

void Console::clear_to_end_of_line()
{
    ensure_open();
    m_screen.clear_to_end_of_line();
}

void Console::goto_xy(int column, int row)
{
    ensure_open();
    m_screen.goto_xy(column, row);
}

void Console::set_text_colour(int colour)
{
    ensure_open();
    if (m_settings.fixed_colours)
        return;
    m_screen.set_attribute(static_cast<uint8_t>((m_screen.attribute() & 0xF0) | (colour & 15)));
}

void Console::set_background_colour(int colour)
{
    ensure_open();
    if (m_settings.fixed_colours)
        return;
    m_screen.set_attribute(static_cast<uint8_t>((m_screen.attribute() & 0x0F) | ((colour & 15) << 4)));
}

void Console::set_title(std::string_view title)
{
    ensure_open();
    m_title = std::string(title.substr(0, max_title_length));
    m_sink.set_title(m_title);
}

void Console::set_window_state(platform::WindowState state)
{
    ensure_open();
    m_window_state = state;
    m_sink.set_window_state(state);
}

void Console::repaint()
{
    ensure_open();
    m_screen.repaint();
    if (m_picture)
        m_sink.show_picture(m_picture.get(), m_picture_x, m_picture_y, m_picture_scale);
    m_magnifier.refresh();
}

void Console::play_tone(int frequency)
{
    stop_tone();
    auto image = audio::build_tone_image(frequency);
    if (image.empty())
        return;
    if (!m_sound)
        return;
    m_sound->start_tone(image);
    m_tone_playing = true;
}

void Console::stop_tone()
{
    if (!m_tone_playing)
        return;
    if (m_sound)
        m_sound->stop_tone();
    m_tone_playing = false;
}

void Console::copy_to_clipboard(std::string_view text)
{
    // The text ends at its first zero byte, as a zero-terminated one would.
    text = text.substr(0, text.find('\0'));
    m_clipboard.set_text(base::windows1252_to_utf8(text));
}

std::string Console::paste_from_clipboard(size_t size)
{
    if (size == 0)
        return {};
    auto text = m_clipboard.text();
    if (!text)
        return {};
    auto bytes = base::utf8_to_windows1252(*text);
    bytes = bytes.substr(0, bytes.find('\0'));
    if (bytes.size() > size - 1)
        bytes.resize(size - 1);
    return bytes;
}

void Console::set_picture(platform::PictureImage image)
{
    m_picture = std::make_unique<platform::PictureImage>(std::move(image));
    m_picture_scale = 1.0;
}

void Console::draw_picture(int x, int y)
{
    if (!m_picture)
        return;
    ensure_open();
    m_picture_x = x;
    m_picture_y = y;
    m_sink.show_picture(m_picture.get(), x, y, m_picture_scale);
}

void Console::remove_picture()
{
    m_picture.reset();
    if (m_open) {
        m_sink.show_picture(nullptr, 0, 0, 1.0);
        m_screen.repaint();
    }
}

bool Console::key_pressed()
{
    ensure_open();
    m_loop.pump();
    return !m_keys.empty() || m_loop.end_requested();
}

uint8_t Console::read_key()
{
    ensure_open();
    bool caret = false;
    while (!m_loop.end_requested()) {
        m_loop.pump();
        if (!m_keys.empty())
            break;
        if (m_loop.source().request_key() == platform::KeySupply::Exhausted) {
            m_loop.request_end(exit_keys_ran_out);
            break;
        }
        if (!caret && m_focused) {
            m_sink.show_caret(true);
            caret = true;
        }
        m_loop.wait_event(-1);
    }
    if (caret)
        m_sink.show_caret(false);
    // Once the program is ending no key comes any more; Esc leaves every
    // prompt, so the statement waiting for one returns.
    if (m_loop.end_requested())
        return ending_key;
    return *m_keys.pop();
}

void Console::push_key(uint8_t byte)
{
    m_keys.push(byte);
    platform::Event wake;
    wake.type = platform::Event::Type::Posted;
    wake.posted_kind = platform::posted::key_pushed;
    m_loop.post(wake);
}

void Console::set_braille_keyboard_mode(int mode)
{
    auto tones = m_keyboard.braille().set_mode(mode);
    for (int frequency : tones) {
        play_tone(frequency);
        m_loop.delay(braille_tone_ms);
    }
    if (!tones.empty())
        stop_tone();
}

void Console::handle_event(const platform::Event& event)
{
    using Type = platform::Event::Type;
    if (event.type == Type::CloseRequested)
        close_console();
    if (event.type == Type::FocusGained) {
        m_focused = true;
        m_keyboard.focus_gained(event.button_down);
        return;
    }
    if (event.type == Type::FocusLost) {
        m_focused = false;
        return;
    }
    if (!m_input_enabled)
        return;
    switch (event.type) {
    case Type::KeyPress: {
        auto outcome = m_keyboard.key_press(event.key, event.modifiers);
        if (outcome.close)
            close_console();
        if (outcome.braille_mode)
            set_braille_keyboard_mode(*outcome.braille_mode);
        break;
    }
    case Type::KeyRelease:
        m_keyboard.key_release(event.key, event.modifiers);
        break;
    case Type::Character:
        m_keyboard.character(event.character);
        break;
    case Type::MouseButtonPress:
        m_keyboard.mouse_button(event.button);
        break;
    case Type::MouseWheel:
        m_keyboard.mouse_wheel(event.wheel);
        break;
    default:
        break;
    }
}

void Console::close_console()
{
    m_keys.clear();
    m_loop.request_end(exit_closed);
}

void Console::enter_program_end()
{
    if (!m_open)
        return;
    set_title("Programa terminado");
    m_keyboard.set_break_checking(false);
    m_input_enabled = false;
}

}
