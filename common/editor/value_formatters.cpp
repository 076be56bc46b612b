#include "common/editor/value_formatters.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {
constexpr int kTextSize = 256;

const char* const kLabels[] = {
    "threshold", "attenuation", "speed",   "min.freq", "ratio",  "filt.slope",    "hi.damp",
    "adjust",    "filt.slope",  "enhance", "frequency", "Q",     "drive",         "first out",
    "adjust",    "output",      "over enhanced", "peak over", "mix",
};

// Truncation toward zero that stays defined for NaN and for values beyond int.
int truncated(double v) {
    if (!(v == v)) return 0;
    if (v >= 2147483647.0) return 2147483647;
    if (v <= -2147483648.0) return -2147483647 - 1;
    return static_cast<int>(v);
}
}  // namespace

void formatLabel(float value, char* text) {
    const int number = truncated(value);
    const int count = static_cast<int>(sizeof(kLabels) / sizeof(kLabels[0]));
    text[0] = 0;
    if (number >= 0 && number < count) std::snprintf(text, kTextSize, "%s", kLabels[number]);
}

void formatDecibels(float value, char* text) {
    if (!(value > 1e-8f)) {
        std::snprintf(text, kTextSize, "-oo dB");
        return;
    }
    const double a = 20.0 * std::log10(static_cast<double>(value));
    const int whole = truncated(a);
    const int tenth = truncated(std::fabs((a - whole) * 10.0));
    // Between 0 and -1 dB the whole part is 0 and would lose its sign.
    if (a < 0.0 && a > -1.0)
        std::snprintf(text, kTextSize, "-%d.%ddB", whole, tenth);
    else
        std::snprintf(text, kTextSize, "%d.%ddB", whole, tenth);
}

void formatHertz(float value, char* text) { std::snprintf(text, kTextSize, "%dHz", truncated(value + 0.5)); }

void formatPercent(float value, char* text) {
    std::snprintf(text, kTextSize, "%d%%", truncated(static_cast<double>(value) * 100.0));
}

void formatDigits(float value, char* text) {
    constexpr int kWidth = 8;
    const double v = value;
    const bool negative = v < 0.0;
    const double magnitude = std::fabs(v);
    // The integer digits, the point and the sign must fit in the eight characters;
    // a value whose digits do not fit would otherwise lose its leading digits.
    const double limit = negative ? 1e6 : 1e7;
    if (!(magnitude < limit)) {
        std::snprintf(text, kTextSize, " Huge!  ");
        return;
    }
    int used = (negative ? 1 : 0) + 1;  // sign and decimal point
    char whole[kWidth];
    int wholeCount = 0;
    double n = std::floor(magnitude);
    do {
        whole[wholeCount++] = static_cast<char>('0' + truncated(std::fmod(n, 10.0)));
        n /= 10.0;
        ++used;
    } while (n >= 1.0 && used < kWidth);

    int at = 0;
    if (negative) text[at++] = '-';
    while (wholeCount > 0) text[at++] = whole[--wholeCount];
    text[at++] = '.';

    const int fractionDigits = kWidth - used;
    double f = std::fmod(magnitude, 1.0) * std::pow(10.0, fractionDigits);
    for (int i = fractionDigits - 1; i >= 0; --i) {
        text[at + i] = f > 0.0 ? static_cast<char>('0' + truncated(std::fmod(f, 10.0))) : '0';
        f /= 10.0;
    }
    at += fractionDigits > 0 ? fractionDigits : 0;
    text[at] = 0;
}

void formatSlope(float value, char* text) {
    char digits[kTextSize];
    formatDigits(value, digits);
    std::snprintf(text, kTextSize, "%.4sdB/oct", digits);
}

void (*formatterFor(FieldFormat format))(float value, char* text) {
    switch (format) {
    case FieldFormat::Decibels: return formatDecibels;
    case FieldFormat::Hertz: return formatHertz;
    case FieldFormat::Percent: return formatPercent;
    case FieldFormat::Digits: return formatDigits;
    case FieldFormat::Slope: return formatSlope;
    }
    return formatDigits;
}
