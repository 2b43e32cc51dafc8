// SPDX-License-Identifier: GPL-3.0-or-later
// OutputStreams: the media layer's streams as streams of the one sound output, mixed with speech.
#include "media/output_streams.h"

#include "audio/sound_output.h"

namespace media {

namespace {

class OutputStream final : public SoundStream {
public:
    explicit OutputStream(std::unique_ptr<audio::Stream> stream)
        : m_stream(std::move(stream))
    {
    }
    void set_paused(bool paused) override { m_stream->set_paused(paused); }
    void set_volume(int left, int right) override { m_stream->set_volume(left, right); }
    bool playing() const override { return m_stream->playing(); }
    uint64_t frames_heard() const override { return m_stream->frames_heard(); }

private:
    std::unique_ptr<audio::Stream> m_stream;
};

}

std::unique_ptr<SoundStream> OutputStreams::open_stream(StreamFormat format, StreamSource source)
{
    auto stream = m_output.open_stream({ format.rate, format.channels }, std::move(source));
    if (!stream)
        return nullptr;
    return std::make_unique<OutputStream>(std::move(stream));
}

}
