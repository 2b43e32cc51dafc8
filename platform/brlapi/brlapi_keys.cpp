// SPDX-License-Identifier: GPL-3.0-or-later
// BrlAPI key codes made into the display's key reports.
#include "platform/brlapi/brlapi_display.h"

#include "base/text_encoding.h"

#include <brlapi.h>

namespace platform {

namespace {

std::vector<BrailleKeyReport> chord(uint16_t keys) { return { chord_pressed(keys), chord_released() }; }

std::vector<BrailleKeyReport> reports_of_command(uint64_t block, uint64_t argument)
{
    using namespace braille_chord;
    if (block == BRLAPI_KEY_CMD_PASSDOTS) {
        auto keys = static_cast<uint16_t>(argument & 0xFF);
        if (argument & BRLAPI_DOTC)
            keys |= space;
        return keys == 0 ? std::vector<BrailleKeyReport> {} : chord(keys);
    }
    // A routing key activates what the row shows, as Enter does.
    if (block == BRLAPI_KEY_CMD_ROUTE)
        return chord(dot_8);
    if (block != 0)
        return {};
    switch (BRLAPI_KEY_CMD(0) + argument) {
    case BRLAPI_KEY_CMD_LNUP:
        return { { braille_report::kind_panning, braille_report::pan_up } };
    case BRLAPI_KEY_CMD_LNDN:
        return { { braille_report::kind_panning, braille_report::pan_down } };
    case BRLAPI_KEY_CMD_HOME:
    case BRLAPI_KEY_CMD_LNBEG:
        return chord(home_key);
    case BRLAPI_KEY_CMD_LNEND:
        return chord(end_key);
    case BRLAPI_KEY_CMD_RETURN:
        return chord(dot_8);
    default:
        return {};
    }
}

std::vector<BrailleKeyReport> reports_of_symbol(uint64_t symbol)
{
    using namespace braille_chord;
    switch (symbol) {
    case BRLAPI_KEY_SYM_BACKSPACE:
        return chord(dot_7);
    case BRLAPI_KEY_SYM_LINEFEED:
        return chord(dot_8);
    case BRLAPI_KEY_SYM_ESCAPE:
        return chord(dot_7 | dot_8);
    case BRLAPI_KEY_SYM_HOME:
        return chord(home_key);
    case BRLAPI_KEY_SYM_END:
        return chord(end_key);
    case BRLAPI_KEY_SYM_UP:
        return { { braille_report::kind_panning, braille_report::pan_up } };
    case BRLAPI_KEY_SYM_DOWN:
        return { { braille_report::kind_panning, braille_report::pan_down } };
    default:
        break;
    }
    // A character brltty made of a chord with its text table: Latin-1
    // symbols are the code itself, others are flagged Unicode.
    uint64_t code_point = symbol;
    if ((symbol & 0xFF000000) == BRLAPI_KEY_SYM_UNICODE)
        code_point = symbol & 0x00FFFFFF;
    else if (symbol > 0xFF)
        return {};
    auto byte = base::windows1252_byte(static_cast<char32_t>(code_point));
    if (!byte || *byte == 0)
        return {};
    return { { braille_report::kind_character, *byte } };
}

}

std::vector<BrailleKeyReport> reports_of_brlapi_key(uint64_t code)
{
    uint64_t type = code & BRLAPI_KEY_TYPE_MASK;
    if (type == BRLAPI_KEY_TYPE_CMD)
        return reports_of_command(code & BRLAPI_KEY_CMD_BLK_MASK, code & BRLAPI_KEY_CMD_ARG_MASK);
    if (type == BRLAPI_KEY_TYPE_SYM)
        return reports_of_symbol(code & BRLAPI_KEY_CODE_MASK);
    return {};
}

}
