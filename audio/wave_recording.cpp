// SPDX-License-Identifier: GPL-3.0-or-later
// WaveRecording: the wave file of --audio, complete whenever the program stops.
#include "audio/wave_recording.h"

#include <array>

namespace audio {

base::Result<std::unique_ptr<WaveRecording>> WaveRecording::create(const std::string& path, PcmFormat format)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return base::Error { "cannot create '" + path + "'" };
    std::unique_ptr<WaveRecording> recording(new WaveRecording(file));
    recording->write_header(format, 0);
    if (std::fflush(file) != 0)
        return base::Error { "cannot write '" + path + "'" };
    return recording;
}

WaveRecording::WaveRecording(std::FILE* file)
    : m_file(file)
{
}

WaveRecording::~WaveRecording()
{
    std::fclose(m_file);
}

void WaveRecording::write_header(PcmFormat format, size_t data_bytes)
{
    std::array<uint8_t, wave_header_bytes> header {};
    write_wave_header(header, format, data_bytes);
    std::fseek(m_file, 0, SEEK_SET);
    std::fwrite(header.data(), 1, header.size(), m_file);
}

void WaveRecording::recording_grew(PcmFormat format, std::span<const uint8_t> samples)
{
    if (samples.size() < m_written)
        m_written = 0;
    write_header(format, samples.size());
    std::fseek(m_file, static_cast<long>(wave_header_bytes + m_written), SEEK_SET);
    std::fwrite(samples.data() + m_written, 1, samples.size() - m_written, m_file);
    m_written = samples.size();
    std::fflush(m_file);
}

}
