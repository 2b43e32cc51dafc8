// SPDX-License-Identifier: GPL-3.0-or-later
// The synthesiser behind the C entry points: queues phoneme lines, and at
// each pause and on flush joins the diphones they need and gives every phoneme its requested
// duration and the pitch contour by pitch-synchronous overlap-add.
#pragma once

#include "diphone_database.h"
#include "phoneme_line.h"

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace diphone {

enum class SynthError {
    None = 0,
    Database = 1,
    NotInitialised = 2,
    Syntax = 3,
    UnknownPhoneme = 4,
    MissingDiphone = 5,
    Argument = 6,
    Overflow = 7,
};

// Queued phonemes beyond this are synthesised without waiting for flush;
// with 10 s phonemes at most, the output waiting stays bounded too.
constexpr size_t max_queued_phonemes = 1000;

class PsolaSynthesiser {
public:
    explicit PsolaSynthesiser(std::shared_ptr<const DiphoneDatabase> database);

    // One or more lines separated by line feeds; false on the first error
    // (unless errors are off, when bad lines are skipped).
    bool write(std::string_view text);
    void flush();
    // Moves up to max waiting samples into out; returns how many.
    size_t read(int16_t* out, size_t max);
    size_t waiting() const { return m_output.size(); }
    void reset();

    void set_no_error(bool no_error) { m_no_error = no_error; }
    bool no_error() const { return m_no_error; }
    void set_volume(float ratio);
    float volume() const { return m_volume; }
    void set_output_rate(int rate);
    int output_rate() const { return m_output_rate; }
    // Input name -> database name.
    void set_aliases(std::map<std::string, std::string, std::less<>> aliases) { m_aliases = std::move(aliases); }

    SynthError last_error() const { return m_error; }
    const std::string& last_error_text() const { return m_error_text; }
    void fail(SynthError error, std::string text);

private:
    bool write_line(std::string_view line);
    void synthesise(size_t count, bool ends_utterance);
    std::string database_name(std::string_view name) const;

    std::shared_ptr<const DiphoneDatabase> m_database;
    std::vector<PhonemeLine> m_queue;
    std::string m_previous = "_"; // the phoneme before the queue
    std::deque<int16_t> m_output;
    bool m_no_error = false;
    float m_volume = 1.0f;
    int m_output_rate = database_rate;
    std::map<std::string, std::string, std::less<>> m_aliases;
    SynthError m_error = SynthError::None;
    std::string m_error_text;
};

// The whole synthesis of a list of phonemes, the one before it and the one
// after it (for the outer diphones): samples at 16,000 per second, exactly
// as many as the durations ask for, rounded to whole samples per phoneme.
std::vector<float> synthesise_phonemes(const DiphoneDatabase& database, const std::vector<PhonemeLine>& phonemes,
    std::string_view before, std::string_view after);

}
