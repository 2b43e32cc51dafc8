// SPDX-License-Identifier: GPL-3.0-or-later
// FailureReason: why a statement failed, or why a line cannot run, in the user's words.
#include "interpreter/failure_reason.h"

namespace interpreter {

std::string_view failure_text(FailureReason reason)
{
    switch (reason) {
    case FailureReason::None:
        return {};
    case FailureReason::UnknownKeyword:
        return "Comando inv\xE1lido";
    case FailureReason::MissingOperand:
        return "Falta um operando";
    case FailureReason::ExtraText:
        return "Texto a mais depois dos operandos";
    case FailureReason::InvalidVariable:
        return "Nome de vari\xE1vel inv\xE1lido";
    case FailureReason::InvalidValue:
        return "Valor inv\xE1lido";
    case FailureReason::NotANumber:
        return "Valor n\xE3o \xE9 n\xFAmero";
    case FailureReason::InvalidCondition:
        return "Condi\xE7\xE3o inv\xE1lida";
    case FailureReason::InvalidChannel:
        return "Canal inv\xE1lido (use #0 a #9)";
    case FailureReason::MissingLabel:
        return "R\xF3tulo n\xE3o encontrado";
    case FailureReason::DuplicateLabel:
        return "R\xF3tulo repetido";
    case FailureReason::IfWithoutEnd:
        return "SE sem FIM SE";
    case FailureReason::WhileWithoutEnd:
        return "ENQUANTO sem FIM ENQUANTO";
    case FailureReason::RepeatWithoutEnd:
        return "REPETE sem FIM REPETE";
    case FailureReason::EndIfWithoutIf:
        return "FIM SE sem SE";
    case FailureReason::EndWhileWithoutWhile:
        return "FIM ENQUANTO sem ENQUANTO";
    case FailureReason::EndRepeatWithoutRepeat:
        return "FIM REPETE sem REPETE";
    case FailureReason::ElseOutsideIf:
        return "SENAO fora de um bloco SE";
    case FailureReason::BlockStatementNested:
        return "Comando de bloco depois de SE na mesma linha ou em CMD";
    case FailureReason::TooManyNames:
        return "Muitas vari\xE1veis no programa (m\xE1ximo 127)";
    case FailureReason::LineTooLong:
        return "Linha longa demais";
    case FailureReason::TooManyLines:
        return "Linhas demais (m\xE1ximo 5000)";
    case FailureReason::CommandUnavailable:
        return "Comando n\xE3o dispon\xEDvel nesta vers\xE3o";
    case FailureReason::ChannelNotOpen:
        return "Canal n\xE3o aberto";
    case FailureReason::DivisionByZero:
        return "Divis\xE3o por zero";
    case FailureReason::CallsTooDeep:
        return "Muitas chamadas sem retorno";
    case FailureReason::ReturnWithoutCall:
        return "Retorno sem chamada";
    case FailureReason::StepLimit:
        return "Limite de passos atingido";
    case FailureReason::CommandFailed:
        return "O comando falhou";
    }
    return "O comando falhou";
}

}
