// SPDX-License-Identifier: GPL-3.0-or-later
// Diphone concatenation with time-domain pitch-synchronous overlap-add.
//
// Phoneme i is made of two halves: the end of diphone (i-1, i), from its
// boundary to its cut in the middle of i, and the start of diphone
// (i, i+1), from its cut to its boundary. Each half is stretched onto its
// share of the requested duration. Output pitch marks are laid one target
// period apart (the period the pitch contour asks for at that time in
// voiced speech, the source's own spacing elsewhere); at each, the source
// mark nearest the matching source time gives a grain two source periods
// long under a Hann window, which is added in. Neighbouring grains overlap,
// so the joins between diphones are cross-fades at pitch marks.
#include "psola_synthesiser.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace diphone {

namespace {

constexpr double unvoiced_step = database_rate / 100.0; // 10 ms
constexpr double min_period = database_rate / max_pitch_hz;
constexpr double max_period = database_rate / min_pitch_hz;
// At most this much input is held before it is synthesised.
constexpr double max_queued_ms = 30000;
// A caller that never reads cannot make the output grow past this.
constexpr size_t max_waiting_samples = size_t(database_rate) * 600;

struct Piece {
    const Diphone* diphone = nullptr;
    uint32_t source_begin = 0;
    uint32_t source_end = 0;
    size_t target_begin = 0;
    size_t target_length = 0;
};

struct ContourPoint {
    double time = 0; // in output samples
    double hz = 0;
};

// The diphone for a pair, or the nearest stand-in: the half next to the
// pause of the same phoneme, which exists for every phoneme the database
// has; nullptr means silence.
const Diphone* find_or_stand_in(const DiphoneDatabase& database, std::string_view left, std::string_view right,
    bool left_half_wanted)
{
    if (const Diphone* diphone = database.find(left, right))
        return diphone;
    return left_half_wanted ? database.find(left, "_") : database.find("_", right);
}

double pitch_at(const std::vector<ContourPoint>& contour, double time, double natural)
{
    if (contour.empty())
        return natural;
    if (time <= contour.front().time)
        return contour.front().hz;
    if (time >= contour.back().time)
        return contour.back().hz;
    auto after = std::upper_bound(contour.begin(), contour.end(), time,
        [](double t, const ContourPoint& point) { return t < point.time; });
    auto before = after - 1;
    double span = after->time - before->time;
    if (span <= 0)
        return after->hz;
    return before->hz + (after->hz - before->hz) * (time - before->time) / span;
}

void add_grain(std::vector<float>& out, const Diphone& diphone, size_t mark, double half_width, long centre)
{
    long width = long(std::lround(half_width));
    const auto& samples = diphone.samples;
    for (long j = -width + 1; j < width; ++j) {
        long source = long(mark) + j;
        long target = centre + j;
        if (source < 0 || size_t(source) >= samples.size() || target < 0 || size_t(target) >= out.size())
            continue;
        double window = 0.5 * (1 + std::cos(std::numbers::pi * double(j) / double(width)));
        out[size_t(target)] += float(window * samples[size_t(source)]);
    }
}

}

std::vector<float> synthesise_phonemes(const DiphoneDatabase& database, const std::vector<PhonemeLine>& phonemes,
    std::string_view before, std::string_view after)
{
    std::vector<Piece> pieces;
    std::vector<ContourPoint> contour;
    size_t total = 0;
    for (size_t i = 0; i < phonemes.size(); ++i) {
        const PhonemeLine& phoneme = phonemes[i];
        std::string_view previous = i == 0 ? before : std::string_view(phonemes[i - 1].name);
        std::string_view next = i + 1 < phonemes.size() ? std::string_view(phonemes[i + 1].name) : after;
        const Diphone* entering = find_or_stand_in(database, previous, phoneme.name, false);
        const Diphone* leaving = find_or_stand_in(database, phoneme.name, next, true);
        size_t length = size_t(std::lround(phoneme.duration_ms * database_rate / 1000));
        size_t entering_source = entering ? entering->end - entering->boundary : 0;
        size_t leaving_source = leaving ? leaving->boundary - leaving->start : 0;
        size_t sources = entering_source + leaving_source;
        size_t first = sources ? size_t(double(length) * double(entering_source) / double(sources)) : length / 2;
        Piece in { entering, entering ? entering->boundary : 0, entering ? entering->end : 0, total, first };
        Piece out { leaving, leaving ? leaving->start : 0, leaving ? leaving->boundary : 0, total + first,
            length - first };
        pieces.push_back(in);
        pieces.push_back(out);
        for (const PitchPoint& point : phoneme.points)
            contour.push_back({ double(total) + point.percent / 100 * double(length), point.hz });
        total += length;
    }
    std::vector<float> out(total, 0.0f);
    double natural = database.natural_pitch();
    size_t piece_index = 0;
    double time = 0;
    while (time < double(total) && !pieces.empty()) {
        while (piece_index + 1 < pieces.size()
            && time >= double(pieces[piece_index].target_begin + pieces[piece_index].target_length))
            ++piece_index;
        const Piece& piece = pieces[piece_index];
        if (!piece.diphone || piece.source_end <= piece.source_begin || piece.target_length == 0
            || piece.diphone->marks.empty()) {
            time += unvoiced_step;
            continue;
        }
        const Diphone& diphone = *piece.diphone;
        double source = piece.source_begin
            + (time - double(piece.target_begin)) * double(piece.source_end - piece.source_begin)
                / double(piece.target_length);
        const auto& marks = diphone.marks;
        auto found = std::lower_bound(marks.begin(), marks.end(), source,
            [](const PitchMark& mark, double at) { return double(mark.position) < at; });
        size_t k = size_t(found - marks.begin());
        if (k == marks.size() || (k > 0 && source - marks[k - 1].position < double(marks[k].position) - source))
            k = k == 0 ? 0 : k - 1;
        double left = k > 0 ? double(marks[k].position - marks[k - 1].position) : 0;
        double right = k + 1 < marks.size() ? double(marks[k + 1].position - marks[k].position) : 0;
        double source_period = left > 0 && right > 0 ? (left + right) / 2 : std::max({ left, right, unvoiced_step });
        source_period = std::clamp(source_period, min_period, max_period);
        bool voiced = marks[k].voiced;
        double target_period = voiced ? database_rate / pitch_at(contour, time, natural) : source_period;
        target_period = std::clamp(target_period, min_period, max_period);
        // Each grain is added at its own strength: a voiced grain is one
        // glottal pulse and its ringing, which a new pitch places more or
        // less often but does not make stronger or weaker.
        add_grain(out, diphone, marks[k].position, source_period, long(std::lround(time)));
        time += target_period;
    }
    return out;
}

