// SPDX-License-Identifier: GPL-3.0-or-later
// CommandTable: the keywords of the language and the handler bound to each.
#include "interpreter/command_table.h"

#include "interpreter/messages.h"
#include "interpreter/runtime.h"

#include <algorithm>
#include <cstring>

namespace interpreter {

namespace {

// The 88 keywords (85 commands, three with two spellings). Accented letters
// are written as their Windows-1252 bytes.
constexpr std::string_view keywords[] = {
    "MIDI", "DEBUG", "SEJA", "TELA", "COR", "FUNDO", "ABRE", "FECHA", "INTERNET", "CONECTA",
    "ATIVASSL", "SERVE", "OBSERVA", "ESCREVE", "BIPA", "SOMA", "SUBTRAI", "MULTIPLICA",
    "DIVIDE", "CONCATENA", "COPIA", "SOLETRA", "LISTA", "FALAHORA", "TITULO", "T\xCDTULO",
    "DELETA", "SUBSTITUI", "TOCA", "FALA", "MCI", "L\xCA", "LE", "CHECA", "REMOVE",
    "RENOMEIA", "REPLICA", "CMD", "ESPERA", "ENVIACMD", "DIGITA", "ACIONA", "CLICA",
    "CAPTURA", "TRANSFERE", "JANELA", "DESVIA", "SE", "SENAO", "SEN\xC3O", "ENQUANTO",
    "REPETE", "FIM", "EXECUTA", "EXISTEPROG", "ALARME", "GRAVABYTES", "ESCREVEBYTE",
    "LEBYTE", "LIMPABYTES", "FECHABIN", "CRIABIN", "TAMARQ", "HTAMARQ", "DIR", "BUSCA",
    "TERMINA", "CHAMA", "RETORNA", "RANDOMIZA", "IP", "MSAA", "MENU", "IMAGEM", "SENSOR",
    "ANSIPARAUTF8", "UTF8PARAANSI", "HTTP", "TRAZDAREDE", "HANDLE", "SINTCONFIG",
    "MENSAGEM", "CODBASE64", "REMOVEQUOTED", "ADQUOTED", "CODARQBASE64", "DECODARQBASE64",
    "DECODBASE64",
};

static_assert(std::size(keywords) == 88);
static_assert(std::ranges::all_of(keywords, [](std::string_view keyword) { return keyword.size() <= CommandTable::max_keyword_length; }));

}

bool run_missing_command(Runtime& runtime, std::string_view)
{
    write_message_line(runtime, "Comando n\xE3o dispon\xEDvel nesta vers\xE3o: " + std::string(runtime.current_keyword));
    return fail_because(runtime, FailureReason::CommandUnavailable);
}

PackedKeyword PackedKeyword::from(std::string_view keyword)
{
    PackedKeyword packed;
    packed.length = keyword.size();
    if (keyword.size() <= CommandTable::max_keyword_length) {
        char bytes[16] = {};
        std::memcpy(bytes, keyword.data(), keyword.size());
        std::memcpy(packed.words, bytes, sizeof bytes);
        packed.words[0] &= fold_mask;
        packed.words[1] &= fold_mask;
    }
    return packed;
}

CommandTable::CommandTable()
{
    for (auto keyword : keywords) {
        bool passes_rest = keyword != "LIMPABYTES" && keyword != "FECHABIN";
        bool letters_only = std::ranges::all_of(keyword, [](char c) {
            auto byte = static_cast<unsigned char>(c);
            return (byte >= 'A' && byte <= 'Z') || (byte >= 192 && byte <= 223);
        });
        bool shapes_block = keyword == "REPETE" || keyword == "ENQUANTO" || keyword == "SENAO" || keyword == "SEN\xC3O"
            || keyword == "FIM";
        m_entries.push_back({ keyword, run_missing_command, passes_rest, letters_only, shapes_block });
        m_packed.push_back(PackedKeyword::from(keyword));
    }
    // Odd multipliers from a fixed sequence until one spreads the keywords
    // without a clash; with 88 keywords in 4096 slots about every second one
    // does, and the search is the same on every run.
    uint64_t state = 0x2545F4914F6CDD1Dull;
    for (;;) {
        state += 0x9E3779B97F4A7C15ull;
        uint64_t candidate = state;
        candidate = (candidate ^ (candidate >> 30)) * 0xBF58476D1CE4E5B9ull;
        candidate = (candidate ^ (candidate >> 27)) * 0x94D049BB133111EBull;
        m_multiplier = (candidate ^ (candidate >> 31)) | 1;
        m_slots.assign(size_t(1) << slot_bits, 0);
        bool clash = false;
        for (size_t index = 0; index < m_packed.size() && !clash; ++index) {
            uint8_t& slot = m_slots[slot_of(m_packed[index])];
            clash = slot != 0;
            slot = static_cast<uint8_t>(index + 1);
        }
        if (!clash)
            return;
    }
}

bool CommandTable::bind(std::string_view keyword, Handler handler)
{
    for (auto& entry : m_entries) {
        if (entry.keyword == keyword) {
            entry.handler = handler;
            return true;
        }
    }
    return false;
}

}
