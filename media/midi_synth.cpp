// SPDX-License-Identifier: GPL-3.0-or-later
// MidiSynth: a General MIDI synthesiser that renders short messages into a sound stream.
#include "media/midi_synth.h"


#include <algorithm>

#ifdef CORVANTE_HAVE_FLUIDSYNTH
#include <dlfcn.h>
#include <fluidsynth.h>
#include <malloc.h>
#endif

namespace media {

using base::Error;

#ifdef CORVANTE_HAVE_FLUIDSYNTH

// The library's functions, looked up when a synthesiser is made. The header
// gives their types; nothing is linked, so the program starts without the
// library and its dependencies in memory.
struct MidiSynth::Library {
    void* handle = nullptr;
    decltype(&::new_fluid_settings) new_settings = nullptr;
    decltype(&::delete_fluid_settings) delete_settings = nullptr;
    decltype(&::fluid_settings_setnum) set_number = nullptr;
    decltype(&::fluid_settings_setint) set_int = nullptr;
    decltype(&::new_fluid_synth) new_synth = nullptr;
    decltype(&::delete_fluid_synth) delete_synth = nullptr;
    decltype(&::fluid_synth_sfload) load_soundfont = nullptr;
    decltype(&::fluid_synth_noteon) note_on = nullptr;
    decltype(&::fluid_synth_noteoff) note_off = nullptr;
    decltype(&::fluid_synth_program_change) program_change = nullptr;
    decltype(&::fluid_synth_cc) control_change = nullptr;
    decltype(&::fluid_synth_pitch_bend) pitch_bend = nullptr;
    decltype(&::fluid_synth_channel_pressure) channel_pressure = nullptr;
    decltype(&::fluid_synth_key_pressure) key_pressure = nullptr;
    decltype(&::fluid_synth_system_reset) system_reset = nullptr;
    decltype(&::fluid_synth_write_s16) write_s16 = nullptr;
    decltype(&::fluid_set_log_function) set_log_function = nullptr;

    ~Library()
    {
        if (handle)
            dlclose(handle);
    }

