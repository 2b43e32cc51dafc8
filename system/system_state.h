// SPDX-License-Identifier: GPL-3.0-or-later
// SystemState: what the process, wait, picture and sensor commands keep between statements.
#pragma once

#include "interpreter/captured_output.h"
#include "platform/desktop.h"
#include "platform/parallel_port.h"
#include "platform/process_launcher.h"
#include "system/captured_child.h"
#include "system/picture_sink.h"
#include "system/sensor_matrix.h"

#include <string>

namespace audio {
class SoundOutput;
}

namespace sys {

class ConsoleHandover;

// Built by app/ with the backends it chose; reached by the commands through
// the runtime's subsystems, and by LE "CONSOLE" as the captured output.
class SystemState final : public interpreter::CapturedOutput {
public:
    SystemState(platform::ProcessLauncher& launcher, platform::Desktop& desktop, platform::ParallelPortOpener& ports)
        : m_launcher(launcher)
        , m_desktop(desktop)
        , m_sensor(ports)
    {
    }
    SystemState(const SystemState&) = delete;
    SystemState& operator=(const SystemState&) = delete;

    std::string read_captured_output() override { return m_captured.read_output(m_launcher); }

    platform::ProcessLauncher& launcher() { return m_launcher; }
    platform::Desktop& desktop() { return m_desktop; }
    CapturedChild& captured() { return m_captured; }
    SensorMatrix& sensor() { return m_sensor; }

    // The console's picture; kept here until a console that draws is set.
    PictureSink& pictures() { return m_pictures ? *m_pictures : m_kept_picture; }
    void set_pictures(PictureSink* sink) { m_pictures = sink; }
    const KeptPicture& kept_picture() const { return m_kept_picture; }

    // Set by the terminal console: a plain EXECUTA hands it the terminal.
    ConsoleHandover* handover() { return m_handover; }
    void set_handover(ConsoleHandover* handover) { m_handover = handover; }

    // Tones and recorded messages; without one they only take their time.
    audio::SoundOutput* sound() { return m_sound; }
    void set_sound(audio::SoundOutput* sound) { m_sound = sound; }

    // The name of drive C's temporary picture, which IMAGEM writes a decoded
    // JPEG to.
    static constexpr std::string_view picture_temporary_file = "c:\\$$$.bmp";

private:
    platform::ProcessLauncher& m_launcher;
    platform::Desktop& m_desktop;
    CapturedChild m_captured;
    SensorMatrix m_sensor;
    KeptPicture m_kept_picture;
    PictureSink* m_pictures = nullptr;
    ConsoleHandover* m_handover = nullptr;
    audio::SoundOutput* m_sound = nullptr;
};

}
