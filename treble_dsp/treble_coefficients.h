// Processing values of the treble plug-in, derived from the parameters when a
// parameter changes and read by the kernels on every sample.
#pragma once

#include <cstdint>

struct BiquadCoefficients {
    float b0, b1, b2, a1, a2;  // a0 normalised to 1
};

// Copies of the high-pass, one per filter instance in the kernels.
enum HighPassCopy { kHighPassLeftShaped = 0, kHighPassLeftBand, kHighPassRightShaped, kHighPassRightBand };

struct TrebleCoefficients {
    float bandHz;
    float bandQ;
    BiquadCoefficients bandPassCoef[2];  // left, right
    float firstOutHz;
    BiquadCoefficients highPassCoef[4];  // indexed by HighPassCopy
    float hissThreshold;
    float hissOpenRate;
    float hissCloseRate;
    float hissMinHz;
    float hissMinCoef;
    float hissKeep;
    float tranSlopeMix;
    int32_t tranSecondOrder;
    float tranReleaseScale;
    float tranGain;
    float tranDamp;
    float tranExponent;
    float wideMidGain;
    float wideSideGain;
    float wideSlope;
    float driveAmount;
    float driveGain;
    float harmonicsGain;
    float mixAmount;
    float outputGain;
    float softClipOn;
    int32_t processOn;
    int32_t exciterOn;
    int32_t wideOn;
    int32_t transientOn;
    int32_t hissOn;
    float stereoMonoEffective;
};
