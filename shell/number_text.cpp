// Fixed-width number texts of the parameter displays. The digits are cut, not
// rounded, and the width is eight characters wherever the value allows it.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "shell/audio_effect.h"

namespace {
const char kHuge[] = " Huge!  ";
}

void AudioEffect::float2string(float value, char* text) {
    double v = value;
    if (std::isnan(v)) {  // nothing sensible to show, but never an undefined conversion
        std::strcpy(text, "  NaN   ");
        return;
    }
    int n = 0;
    bool negative = false;
    if (v < 0.0) {
        negative = true;
        v = -v;
        ++n;
        if (v > 9999999.0) {
            std::strcpy(text, kHuge);
            return;
        }
    } else if (v > 99999999.0) {
        std::strcpy(text, kHuge);
        return;
    }

    // Integer part, built from the right into a reversed buffer.
    char reversed[16];
    int len = 0;
    reversed[len++] = '.';
    ++n;
    int64_t whole = static_cast<int64_t>(std::floor(v));
    reversed[len++] = static_cast<char>('0' + whole % 10);
    ++n;
    int64_t quotient = whole / 10;
    while (quotient >= 1 && n < 8) {
        reversed[len++] = static_cast<char>('0' + quotient % 10);
        ++n;
        quotient /= 10;
    }
    if (negative) reversed[len++] = '-';
    for (int i = 0; i < len; ++i) text[i] = reversed[len - 1 - i];
    text[len] = 0;
    if (n >= 8) return;

    // Fraction: the 8 - n digits of (v mod 1) scaled up, again from the right.
    int digits = 8 - n;
    double m = std::fmod(v, 1.0) * std::pow(10.0, digits);
    char fraction[16];
    for (int i = digits - 1; i >= 0; --i) {
        if (m > 0.0) {
            fraction[i] = static_cast<char>('0' + static_cast<int>(std::fmod(m, 10.0)));
            m /= 10.0;
        } else {
            fraction[i] = '0';
        }
    }
    std::memcpy(text + len, fraction, static_cast<size_t>(digits));
    text[len + digits] = 0;
}

void AudioEffect::dB2string(float value, char* text) {
    if (value > 0.0f)
        float2string(static_cast<float>(20.0 * std::log10(static_cast<double>(value))), text);
    else
        std::strcpy(text, "  -oo   ");
}

void AudioEffect::Hz2string(float samples, char* text) {
    if (samples != 0.0f)
        float2string(sampleRate / samples, text);
    else
        float2string(0.0f, text);
}

void AudioEffect::ms2string(float samples, char* text) {
    float2string(static_cast<float>(samples * 1000.0 / sampleRate), text);
}

void AudioEffect::long2string(VstInt32 value, char* text) {
    if (value < 100000000) {
        // Large negative values would be longer than the display's 8 characters.
        char formatted[16];
        std::snprintf(formatted, sizeof(formatted), "%7d", static_cast<int>(value));
        formatted[8] = 0;
        std::strcpy(text, formatted);
    } else
        std::strcpy(text, kHuge);
}
