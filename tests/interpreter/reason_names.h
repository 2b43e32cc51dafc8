// SPDX-License-Identifier: GPL-3.0-or-later
// The names the case tables give failure reasons and block roles.
#pragma once

#include "interpreter/failure_reason.h"
#include "interpreter/statement_decoder.h"

#include <string>

namespace test_cases {

inline std::string reason_name(interpreter::FailureReason reason)
{
    using interpreter::FailureReason;
    switch (reason) {
#define REASON(name)          \
    case FailureReason::name: \
        return #name;
        REASON(None)
        REASON(UnknownKeyword)
        REASON(MissingOperand)
        REASON(ExtraText)
        REASON(InvalidVariable)
        REASON(InvalidValue)
        REASON(NotANumber)
        REASON(InvalidCondition)
        REASON(InvalidChannel)
        REASON(MissingLabel)
        REASON(DuplicateLabel)
        REASON(IfWithoutEnd)
        REASON(WhileWithoutEnd)
        REASON(RepeatWithoutEnd)
        REASON(EndIfWithoutIf)
        REASON(EndWhileWithoutWhile)
        REASON(EndRepeatWithoutRepeat)
        REASON(ElseOutsideIf)
        REASON(BlockStatementNested)
        REASON(TooManyNames)
        REASON(LineTooLong)
        REASON(TooManyLines)
        REASON(CommandUnavailable)
        REASON(ChannelNotOpen)
        REASON(DivisionByZero)
        REASON(CallsTooDeep)
        REASON(ReturnWithoutCall)
        REASON(StepLimit)
        REASON(CommandFailed)
#undef REASON
    }
    return "?";
}

inline std::string role_name(interpreter::BlockRole role)
{
    using interpreter::BlockRole;
    constexpr const char* names[] = { "None", "OpenIf", "OneLineIf", "Else", "OpenWhile", "OpenRepeat", "EndIf", "EndWhile",
        "EndRepeat", "EndOther", "Jump" };
    return names[static_cast<int>(role)];
}

inline std::string operand_kind_name(interpreter::OperandKind kind)
{
    constexpr const char* names[] = { "target", "value", "number", "condition", "label", "word", "rest" };
    return names[static_cast<int>(kind)];
}

}
