// SPDX-License-Identifier: GPL-3.0-or-later
// The script nubrado carries inside itself.
#include "app/embedded_script.h"

#include <array>

namespace app {

namespace {

// A short tour of the speech output, until the application's own script
// takes its place: it speaks, spells, tells the time and ends.
constexpr std::array<std::string_view, 19> lines = {
    "* Demonstra\xE7\xE3o do nubrado: a fala embutida.",
    "escreve \"Bem-vindo ao nubrado.\"",
    "escreve \"Esta \xE9 uma demonstra\xE7\xE3o da fala em portugu\xEA" "s.\"",
    "escreve \"Uma tecla qualquer interrompe a fala.\"",
    "seja $nome \"nubrado\"",
    "escreve mudo \"Soletrando: \" &",
    "soletra $nome",
    "escreve \"\"",
    "escreve \"N\xFAmeros: 7, 21, 1500 e 2024.\"",
    "escreve \"Um telefone: 3211-4455.\"",
    "seja $agora hora",
    "escreve \"Agora s\xE3o \" $agora",
    "escreve \"O s\xEDtio www.exemplo.com.br tem uma p\xE1gina.\"",
    "escreve \"Pressione Enter para ouvir uma hora por extenso.\"",
    "le $resposta",
    "fala \"Meio-dia e meia: \"",
    "falahora \"12:30\"",
    "escreve \"At\xE9 logo.\"",
    "termina",
};

}

std::span<const std::string_view> embedded_script_lines()
{
    return lines;
}

}
