// SPDX-License-Identifier: GPL-3.0-or-later
// WaveOutput: every sound of the program, through a ring of 16 blocks of 8192 bytes and a mixer.
#include "audio/wave_output.h"

#include "audio/event_port.h"
#include "audio/speech_cutting.h"
#include "audio/wave_file.h"
#include "interpreter/text.h"
#include "platform/path_map.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>

namespace audio {

namespace {

// Formats come from files: anything a sound card cannot take is refused.
bool plausible(int rate, int channels, int bits)
{
    return rate >= 1000 && rate <= 192000 && (channels == 1 || channels == 2) && (bits == 8 || bits == 16);
}

// A waiting key ends even the ring's 2-second wait for a free slot.
constexpr int slot_wait_ms = 2000;

// Mixed blocks of about 46 ms, four queued at a time: short enough that a
// stopped ring or a new stream is heard at once, long enough for the
// event loop's pace.
constexpr size_t mix_block_frames = 2048;
constexpr size_t mix_blocks_ahead = 4;
// Mixed blocks are tagged from here up, apart from the ring's slots 1..16.
constexpr int first_mix_tag = 1000;

// The file handle closes on every path out.
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}

WaveOutput::WaveOutput(platform::AudioDevice& device, EventPort& port, const platform::PathMap& paths)
    : m_device(device)
    , m_port(port)
    , m_paths(paths)
    , m_read_buffer(block_bytes)
    , m_next_mix_tag(first_mix_tag)
{
    for (auto& slot : m_slots)
        slot.resize(block_bytes);
}

WaveOutput::~WaveOutput()
{
    if (m_open) {
        m_device.reset();
        m_device.close();
    }
}

void WaveOutput::choose_device(std::string_view device_name)
{
    m_device_index = -1;
    if (device_name.empty())
        return;
    auto wanted = interpreter::upper_text(device_name);
    auto names = m_device.device_names();
    for (size_t i = 0; i < names.size(); ++i) {
        if (interpreter::upper_text(interpreter::trim(names[i])) == wanted) {
            m_device_index = static_cast<int>(i);
            return;
        }
    }
}

std::vector<std::string> WaveOutput::device_names()
{
    auto names = m_device.device_names();
    for (auto& name : names)
        name = std::string(interpreter::trim(name));
    return names;
}

void WaveOutput::pump()
{
    m_device.poll();
    for (int tag : m_mailbox.take())
        on_block_played(tag);
    if (m_mixing)
        mix_blocks();
}

void WaveOutput::wait_event(int timeout_ms)
{
    pump();
    int due = m_device.next_report_ms();
    if (due >= 0 && due < timeout_ms)
        timeout_ms = due;
    m_port.wait_event(std::max(0, timeout_ms));
    pump();
}

void WaveOutput::on_block_played(int tag)
{
    if (tag >= first_mix_tag) {
        // Reports come in the order the blocks were queued; one left over
        // from an earlier device opening matches nothing.
        while (!m_mix_blocks.empty() && m_mix_blocks.front().tag <= tag) {
            for (size_t i = 0; i < m_mix_blocks.front().finished_slots.size() && m_queued > 0; ++i)
                --m_queued;
            m_mix_blocks.pop_front();
        }
        m_mixer.block_heard(tag);
        return;
    }
    if (m_mixing || tag < 1 || tag > ring_slots || m_queued == 0)
        return;
    --m_queued;
}

bool WaveOutput::stop_wanted()
{
    return stop_on_key && m_port.key_waiting();
}

bool WaveOutput::wave_busy()
{
    pump();
    if (stop_wanted() || m_queued == 0)
        wave_stop();
    return m_queued > 0;
}

void WaveOutput::wave_stop()
{
    if (m_mixing) {
        // What is already mixed plays out with the streams; the rest of the
        // ring is dropped.
        m_pending.clear();
        for (auto& block : m_mix_blocks)
            block.finished_slots.clear();
        m_queued = 0;
        pump();
        return;
    }
    if (m_open && m_queued > 0)
        m_device.reset();
    pump();
}

int WaveOutput::ensure_open(platform::PcmFormat format)
{
    if (m_mixing) {
        // The mixer converts every format; once no stream is left and all
        // is heard, the device goes back to the ring's own formats.
        if (m_mixer.has_streams() || !m_pending.empty() || !m_mix_blocks.empty())
            return 0;
        m_device.close();
        m_open = false;
        m_mixing = false;
    }
    if (m_open && m_format == format)
        return 0;
    if (m_open) {
        while (wave_busy())
            wait_event(50);
        m_device.close();
        m_open = false;
        m_queued = 0;
    }
    if (!open_device(format))
        return 2; // the device cannot be opened
    return 0;
}

base::Result<void> WaveOutput::open_device(platform::PcmFormat format)
{
    auto opened = m_device.open(m_device_index, format, m_mailbox);
    if (!opened && m_device_index >= 0)
        opened = m_device.open(-1, format, m_mailbox);
    if (!opened)
        return opened;
    m_open = true;
    m_format = format;
    return {};
}

int WaveOutput::start_mixing()
{
    if (m_mixing)
        return 0;
    pump();
    // Ring blocks queued on the device in their own format are taken back
    // and mixed instead; the one being heard starts again from its start.
    std::vector<std::pair<int, std::vector<uint8_t>>> unheard;
    for (int back = m_queued - 1; back >= 0; --back) {
        int slot = (m_last_slot - 1 - back + ring_slots) % ring_slots;
        auto& data = m_slots[static_cast<size_t>(slot)];
        unheard.emplace_back(slot + 1, std::vector<uint8_t>(data.begin(), data.begin() + static_cast<long>(m_slot_lengths[static_cast<size_t>(slot)])));
    }
    platform::PcmFormat ring_format = m_format;
    if (m_open) {
        m_device.reset();
        pump();
        m_device.close();
        m_open = false;
    }
    m_queued = 0;
    if (!open_device(mix_format))
        return 2;
    m_mixing = true;
    // The mix buffer is made on first use: a run without streams never
    // pays for it.
    m_mix.resize(mix_block_frames * 2);
    for (auto& [slot, data] : unheard) {
        m_pending.push_back({ slot, convert_to_mix(data, ring_format), 0 });
        ++m_queued;
    }
    mix_blocks();
    return 0;
}

void WaveOutput::mix_blocks()
{
    while (m_mix_blocks.size() < mix_blocks_ahead && (!m_pending.empty() || m_mixer.has_sound())) {
        std::fill(m_mix.begin(), m_mix.end(), 0);
        MixBlock block { m_next_mix_tag, {} };
        size_t filled = 0;
        while (filled < m_mix.size() && !m_pending.empty()) {
            auto& pending = m_pending.front();
            size_t take = std::min(m_mix.size() - filled, pending.frames.size() - pending.position);
            for (size_t i = 0; i < take; ++i)
                m_mix[filled + i] += pending.frames[pending.position + i];
            filled += take;
            pending.position += take;
            if (pending.position >= pending.frames.size()) {
                block.finished_slots.push_back(pending.slot);
                m_pending.pop_front();
            }
        }
        size_t frames = std::max(filled / 2, m_mixer.mix_into(m_mix, block.tag));
        if (frames == 0) {
            // Streams that have just run dry give nothing to play; a ring
            // block of no samples still needs its report.
            if (block.finished_slots.empty())
                continue;
            frames = 1;
        }
        m_next_mix_tag = m_next_mix_tag == std::numeric_limits<int>::max() ? first_mix_tag : m_next_mix_tag + 1;
        m_mix_bytes.resize(frames * 4);
        for (size_t i = 0; i < frames * 2; ++i) {
            auto value = static_cast<uint16_t>(static_cast<int16_t>(std::clamp<int32_t>(m_mix[i], -32768, 32767)));
            m_mix_bytes[i * 2] = static_cast<uint8_t>(value);
            m_mix_bytes[i * 2 + 1] = static_cast<uint8_t>(value >> 8);
        }
        m_mix_blocks.push_back(std::move(block));
        m_device.queue_block(m_mix_bytes, m_mix_blocks.back().tag);
    }
}

// The handle of a stream: its state is the mixer's, and its end closes it.
class WaveOutput::MixedStream final : public Stream {
public:
    MixedStream(WaveOutput& output, std::shared_ptr<Mixer::StreamState> state)
        : m_output(output)
        , m_state(std::move(state))
    {
    }
    ~MixedStream() override
    {
        m_state->closed = true;
        m_state->source = nullptr;
        m_output.m_mixer.drop_closed();
    }
    MixedStream(const MixedStream&) = delete;
    MixedStream& operator=(const MixedStream&) = delete;

