#include "bass_dsp/bass_lookup.h"

#include <cmath>

void BassLookup::fill() {
    for (int i = 0; i < 256; ++i) sqrtMantTable[i] = static_cast<float>(std::sqrt(i / 512.0 + 0.5));
    const double mant0 = sqrtMantTable[0];
    for (int i = 0; i < 256; ++i) {
        sqrtExpTable[i] = static_cast<float>(1.0 / std::pow(mant0, i - 126));
        recipMantTable[i] = static_cast<float>(1.0 / ((i + 256) / 512.0));
        recipExpTable[i] = static_cast<float>(1.0 / std::pow(2.0, i - 126));
    }
    for (int i = 0; i < 256; ++i) {
        sqrtRecipExpTable[i] = sqrtExpTable[i] * recipExpTable[i];
        sqrtRecipMantTable[i] = sqrtMantTable[i] * recipMantTable[i];
    }
}
