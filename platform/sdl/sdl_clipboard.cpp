// SPDX-License-Identifier: GPL-3.0-or-later
// SdlClipboard: the desktop's clipboard, reached through SDL's video subsystem.
#include "platform/sdl/sdl_clipboard.h"

#include <SDL.h>

namespace platform {

void SdlClipboard::set_text(std::string_view utf8)
{
    std::string text(utf8.substr(0, utf8.find('\0')));
    SDL_SetClipboardText(text.c_str());
}

std::optional<std::string> SdlClipboard::text()
{
    if (!SDL_HasClipboardText())
        return std::nullopt;
    char* held = SDL_GetClipboardText();
    if (!held)
        return std::nullopt;
    std::string text(held);
    SDL_free(held);
    return text;
}

}
