// SPDX-License-Identifier: GPL-3.0-or-later
// Renders Portuguese text or espeak-ng phoneme strings to 16-bit samples at
// espeak-ng's own rate, with the position of every phoneme.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace voice {

struct PhonemeEvent {
    std::string name;
    size_t sample = 0;
};

struct Rendering {
    std::vector<int16_t> samples;
    std::vector<PhonemeEvent> events;
    int sample_rate = 0;
};

// espeak-ng keeps its state in the library, so one renderer exists per
// process; it is created by the generator's main and passed down.
class EspeakRenderer {
public:
    static std::unique_ptr<EspeakRenderer> create(const std::string& voice_name);
    ~EspeakRenderer();
    EspeakRenderer(const EspeakRenderer&) = delete;
    EspeakRenderer& operator=(const EspeakRenderer&) = delete;

    // Text in UTF-8; "[[...]]" inside it is read as espeak-ng phonemes.
    Rendering render(std::string_view text, int words_per_minute);
    // espeak-ng's own phoneme transcription of a UTF-8 word.
    std::string transcribe(std::string_view text);
    std::string version() const;

private:
    EspeakRenderer() = default;
    int m_sample_rate = 0;
};

}