    base::Result<void> load()
    {
        // The library stays mapped after dlclose: the libraries it brings
        // along do not all support being unloaded.
        handle = dlopen("libfluidsynth.so.3", RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
        if (!handle)
            return Error { "the MIDI synthesiser library cannot be loaded" };
        bool found = true;
        auto look_up = [&](auto& function, const char* name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(handle, name));
            found = found && function;
        };
        look_up(new_settings, "new_fluid_settings");
        look_up(delete_settings, "delete_fluid_settings");
        look_up(set_number, "fluid_settings_setnum");
        look_up(set_int, "fluid_settings_setint");
        look_up(new_synth, "new_fluid_synth");
        look_up(delete_synth, "delete_fluid_synth");
        look_up(load_soundfont, "fluid_synth_sfload");
        look_up(note_on, "fluid_synth_noteon");
        look_up(note_off, "fluid_synth_noteoff");
        look_up(program_change, "fluid_synth_program_change");
        look_up(control_change, "fluid_synth_cc");
        look_up(pitch_bend, "fluid_synth_pitch_bend");
        look_up(channel_pressure, "fluid_synth_channel_pressure");
        look_up(key_pressure, "fluid_synth_key_pressure");
        look_up(system_reset, "fluid_synth_system_reset");
        look_up(write_s16, "fluid_synth_write_s16");
        look_up(set_log_function, "fluid_set_log_function");
        if (!found)
            return Error { "the MIDI synthesiser library lacks a function" };
        // The library's warnings would land on the console's terminal.
        for (int level : { FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG })
            set_log_function(level, nullptr, nullptr);
        return {};
    }
};

base::Result<std::unique_ptr<MidiSynth>> MidiSynth::create(SoundMixer& mixer, const std::string& soundfont_path)
{
    std::unique_ptr<MidiSynth> synth(new MidiSynth);
    synth->m_library = std::make_unique<Library>();
    if (auto loaded = synth->m_library->load(); !loaded)
        return loaded.error();
    auto& library = *synth->m_library;
    auto* settings = library.new_settings();
    if (!settings)
        return Error { "the MIDI synthesiser cannot start" };
    synth->m_settings = settings;
    library.set_number(settings, "synth.sample-rate", midi_rate);
    // One thread renders, the event loop's; no reverb or chorus tails, so
    // that a note ends when it is released.
    library.set_int(settings, "synth.cpu-cores", 1);
    library.set_int(settings, "synth.reverb.active", 0);
    library.set_int(settings, "synth.chorus.active", 0);
    auto* fluid = library.new_synth(settings);
    if (!fluid)
        return Error { "the MIDI synthesiser cannot start" };
    synth->m_synth = fluid;
    if (library.load_soundfont(fluid, soundfont_path.c_str(), 1) == FLUID_FAILED)
        return Error { "cannot load the sound bank '" + soundfont_path + "'" };
    // The output asks for sound as it needs it, so a note starts within one
    // of its blocks of the message that starts it.
    MidiSynth* owner = synth.get();
    synth->m_stream = mixer.open_stream({ midi_rate, 2 }, [owner](std::span<int16_t> samples) {
        int frames = static_cast<int>(samples.size() / 2);
        owner->m_library->write_s16(static_cast<fluid_synth_t*>(owner->m_synth), frames, samples.data(), 0, 2, samples.data(), 1, 2);
        // The library dithers, so silence is a sample or two either side of 0.
        bool silent = std::ranges::all_of(samples, [](int16_t sample) { return sample >= -2 && sample <= 2; });
        owner->m_silent_frames = silent ? owner->m_silent_frames + static_cast<size_t>(frames) : 0;
        return static_cast<size_t>(frames);
    });
    if (!synth->m_stream)
        return Error { "the sound output cannot take another stream" };
    return synth;
}

MidiSynth::~MidiSynth()
{
    m_stream.reset();
    if (m_synth)
        m_library->delete_synth(static_cast<fluid_synth_t*>(m_synth));
    if (m_settings)
        m_library->delete_settings(static_cast<fluid_settings_t*>(m_settings));
    // The sound bank's samples were many small blocks; hand the freed
    // memory back now rather than keep it for allocations that will not come.
    malloc_trim(0);
}

bool MidiSynth::send_short_message(uint32_t message)
{
    auto* synth = static_cast<fluid_synth_t*>(m_synth);
    auto& library = *m_library;
    int status = static_cast<int>(message & 0xFF);
    int first = static_cast<int>((message >> 8) & 0x7F);
    int second = static_cast<int>((message >> 16) & 0x7F);
    int channel = status & 0x0F;
    int result = FLUID_OK;
    switch (status & 0xF0) {
    case 0x80:
        result = library.note_off(synth, channel, first);
        break;
    case 0x90:
        result = second == 0 ? library.note_off(synth, channel, first) : library.note_on(synth, channel, first, second);
        // Releasing a note that is not sounding is no fault.
        if (second == 0)
            result = FLUID_OK;
        break;
    case 0xA0:
        result = library.key_pressure(synth, channel, first, second);
        break;
    case 0xB0:
        result = library.control_change(synth, channel, first, second);
        break;
    case 0xC0:
        result = library.program_change(synth, channel, first);
        break;
    case 0xD0:
        result = library.channel_pressure(synth, channel, first);
        break;
    case 0xE0:
        result = library.pitch_bend(synth, channel, first + 128 * second);
        break;
    case 0xF0:
        if (status == 0xFF)
            result = library.system_reset(synth);
        break;
    default:
        // A data byte where a status belongs means nothing to a synthesiser.
        break;
    }
    if (m_paused) {
        m_paused = false;
        m_silent_frames = 0;
        m_stream->set_paused(false);
    }
    return result != FLUID_FAILED;
}

void MidiSynth::pump()
{
    if (!m_paused && m_silent_frames >= static_cast<size_t>(midi_rate / 2)) {
        m_paused = true;
        m_stream->set_paused(true);
    }
}

#else

struct MidiSynth::Library { };

base::Result<std::unique_ptr<MidiSynth>> MidiSynth::create(SoundMixer&, const std::string&)
{
    return Error { "this build has no MIDI synthesiser" };
}

MidiSynth::~MidiSynth() = default;
bool MidiSynth::send_short_message(uint32_t) { return false; }
void MidiSynth::pump() { }

#endif

}