PsolaSynthesiser::PsolaSynthesiser(std::shared_ptr<const DiphoneDatabase> database)
    : m_database(std::move(database))
{
}

void PsolaSynthesiser::fail(SynthError error, std::string text)
{
    m_error = error;
    m_error_text = std::move(text);
}

void PsolaSynthesiser::set_volume(float ratio)
{
    if (std::isfinite(ratio))
        m_volume = std::clamp(ratio, 0.0f, 16.0f);
}

void PsolaSynthesiser::set_output_rate(int rate)
{
    m_output_rate = std::clamp(rate, 4000, 48000);
}

std::string PsolaSynthesiser::database_name(std::string_view name) const
{
    auto found = m_aliases.find(name);
    return found == m_aliases.end() ? std::string(name) : found->second;
}

bool PsolaSynthesiser::write(std::string_view text)
{
    size_t at = 0;
    while (at <= text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos)
            end = text.size();
        if (!write_line(text.substr(at, end - at)))
            return false;
        at = end + 1;
    }
    return true;
}

bool PsolaSynthesiser::write_line(std::string_view line)
{
    ParsedLine parsed = parse_phoneme_line(line);
    switch (parsed.kind) {
    case LineKind::Nothing:
        return true;
    case LineKind::Flush:
        flush();
        return true;
    case LineKind::Error:
        fail(SynthError::Syntax, parsed.error);
        return m_no_error;
    case LineKind::Phoneme:
        break;
    }
    if (m_output.size() > max_waiting_samples) {
        fail(SynthError::Overflow, "too much output waiting to be read");
        return false;
    }
    PhonemeLine phoneme = std::move(parsed.phoneme);
    phoneme.name = database_name(phoneme.name);
    if (!m_database->has_phoneme(phoneme.name)) {
        fail(SynthError::UnknownPhoneme, "unknown phoneme " + phoneme.name);
        return m_no_error;
    }
    const std::string& previous = m_queue.empty() ? m_previous : m_queue.back().name;
    if (!m_database->find(previous, phoneme.name) && !m_no_error) {
        fail(SynthError::MissingDiphone, "no diphone " + previous + "-" + phoneme.name);
        return false;
    }
    m_queue.push_back(std::move(phoneme));
    double queued_ms = 0;
    for (const PhonemeLine& queued : m_queue)
        queued_ms += queued.duration_ms;
    // The last phoneme stays queued: its diphone into the next one is not
    // known until the next line arrives. A pause is a natural place to
    // hand over what came before it, so that a long text starts sounding
    // before its end is written.
    bool pause = m_queue.back().name == "_";
    if (m_queue.size() >= max_queued_phonemes || queued_ms >= max_queued_ms || (pause && m_queue.size() > 1))
        synthesise(m_queue.size() - 1, false);
    return true;
}

void PsolaSynthesiser::synthesise(size_t count, bool ends_utterance)
{
    if (count == 0 || count > m_queue.size())
        return;
    std::vector<PhonemeLine> phonemes(m_queue.begin(), m_queue.begin() + long(count));
    std::string after = count < m_queue.size() ? m_queue[count].name : std::string("_");
    std::vector<float> samples = synthesise_phonemes(*m_database, phonemes, m_previous, after);
    m_previous = ends_utterance ? std::string("_") : phonemes.back().name;
    m_queue.erase(m_queue.begin(), m_queue.begin() + long(count));
    auto push = [&](double value) {
        value *= m_volume;
        m_output.push_back(int16_t(std::clamp(std::lround(value), -32768l, 32767l)));
    };
    if (m_output_rate == database_rate) {
        for (float value : samples)
            push(value);
        return;
    }
    // Another output rate: linear interpolation is enough for the rates a
    // caller asks for, which are near the database's own.
    double step = double(database_rate) / m_output_rate;
    for (double at = 0; at + 1 < double(samples.size()); at += step) {
        size_t index = size_t(at);
        double fraction = at - double(index);
        push(samples[index] * (1 - fraction) + samples[index + 1] * fraction);
    }
}

void PsolaSynthesiser::flush()
{
    synthesise(m_queue.size(), true);
    m_previous = "_";
}

size_t PsolaSynthesiser::read(int16_t* out, size_t max)
{
    size_t count = std::min(max, m_output.size());
    std::copy_n(m_output.begin(), count, out);
    m_output.erase(m_output.begin(), m_output.begin() + long(count));
    return count;
}

void PsolaSynthesiser::reset()
{
    m_queue.clear();
    m_output.clear();
    m_previous = "_";
    m_error = SynthError::None;
    m_error_text.clear();
}

}
