// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the reports BrlAPI key codes make.
#include "platform/brlapi/brlapi_display.h"

#include <brlapi.h>
#include <gtest/gtest.h>

namespace {

using platform::BrailleKeyReport;
using namespace platform::braille_chord;
namespace report = platform::braille_report;

std::vector<BrailleKeyReport> chord(uint16_t keys) { return { platform::chord_pressed(keys), platform::chord_released() }; }

TEST(BrlapiKeys, CommandsAndSymbolsBecomeTheDisplaysKeys)
{
    std::vector<BrailleKeyReport> up { { report::kind_panning, report::pan_up } };
    std::vector<BrailleKeyReport> down { { report::kind_panning, report::pan_down } };
    struct Case {
        uint64_t code;
        std::vector<BrailleKeyReport> reports;
    };
    const Case cases[] = {
        { BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_LNUP, up },
        { BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_LNDN, down },
        { BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_HOME, chord(home_key) },
        { BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_LNBEG, chord(home_key) },
        { BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_LNEND, chord(end_key) },
        { BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_RETURN, chord(dot_8) },
        { BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_ROUTE | 5, chord(dot_8) },
        { BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_PASSDOTS | 0x2F, chord(0x2F) },
        { BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_PASSDOTS | BRLAPI_DOTC | 0x09, chord(space | 0x09) },
        { BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_PASSDOTS | BRLAPI_DOTC, chord(space) },
        { BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_PASSDOTS, {} },
        { BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_FWINLT, {} },
        { BRLAPI_KEY_TYPE_SYM | BRLAPI_KEY_SYM_BACKSPACE, chord(dot_7) },
        { BRLAPI_KEY_TYPE_SYM | BRLAPI_KEY_SYM_LINEFEED, chord(dot_8) },
        { BRLAPI_KEY_TYPE_SYM | BRLAPI_KEY_SYM_ESCAPE, chord(dot_7 | dot_8) },
        { BRLAPI_KEY_TYPE_SYM | BRLAPI_KEY_SYM_HOME, chord(home_key) },
        { BRLAPI_KEY_TYPE_SYM | BRLAPI_KEY_SYM_END, chord(end_key) },
        { BRLAPI_KEY_TYPE_SYM | BRLAPI_KEY_SYM_UP, up },
        { BRLAPI_KEY_TYPE_SYM | BRLAPI_KEY_SYM_DOWN, down },
        { BRLAPI_KEY_TYPE_SYM | BRLAPI_KEY_SYM_TAB, {} },
        // Characters: Latin-1, Unicode with a Windows-1252 byte, and ones
        // without (the replacement character brltty gives for a chord its
        // table lacks).
        { BRLAPI_KEY_TYPE_SYM | 0xE7, { { report::kind_character, 0xE7 } } },
        { BRLAPI_KEY_TYPE_SYM | 'a', { { report::kind_character, 'a' } } },
        { BRLAPI_KEY_TYPE_SYM | BRLAPI_KEY_SYM_UNICODE | 0x20AC, { { report::kind_character, 0x80 } } },
        { BRLAPI_KEY_TYPE_SYM | BRLAPI_KEY_SYM_UNICODE | 0xFFFD, {} },
        { BRLAPI_KEY_TYPE_SYM | BRLAPI_KEY_SYM_UNICODE | 0x00E9, { { report::kind_character, 0xE9 } } },
        { BRLAPI_KEY_TYPE_SYM | 0x1234, {} },
        { 0xE0000000, {} },
    };
    for (const auto& [code, reports] : cases)
        EXPECT_EQ(platform::reports_of_brlapi_key(code), reports) << std::hex << code;
}

}