    void set_paused(bool paused) override
    {
        m_state->paused = paused;
        if (!paused)
            m_output.pump();
    }
    void set_volume(int left, int right) override
    {
        m_state->volume_left = std::clamp(left, 0, 1000);
        m_state->volume_right = std::clamp(right, 0, 1000);
    }
    void stop() override { m_state->stopped = true; }
    bool playing() const override
    {
        return !m_state->stopped && !(m_state->drained && m_state->in_flight.empty());
    }
    uint64_t frames_heard() const override { return m_state->frames_heard; }

private:
    WaveOutput& m_output;
    std::shared_ptr<Mixer::StreamState> m_state;
};

std::unique_ptr<Stream> WaveOutput::open_stream(StreamFormat format, StreamSource source)
{
    if (format.rate < 1000 || format.rate > 192000 || (format.channels != 1 && format.channels != 2))
        return nullptr;
    if (start_mixing() != 0)
        return nullptr;
    auto stream = std::make_unique<MixedStream>(*this, m_mixer.add(format, std::move(source)));
    mix_blocks();
    return stream;
}

int WaveOutput::play_samples(std::span<const uint8_t> data, int rate, int channels, int bits)
{
    if (!plausible(rate, channels, bits))
        return -1;
    if (fast_playback)
        rate = fast_playback_rate(rate);
    bool cutting = speech_cutting && channels == 1;
    platform::PcmFormat format { rate, (cutting && bits == 16) ? 8 : bits, channels };
    if (int error = ensure_open(format))
        return error;

    std::vector<uint8_t> block;
    size_t offset = 0;
    while (offset < data.size()) {
        while (m_queued >= ring_slots) {
            if (stop_wanted()) {
                wave_stop();
                return 0;
            }
            wait_event(10);
        }
        if (stop_wanted()) {
            wave_stop();
            return 0;
        }
        size_t take = std::min(block_bytes, data.size() - offset);
        block.assign(data.begin() + static_cast<long>(offset), data.begin() + static_cast<long>(offset + take));
        offset += take;
        size_t length = block.size();
        if (cutting) {
            if (bits == 16)
                length = reduce_to_8_bits(block);
            length = cut_speech_block(std::span(block.data(), length), rate);
        }
        if (length > 0)
            queue_block(std::span(block.data(), length), format);
    }
    return 0;
}

void WaveOutput::queue_block(std::span<const uint8_t> data, platform::PcmFormat format)
{
    if (m_queued >= ring_slots) {
        // The wait is bounded: a device that stopped reporting cannot hang
        // the program; the block is dropped instead.
        pump();
        int waited = 0;
        while (m_queued >= ring_slots && waited < slot_wait_ms) {
            wait_event(50);
            waited += 50;
        }
        if (m_queued >= ring_slots)
            return;
    }
    ++m_queued;
    m_last_slot = m_last_slot % ring_slots + 1;
    auto& slot = m_slots[static_cast<size_t>(m_last_slot - 1)];
    size_t length = std::min(data.size(), block_bytes);
    std::memcpy(slot.data(), data.data(), length);
    if (format.channels == 1 && format.bits == 8) {
        // Very short blocks are padded with silence, and every block but a
        // full one ends on silence, so that joined sounds do not click.
        if (length != block_bytes && length > 0)
            slot[length - 1] = 128;
        if (length <= 255) {
            std::fill(slot.begin() + static_cast<long>(length), slot.begin() + 256, uint8_t { 128 });
            length = 256;
        }
    }
    m_slot_lengths[static_cast<size_t>(m_last_slot - 1)] = length;
    if (m_mixing) {
        m_pending.push_back({ m_last_slot, convert_to_mix(std::span(slot.data(), length), format), 0 });
        mix_blocks();
        return;
    }
    m_device.queue_block(std::span<const uint8_t>(slot.data(), length), m_last_slot);
}

int WaveOutput::play_wave_file(std::string_view windows_path)
{
    if (stop_wanted()) {
        wave_stop();
        return 0;
    }
    std::string path(windows_path);
    if (speech_cutting) {
        // A recording made for fast speech replaces the cut one.
        size_t slash = path.find_last_of('\\');
        std::string directory = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
        std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
        std::string variant = m_paths.to_system(directory + "rapido\\" + name);
        std::error_code error;
        if (std::filesystem::is_regular_file(variant, error)) {
            speech_cutting = false;
            int result = play_file(variant);
            speech_cutting = true;
            return result;
        }
    }
    return play_file(m_paths.to_system(path));
}

int WaveOutput::play_file(const std::string& system_path)
{
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(system_path.c_str(), "rb"));
    if (!file)
        return -1;
    auto layout = read_wave_layout(file.get());
    if (!layout)
        return -1;
    auto [rate, bits, channels] = layout->format;
    if (!plausible(rate, channels, bits))
        return -1;

    int result = 0;
    size_t remaining = layout->data_size;
    while (remaining > 0) {
        if (stop_wanted())
            break;
        // No last piece is shorter than 256 bytes, the shortest block
        // the ring plays as it is.
        size_t piece = (remaining > block_bytes && remaining < block_bytes + 256) ? block_bytes - 256 : std::min(remaining, block_bytes);
        size_t got = std::fread(m_read_buffer.data(), 1, piece, file.get());
        if (got == 0)
            break;
        result = play_samples(std::span(m_read_buffer.data(), got), rate, channels, bits);
        if (result != 0 || got < piece)
            break;
        remaining -= got;
    }
    file.reset();
    if (!async_play) {
        while (wave_busy())
            wait_event(50);
    }
    return result;
}

int WaveOutput::play_wave_image(std::span<const uint8_t> image)
{
    auto layout = read_wave_layout(image);
    if (!layout)
        return -1;
    return play_samples(wave_samples(image, *layout), layout->format.rate, layout->format.channels, layout->format.bits);
}

}
