// SPDX-License-Identifier: GPL-3.0-or-later
// Pitch estimation and pitch marks for 16-bit speech: used to mark the
// database's diphones and to check the pitch of synthesised speech.
#pragma once

#include "diphone_database.h"

#include <cstdint>
#include <span>
#include <vector>

namespace diphone {

// The fundamental frequency of a stretch by normalised autocorrelation
// between min_hz and max_hz; 0 when the stretch is not clearly voiced.
double estimate_pitch(std::span<const int16_t> samples, int rate, double min_hz = 60, double max_hz = 400);

// Pitch marks over a whole stretch: in voiced parts one mark per period, on
// the strongest peak of the period; in unvoiced parts and silence one mark
// every 10 ms.
std::vector<PitchMark> find_pitch_marks(std::span<const int16_t> samples, int rate);

}
