// SPDX-License-Identifier: GPL-3.0-or-later
// Engine scales: the settings' speed and pitch numbers on each installed engine's own scale.
#include "speech/engines/engine_scales.h"

#include <algorithm>

namespace speech {

namespace {

constexpr int step_end = 10;

int clamp_step(int step) { return std::clamp(step, -step_end, step_end); }

}

int espeak_rate(int type, int speed)
{
    if (type == 4)
        return speed == 0 ? espeak_default_rate : std::clamp(speed, espeak_slowest_rate, espeak_fastest_rate);
    int step = clamp_step(speed);
    if (step < 0)
        return espeak_default_rate + step * (espeak_default_rate - espeak_slowest_rate) / step_end;
    return espeak_default_rate + step * (espeak_fastest_rate - espeak_default_rate) / step_end;
}

int espeak_pitch(int pitch)
{
    return espeak_default_pitch + clamp_step(pitch) * espeak_default_pitch / step_end;
}

int dispatcher_rate(int speed) { return clamp_step(speed) * dispatcher_scale_end / step_end; }

int dispatcher_pitch(int pitch) { return clamp_step(pitch) * dispatcher_scale_end / step_end; }

}
