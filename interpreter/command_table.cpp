// SPDX-License-Identifier: GPL-3.0-or-later
// CommandTable: the keywords of the language and the handler bound to each.
#include "interpreter/command_table.h"

#include "interpreter/messages.h"
#include "interpreter/runtime.h"

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

}

bool run_missing_command(Runtime& runtime, std::string_view)
{
    write_message_line(runtime, "Comando n\xE3o dispon\xEDvel nesta vers\xE3o: " + std::string(runtime.current_keyword));
    return false;
}

CommandTable::CommandTable()
{
    for (auto keyword : keywords) {
        bool passes_rest = keyword != "LIMPABYTES" && keyword != "FECHABIN";
        m_buckets[bucket_of(keyword)].push_back(static_cast<uint8_t>(m_entries.size()));
        m_entries.push_back({ keyword, run_missing_command, passes_rest });
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

const CommandEntry* CommandTable::find(std::string_view upper_keyword) const
{
    if (upper_keyword.empty() || upper_keyword.size() > max_keyword_length)
        return nullptr;
    for (uint8_t index : m_buckets[bucket_of(upper_keyword)]) {
        if (m_entries[index].keyword == upper_keyword)
            return &m_entries[index];
    }
    return nullptr;
}

}
