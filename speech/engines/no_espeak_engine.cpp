// SPDX-License-Identifier: GPL-3.0-or-later
// EspeakEngine in a build without libespeak-ng: an engine that cannot be opened.
#include "speech/engines/espeak_engine.h"

namespace speech {

std::unique_ptr<EspeakEngine> EspeakEngine::open(const EngineChoice&, audio::WaveOutput&, ConsolePort&) { return nullptr; }
EspeakEngine::~EspeakEngine() = default;
std::vector<std::string> EspeakEngine::voice_identifiers() { return {}; }
void EspeakEngine::speak(std::string_view) { }
bool EspeakEngine::busy(bool) { return false; }
void EspeakEngine::stop() { }
bool EspeakEngine::take_samples(const short*, int) { return false; }

}
