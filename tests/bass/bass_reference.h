// A plain, unoptimised model of the bass signal path, one sample at a time in
// the most direct form, for comparison with the effect's staged and
// vectorised loop. It reads the effect's coefficients and tables but keeps
// its own state and rings.
#pragma once

#include <cmath>
#include <vector>

#include "tests/bass/bass_test_support.h"

namespace bass_test {

struct ReferenceBass {
    const Bass& e;
    double split1[2] = {}, split2[2] = {}, shaper[2] = {}, hold[2] = {}, smooth[2] = {}, dc[2] = {};
    float env = 0.0f;
    float dither = 1e-12f;
    float dry[2][256], high[2][256], low[2][256];
    int w = 255, r = 0;

    explicit ReferenceBass(const Bass& effect) : e(effect) {
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < 256; ++i) dry[c][i] = high[c][i] = low[c][i] = 1e-7f;
    }

    float S(float x) const { return e.lookup.sqrtOf(x); }
    float R(float x) const { return e.lookup.recipOf(x); }

    // One block; channels = 2 for stereo processing, 1 for mono.
    void block(const float* inL, const float* inR, float* outL, float* outR, int frames, int channels) {
        const float a1 = static_cast<float>(e.bandCoef), a2 = static_cast<float>(e.shaperCoef);
        const float b0 = static_cast<float>(e.dcCoef), b1 = static_cast<float>(e.dcFeedback);
        const float T = e.getEffectiveValue(bass_params::kThreshold);
        const float sT = S(T);
        const float gmax = S(1.5258789e-05f) * sT / 1.5258789e-05f;
        const bool on = e.getEffectiveValue(bass_params::kProcess) >= 1.0f;
        const float gainLin = e.getEffectiveValue(bass_params::kGain);
        const float bassLin = e.getEffectiveValue(bass_params::kBass);
        const float mix = e.getEffectiveValue(bass_params::kMix);
        const float colour = e.getEffectiveValue(bass_params::kColour);
        const float norm = e.colourNorm;
        const bool saturate = e.getEffectiveValue(bass_params::kSaturation) >= 1.0f;
        for (int i = 0; i < frames; ++i) {
            dither = -dither;
            float x[2] = {inL[i] + dither, channels == 2 ? inR[i] + dither : 0.0f};
            float d[2] = {}, hi[2] = {}, lo[2] = {}, lowNow[2] = {};
            for (int c = 0; c < channels; ++c) {
                dry[c][w] = x[c];
                d[c] = dry[c][r];
                float s1 = static_cast<float>(split1[c]), s2 = static_cast<float>(split2[c]);
                s1 += a1 * (x[c] - s1);
                s2 += a1 * (s1 - s2);
                split1[c] = s1;
                split2[c] = s2;
                lowNow[c] = s2;
                high[c][w] = x[c] - s2;
                hi[c] = high[c][r];
                low[c][w] = s2;
                lo[c] = low[c][r];
            }
            float peak = std::fabs(lowNow[0]);
            if (channels == 2 && std::fabs(lowNow[1]) > peak) peak = std::fabs(lowNow[1]);
            if (peak > env)
                env += (peak - env) * 0.025f;
            else
                env += (peak - env) * 0.001f;
            float gain;
            if (env > 1.5258789e-05f)
                gain = env >= T ? 1.0f : sT * S(env) * R(env);
            else
                gain = gmax;
            lastGain = gain;
            float out[2] = {};
            for (int c = 0; c < channels; ++c) {
                float y;
                if (on) {
                    const float l = lo[c] * gain;
                    float sh = static_cast<float>(shaper[c]);
                    sh += a2 * (l - sh);
                    shaper[c] = sh;
                    if (sh > hold[c])
                        hold[c] = sh;
                    else
                        hold[c] += (sh - hold[c]) * 0.025;
                    const float t = static_cast<float>(colour * hold[c]);
                    const float shaped = t >= 0.0f ? t - 0.25f * t * t : t + 0.25f * t * t;
                    const double harm = norm * shaped - hold[c];
                    smooth[c] += a1 * (harm - smooth[c]);
                    y = hi[c] + bassLin * (l + static_cast<float>(smooth[c]));
                } else {
                    y = hi[c] + bassLin * lo[c];
                }
                float dcs = static_cast<float>(dc[c]);
                dcs = b0 * y + b1 * dcs;
                dc[c] = dcs;
                y -= dcs;
                float o = (d[c] + (y - d[c]) * mix) * gainLin;
                if (saturate) {
                    if (std::fabs(o) >= 2.0f)
                        o = o > 0.0f ? 1.0f : -1.0f;
                    else
                        o = o >= 0.0f ? o - 0.25f * o * o : o + 0.25f * o * o;
                }
                out[c] = o;
            }
            if (channels == 1) {
                high[1][w] = high[0][w];
                low[1][w] = low[0][w];
                out[1] = out[0];
            }
            outL[i] = out[0];
            if (outR) outR[i] = out[1];
            w = (w + 1) & 255;
            r = (r + 1) & 255;
        }
    }
    float lastGain = 1.0f;
};

}  // namespace bass_test
