// SPDX-License-Identifier: GPL-3.0-or-later
// The script nubrado carries inside itself.
#include "app/embedded_script.h"

#include <array>

namespace app {

namespace {

// A short tour of the runtime until the application's own script takes
// its place: speech, a menu to choose from, and the speaking line editor.
constexpr std::array<std::string_view, 60> lines = {
    "* Demonstra\xE7\xE3o do nubrado: a fala, o menu e o editor de linha.",
    "escreve \"Bem-vindo ao nubrado.\"",
    "escreve \"Esta \xE9 uma demonstra\xE7\xE3o da fala em portugu\xEAs.\"",
    "escreve \"Uma tecla qualquer interrompe a fala.\"",
    "seja $escolha 1",
    "@menu",
    "tela limpa",
    "escreve \"Escolha com as setas e Enter; Esc sai.\"",
    "menu cria 3 3 40 8",
    "menu adiciona \"Soletrar um nome\"",
    "menu adiciona \"Ouvir n\xFAmeros e um telefone\"",
    "menu adiciona \"Ouvir a hora\"",
    "menu adiciona \"Escrever uma linha\"",
    "menu adiciona \"Sair\"",
    "menu executa $escolha $tecla $texto",
    "menu termina",
    "se $tecla = \"#27\" desvia @fim",
    "se $tecla <> \"#13\" desvia @menu",
    "se $escolha = 1 chama @soletrar",
    "se $escolha = 2 chama @numeros",
    "se $escolha = 3 chama @hora",
    "se $escolha = 4 chama @linha",
    "se $escolha = 5 desvia @fim",
    "desvia @menu",
    "@soletrar",
    "escreve \"Escreva um nome e tecle Enter:\"",
    "le $nome",
    "se $nome = \"\" seja $nome \"nubrado\"",
    "escreve mudo \"Soletrando: \" &",
    "soletra $nome",
    "escreve \"\"",
    "chama @pausa",
    "retorna",
    "@numeros",
    "escreve \"N\xFAmeros: 7, 21, 1500 e 2024.\"",
    "escreve \"Um telefone: 3211-4455.\"",
    "escreve \"O s\xEDtio www.exemplo.com.br tem uma p\xE1gina.\"",
    "chama @pausa",
    "retorna",
    "@hora",
    "seja $agora hora",
    "escreve \"Agora s\xE3o \" $agora",
    "fala \"Meio-dia e meia: \"",
    "falahora \"12:30\"",
    "chama @pausa",
    "retorna",
    "@linha",
    "escreve \"Escreva e corrija: as setas leem, F1 l\xEA a palavra, Ctrl+F1 o campo.\"",
    "le $linha",
    "escreve \"Voc\xEA escreveu: \" $linha",
    "chama @pausa",
    "retorna",
    "@pausa",
    "escreve \"Uma tecla volta ao menu.\"",
    "le mudo $qualquer &",
    "retorna",
    "@fim",
    "tela limpa",
    "escreve \"At\xE9 logo.\"",
    "termina",
};

}

std::span<const std::string_view> embedded_script_lines()
{
    return lines;
}

}
