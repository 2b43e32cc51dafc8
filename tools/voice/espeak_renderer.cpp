// SPDX-License-Identifier: GPL-3.0-or-later
// Renders text and phoneme strings through libespeak-ng.
#include "espeak_renderer.h"

#include <espeak-ng/speak_lib.h>

#include <cstring>

namespace voice {

namespace {

// espeak-ng calls back with pieces of sound and their events; the rendering
// being built travels through the user-data pointer of the call.
int collect_rendering(short* samples, int count, espeak_EVENT* events)
{
    if (!events)
        return 0;
    auto* rendering = static_cast<Rendering*>(events->user_data);
    if (!rendering)
        return 0;
    if (samples && count > 0)
        rendering->samples.insert(rendering->samples.end(), samples, samples + count);
    for (espeak_EVENT* event = events; event->type != espeakEVENT_LIST_TERMINATED; ++event) {
        if (event->type != espeakEVENT_PHONEME)
            continue;
        std::string name(event->id.string, strnlen(event->id.string, sizeof event->id.string));
        rendering->events.push_back({ name, size_t(event->sample) });
    }
    return 0;
}

}

std::unique_ptr<EspeakRenderer> EspeakRenderer::create(const std::string& voice_name)
{
    int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_PHONEME_EVENTS);
    if (rate <= 0)
        return nullptr;
    if (espeak_SetVoiceByName(voice_name.c_str()) != EE_OK)
        return nullptr;
    espeak_SetParameter(espeakPITCH, 40, 0);
    espeak_SetParameter(espeakRANGE, 0, 0);
    espeak_SetSynthCallback(collect_rendering);
    std::unique_ptr<EspeakRenderer> renderer(new EspeakRenderer);
    renderer->m_sample_rate = rate;
    return renderer;
}

EspeakRenderer::~EspeakRenderer()
{
    espeak_Terminate();
}

Rendering EspeakRenderer::render(std::string_view text, int words_per_minute)
{
    Rendering rendering;
    rendering.sample_rate = m_sample_rate;
    espeak_SetParameter(espeakRATE, words_per_minute, 0);
    std::string terminated(text);
    espeak_Synth(terminated.c_str(), terminated.size() + 1, 0, POS_CHARACTER, 0,
                 espeakCHARS_UTF8 | espeakPHONEMES, nullptr, &rendering);
    espeak_Synchronize();
    return rendering;
}

std::string EspeakRenderer::transcribe(std::string_view text)
{
    std::string terminated(text);
    const void* cursor = terminated.c_str();
    std::string phonemes;
    while (cursor) {
        const char* piece = espeak_TextToPhonemes(&cursor, espeakCHARS_UTF8, 0);
        if (!piece)
            break;
        phonemes += piece;
    }
    return phonemes;
}

std::string EspeakRenderer::version() const
{
    const char* path = nullptr;
    return espeak_Info(&path);
}

}
