// SPDX-License-Identifier: GPL-3.0-or-later
// Cuts one database unit out of espeak-ng's rendering of its carrier.
#pragma once

#include "espeak_renderer.h"
#include "unit_inventory.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace voice {

// 8-bit unsigned samples at 11025 Hz, or nothing when the carrier's events
// do not show where the unit lies.
std::optional<std::vector<uint8_t>> render_unit(const CarrierPlan& plan, EspeakRenderer& renderer);

// Rendered text for the letters directory, trimmed and faded.
std::vector<uint8_t> render_recording(std::string_view text, int words_per_minute, EspeakRenderer& renderer);

// A dial tone: the two frequencies of the key, 8-bit at 11025 Hz.
std::vector<uint8_t> dial_tone(char key);

}
