// SPDX-License-Identifier: GPL-3.0-or-later
// FailureReason: why a statement failed, or why a line cannot run, in the user's words.
#pragma once

#include <cstdint>
#include <string_view>

namespace interpreter {

// One set serves the end report of a failed run and the checker, so that a
// script that stops for a reason is reported by the checker with the same
// words. Run the script tests if a text changes: their logs quote them.
enum class FailureReason : uint8_t {
    None,
    // Found from the text alone.
    UnknownKeyword,
    MissingOperand,
    ExtraText,
    InvalidVariable,
    InvalidValue,
    NotANumber,
    InvalidCondition,
    InvalidChannel,
    MissingLabel,
    DuplicateLabel,
    IfWithoutEnd,
    WhileWithoutEnd,
    RepeatWithoutEnd,
    EndIfWithoutIf,
    EndWhileWithoutWhile,
    EndRepeatWithoutRepeat,
    ElseOutsideIf,
    BlockStatementNested,
    TooManyNames,
    LineTooLong,
    TooManyLines,
    // Found only while running.
    CommandUnavailable,
    ChannelNotOpen,
    DivisionByZero,
    CallsTooDeep,
    ReturnWithoutCall,
    StepLimit,
    CommandFailed,
};

// The reason as the user reads and hears it (Windows-1252).
std::string_view failure_text(FailureReason reason);

}
