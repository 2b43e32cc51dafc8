// SPDX-License-Identifier: GPL-3.0-or-later
// Engine scales: the settings' speed and pitch numbers on each installed engine's own scale.
#pragma once

namespace speech {

// The settings give the speed and pitch as the Windows speech engines take
// them: a rate step from -10 to 10 (0 the engine's default) for every engine
// type but 4, and words per minute for type 4. Pitch is a step from -10 to
// 10 for every type. Values past the ends are taken as the ends.
constexpr int espeak_default_rate = 175; // words per minute
constexpr int espeak_slowest_rate = 80;
constexpr int espeak_fastest_rate = 450;
constexpr int espeak_default_pitch = 50; // 0 to 100
constexpr int dispatcher_scale_end = 100; // its rate and pitch run from -100 to 100

// Rate step -10 is espeak-ng's slowest, 0 its default and 10 its fastest,
// linear in between on each side; type 4 passes words per minute through,
// 0 meaning the default.
int espeak_rate(int type, int speed);
// Pitch step -10 is 0, 0 is the default 50 and 10 is 100.
int espeak_pitch(int pitch);
// speech-dispatcher's scales are the steps times ten.
int dispatcher_rate(int speed);
int dispatcher_pitch(int pitch);

}
