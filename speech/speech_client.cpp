// SPDX-License-Identifier: GPL-3.0-or-later
// SpeechClient: the speaker: texts, spelling, characters and sounds, through the built-in synthesiser or the engine session.
#include "speech/speech_client.h"

#include "audio/sound_output.h"
#include "base/text_encoding.h"
#include "interpreter/text.h"
#include "platform/clock.h"
#include "platform/path_map.h"
#include "settings/settings.h"
#include "speech/console_port.h"
#include "speech/number_words.h"
#include "speech/recorded_words.h"
#include "speech/speech_cues.h"
#include "speech/speech_log.h"

#include <filesystem>

namespace speech {

namespace {

bool is_word_letter(char c)
{
    auto code = static_cast<unsigned char>(c);
    return interpreter::is_ascii_letter(c) || code >= 128;
}

std::string with_backslash(std::string directory)
{
    if (!directory.empty() && directory.back() != '\\')
        directory += '\\';
    return directory;
}

}

SpeechClient::SpeechClient(Parts parts)
    : m_port(parts.port)
    , m_wave(parts.wave)
    , m_settings(parts.settings)
    , m_paths(parts.paths)
    , m_clock(parts.clock)
    , m_engine(parts.engine)
    , m_click(click_sound())
{
}

SpeechClient::~SpeechClient()
{
    m_engine.close();
}

void SpeechClient::log(std::string_view kind, std::string_view text)
{
    if (!m_log)
        return;
    if (kind == "speak")
        m_log->speak_text(text);
    else if (kind == "spell")
        m_log->spell_text(text);
    else if (kind == "char")
        m_log->speak_char(text.empty() ? '\0' : text[0]);
    else
        m_log->play_sound(text);
}

void SpeechClient::load_speed(int level)
{
    m_speed = load_speed_settings(m_settings, level);
    m_synth.set_timing({ m_speed.unit_cut_samples, m_speed.unit_keep_samples, m_speed.word_gap_samples });
    m_wave.speech_cutting = m_speed.speech_cutting;
    m_wave.fast_playback = m_speed.fast_playback;
}

void SpeechClient::init_speech(int speed, std::string_view script_sound_directory)
{
    m_settings.set_legacy(settings::legacy_enabled(m_settings));
    m_speed_level = speed > 0 ? speed : settings::speech_speed(m_settings);
    load_speed(m_speed_level);

    m_letters_dir = settings::builtin_letters_directory(m_settings);
    std::string diphone_dir = settings::diphone_directory(m_settings);
    int result = m_synth.open_builtin_synth(
        m_paths, m_letters_dir, diphone_dir,
        [this](std::span<const uint8_t> image) { play_wave_image(image); },
        [this] { return m_port.key_waiting(); });
    if (result != BuiltinSynthesiser::Ready && !m_voice_optional) {
        m_port.write_text("Erro de inicializa\xE7\xE3o: " + std::to_string(result));
        m_port.end_line();
        m_port.write_text("Banco de dados de voz: " + std::string(database_name));
        m_port.end_line();
        // Without a voice nothing can be spoken: the screen must say where
        // the voice was looked for, how to put it there, and what the wait
        // that follows is for.
        m_port.write_text("Procurado em: " + base::utf8_to_windows1252(m_paths.to_system(diphone_dir)));
        m_port.end_line();
        m_port.write_text("Para instalar a voz: scripts/install-voice (na pasta do Corvante)");
        m_port.end_line();
        m_port.write_text("Tecle Enter para terminar.");
        m_port.end_line();
        m_synth.close_builtin_synth();
        while (!m_port.read_key_press().is(13) && !m_port.program_ending()) {
        }
        m_port.end_program(2);
        return;
    }

    m_script_sound_dir = with_backslash(std::string(script_sound_directory));
    m_named_sound_dir = with_backslash(settings::letters_directory(m_settings));
    load_speed(m_speed_level);

    m_engine.close();
    if (settings::uses_installed_engine(m_settings)) {
        open_engine(configured_engine_choice(m_settings));
    }
}

void SpeechClient::open_engine(const EngineChoice& choice)
{
    m_engine.open(choice, [this](int milliseconds) { sleep_ms(milliseconds); });
}

void SpeechClient::reconfigure_speech(int speed, bool use_engine, int type, int pitch, int engine_speed, int voice)
{
    stop_speech();
    m_engine.close();
    m_speed_level = speed;
    load_speed(speed);
    if (!use_engine)
        return;
    if (voice == 0)
        voice = settings::engine_voice(m_settings);
    open_engine({ voice, engine_speed, pitch, type });
}

void SpeechClient::shutdown_speech()
{
    wait_while_busy();
    stop_speech();
    m_engine.close();
    m_synth.close_builtin_synth();
}

bool SpeechClient::speech_busy()
{
    if (m_port.key_waiting()) {
        stop_speech();
        return false;
    }
    if (m_engine.lost())
        m_engine.close(); // its daemon went away: the built-in voice takes over
    return m_wave.wave_busy() || m_engine.busy();
}

void SpeechClient::stop_speech()
{
    m_wave.wave_stop();
    m_abort = true;
    m_engine.stop();
    m_port.post_wake_up();
}

void SpeechClient::wait_while_busy()
{
    while (speech_busy())
        m_wave.wait_event(50);
}

void SpeechClient::let_engine_finish()
{
    m_engine.wait_after_speech([this] { wait_while_busy(); });
}

void SpeechClient::sleep_ms(int milliseconds)
{
    uint64_t deadline = m_clock.monotonic_ms() + static_cast<uint64_t>(std::max(0, milliseconds));
    // A wait may return early (an event came); the loop sleeps the rest.
    // The bound on passes only guards against a clock that never moves.
    for (int pass = 0; pass < 10000; ++pass) {
        uint64_t now = m_clock.monotonic_ms();
        if (now >= deadline)
            return;
        m_wave.wait_event(static_cast<int>(deadline - now));
    }
}

void SpeechClient::pause_ms(int milliseconds)
{
    for (int step = 0; step < milliseconds / 50; ++step) {
        if (!m_port.key_waiting())
            sleep_ms(50);
    }
}

void SpeechClient::speak_text(std::string_view text)
{
    // After the end of the program is asked for, the statement that was
    // running finishes without a voice, as the program would have.
    if (m_port.program_ending())
        return;
    log("speak", text);
    if (m_engine.is_open()) {
        wait_while_busy();
        if (!m_port.key_waiting())
            m_engine.speak(text);
        // An engine lost on the way leaves its text to the built-in voice.
        if (!m_engine.lost())
            return;
        m_engine.close();
        if (m_port.key_waiting())
            return;
    }
    speak_builtin(text);
}

void SpeechClient::speak_builtin(std::string_view original)
{
    std::string text(original);
    text += ' ';
    m_abort = false;
    // -1 never equals a character, so after a word or a number the next
    // character starts a run of its own.
    int last = ' ';
    int count = 0;
    std::string_view rest = text;
    while (!m_abort && !rest.empty()) {
        if (m_port.key_waiting()) {
            stop_speech();
            return;
        }
        while (!rest.empty() && rest[0] == '0') {
            play_named("_zero");
            rest.remove_prefix(1);
        }
        if (rest.empty())
            break;
        char first = rest[0];
        if (first >= '1' && first <= '9') {
            size_t length = 0;
            while (length < rest.size() && (interpreter::is_digit(rest[length]) || rest[length] == '-'))
                ++length;
            auto run = rest.substr(0, length);
            if (run.find('-') != std::string_view::npos || length >= 7) {
                spell(run);
            } else {
                play_number_words(number_to_words(std::stoull(std::string(run))), Gender::Masculine);
            }
            rest.remove_prefix(length);
            last = -1;
            continue;
        }
        if (is_word_letter(first)) {
            size_t length = 0;
            while (length < rest.size() && is_word_letter(rest[length]))
                ++length;
            auto run = rest.substr(0, length);
            if (interpreter::upper_text(run) == "WWW") {
                spell(run);
            } else if (m_synth.is_open()) {
                m_synth.synthesise_phonemes(m_synth.translate_to_phonemes(run.substr(0, 999)), false);
            }
            rest.remove_prefix(length);
            // A hyphenated word is two words, without the hyphen's sound.
            if (rest.size() >= 2 && rest[0] == '-' && is_word_letter(rest[1]))
                rest.remove_prefix(1);
            last = -1;
            continue;
        }
        char c = first;
        int code = static_cast<unsigned char>(c);
        if (code != last) {
            last = code;
            count = 0;
        } else if (++count > 3) {
            play_click();
            c = ' ';
        }
        if (c == '-') {
            char next = rest.size() < 3 ? ' ' : rest[1];
            if (next == ' ' || next == '-')
                punctuation(rest);
            else if (interpreter::is_digit(next))
                play_named("_MENOS");
            else
                speak_character('-');
        } else if (c != ' ' && rest.starts_with("://")) {
            spell(std::string_view(&c, 1));
        } else {
            switch (c) {
            case '(': case ')': case ',': case '.': case ':': case ';':
                punctuation(rest);
                break;
            case ' ': case '\r': case '\n':
                break;
            case '\t':
                play_named("_FON9");
                break;
            default:
                if (!m_port.key_waiting())
                    speak_character(c);
                break;
            }
        }
        rest.remove_prefix(1);
    }
}

void SpeechClient::spell_text(std::string_view text)
{
    if (m_port.program_ending())
        return;
    log("spell", text);
    spell(text);
}

void SpeechClient::spell(std::string_view text)
{
    for (char c : text) {
        if (m_port.key_waiting())
            return;
        if (c == '\t')
            play_named("_FON9");
        else
            speak_character(c);
    }
}

void SpeechClient::speak_char(char c)
{
    if (m_port.program_ending())
        return;
    log("char", std::string_view(&c, 1));
    speak_character(c);
}

void SpeechClient::speak_character(char c)
{
    let_engine_finish();
    int code = static_cast<unsigned char>(c);
    if ((code >= 1 && code <= 11) || (code >= 13 && code <= 31))
        return;
    std::string file = m_letters_dir + "_" + std::to_string(code) + ".wav";
    if (!file_exists(file))
        file = m_letters_dir + "_unknown.wav";
    m_wave.play_wave_file(file);
}

std::string SpeechClient::sound_path(std::string_view name) const
{
    const std::string& directory = !name.empty() && name[0] == '_' ? m_named_sound_dir : m_script_sound_dir;
    return directory + std::string(name) + ".wav";
}

bool SpeechClient::file_exists(const std::string& windows_path) const
{
    std::error_code error;
    return std::filesystem::is_regular_file(m_paths.to_system(windows_path), error);
}

bool SpeechClient::sound_exists(std::string_view name)
{
    return file_exists(sound_path(name));
}

void SpeechClient::play_sound(std::string_view name)
{
    if (m_port.program_ending())
        return;
    log("sound", name);
    play_named(name);
}

void SpeechClient::play_named(std::string_view name)
{
    let_engine_finish();
    m_wave.play_wave_file(sound_path(name));
}

void SpeechClient::play_wave_image(std::span<const uint8_t> image)
{
    let_engine_finish();
    m_wave.play_wave_image(image);
    wait_while_busy();
}

void SpeechClient::punctuation(std::string_view text)
{
    if (text.empty() || m_port.key_waiting())
        return;
    wait_while_busy();
    char c = text[0];
    speak_character(c);
    bool space_next = text.size() > 1 && text[1] == ' ';
    switch (c) {
    case '(': case ')': case ':': case ';':
        pause_ms(m_speed.colon_pause_ms);
        break;
    case ',': case '-':
        if (space_next)
            pause_ms(m_speed.comma_pause_ms);
        break;
    case '.':
        if (space_next)
            pause_ms(m_speed.full_stop_pause_ms);
        break;
    }
}

void SpeechClient::play_number_words(std::string_view words, Gender gender)
{
    play_joined_recordings(m_paths, m_letters_dir, number_sound_names(words, gender),
        [this](std::span<const uint8_t> image) { play_wave_image(image); });
}

void SpeechClient::play_samples_and_wait(const std::vector<uint8_t>& samples)
{
    m_wave.play_samples(samples, 11025, 1, 8);
    wait_while_busy();
}

void SpeechClient::play_click()
{
    if (m_port.program_ending())
        return;
    log("sound", click_log_name);
    let_engine_finish();
    bool cutting = m_wave.speech_cutting;
    m_wave.speech_cutting = false;
    play_samples_and_wait(m_click);
    m_wave.speech_cutting = cutting;
}


}
