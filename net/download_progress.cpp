// SPDX-License-Identifier: GPL-3.0-or-later
// The spoken progress report of a download, and the click that marks each block.
#include "net/download_progress.h"

#include "interpreter/number.h"

#include <cmath>
#include <cstdio>

namespace net {

namespace {

constexpr int64_t kilobyte = 1024;
constexpr int64_t megabyte = 1048576;
constexpr int64_t gigabyte = 1073741824;

// Drops the zeros after the decimal comma, and the comma when nothing follows.
void trim_fraction(std::string& digits)
{
    if (digits.find(',') == std::string::npos)
        return;
    while (digits.back() == '0')
        digits.pop_back();
    if (digits.back() == ',')
        digits.pop_back();
}

}

std::string format_general(double value, int precision)
{
    if (!std::isfinite(value))
        return "0";
    if (value == 0)
        return "0";
    char text[64];
    // The exponent after rounding to the precision decides the notation.
    std::snprintf(text, sizeof text, "%.*e", precision - 1, value);
    std::string scientific(text);
    auto e = scientific.find('e');
    int exponent = std::atoi(scientific.c_str() + e + 1);
    std::string result;
    if (exponent < precision && std::fabs(value) >= 0.00001) {
        std::snprintf(text, sizeof text, "%.*f", std::max(0, precision - 1 - exponent), value);
        result = text;
        for (auto& c : result)
            c = c == '.' ? ',' : c;
        trim_fraction(result);
        return result;
    }
    std::string mantissa = scientific.substr(0, e);
    for (auto& c : mantissa)
        c = c == '.' ? ',' : c;
    trim_fraction(mantissa);
    std::snprintf(text, sizeof text, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
    return mantissa + text;
}

std::vector<std::string> progress_report(const ProgressFigures& figures)
{
    std::vector<std::string> pieces;
    int64_t size = figures.file_size;
    if (figures.streaming) {
        pieces.push_back(interpreter::format_number(size) + " bytes escritos em disco.");
    } else {
        pieces.push_back("Recebidos: ");
        double percent = figures.total > 0 ? double(size) / double(figures.total) * 100.0 : 0.0;
        std::string percent_text = format_general(percent, 3);
        percent_text = percent_text.substr(0, percent_text.find('E'));
        int64_t total = figures.total;
        std::string total_text;
        if (total >= gigabyte)
            total_text = interpreter::format_number(total / gigabyte) + "GB.";
        else if (total >= megabyte)
            total_text = interpreter::format_number(total / megabyte) + "MB.";
        else if (total < kilobyte)
            total_text = interpreter::format_number(total) + "Bytes.";
        else
            total_text = interpreter::format_number(total / kilobyte) + "KB.";
        pieces.push_back(percent_text + "% de " + total_text);
    }
    if (size >= gigabyte)
        pieces.push_back(format_general(double(size) / double(gigabyte), 3) + " GigaBytes gravados.");
    else if (size >= megabyte)
        pieces.push_back(format_general(double(size) / double(megabyte), 3) + " MegaBytes gravados.");
    else if (size >= kilobyte)
        pieces.push_back(format_general(double(size) / double(kilobyte), 3) + " KBytes gravados.");
    else
        pieces.push_back(interpreter::format_number(size) + " Bytes gravados.");
    pieces.push_back("Arquivo: " + figures.file_name);
    return pieces;
}

std::array<uint8_t, 256> progress_click_samples()
{
    // A 2,756 Hz square-ish tick (four samples a period) under a fast
    // exponential decay, centred on 128 as 8-bit sound is.
    std::array<uint8_t, 256> samples {};
    for (size_t i = 0; i < samples.size(); ++i) {
        double envelope = std::exp(-double(i) / 24.0);
        double wave = (i % 4 < 2) ? 1.0 : -1.0;
        samples[i] = static_cast<uint8_t>(std::lround(128.0 + 100.0 * envelope * wave));
    }
    return samples;
}

}
