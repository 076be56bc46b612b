#include "treble/treble_parameters.h"

namespace treble_params {

const ParameterInfo kParameters[kNumParams] = {
    {"Process", 17, " Off/On ", 1.0f},
    {"Thresh", 4, "    dB   ", 0.5f},
    {"NoiseAtten", 8, "   dB   ", 0.5f},
    {"Trancients", 7, "   dB   ", 0.75f},
    {"EnhanceS", 10, "        ", 0.0f},
    {"Freq", 0, "    Hz   ", 0.5f},
    {"Harmonics", 13, "   dB   ", 0.5f},
    {"Mix", 23, "         ", 1.0f},
    {"Output", 16, "   dB  ", 0.5f},
    {"MinFreq", 14, "   Hz   ", 0.5f},
    {"Speed", 5, "         ", 0.5f},
    {"Slope", 6, " dB/oct ", 0.5f},
    {"TranDamp", 9, "        ", 0.5f},
    {"Boost", 3, "   1:x  ", 0.5f},
    {"EnhSlope", 11, " dB/oct ", 0.5f},
    {"Q", 2, "    Q    ", 0.5f},
    {"Drive", 12, "        ", 0.5f},
    {"FirstOut", 1, "        ", 0.5f},
    {"Saturation", 15, " Off/On ", 0.0f},
    {"   ", 18, " Off/On ", 1.0f},
    {"ProcessEnh", 19, " Off/On ", 1.0f},
    {"ProcessTran", 20, " Off/On ", 1.0f},
    {"ProcessHiss", 21, " Off/On ", 1.0f},
    {"StereoMono", 22, "         ", -1.0f},
};

const int kIndexOfSlot[kNumParams] = {5, 17, 15, 13, 1, 10, 11, 3, 2, 12, 16, 6,
                                      4, 14, 9,  18, 8,  0,  19, 20, 21, 22, 23, 7};

const int kProgramApplyOrder[kNumParams] = {5, 15, 13, 1, 10, 11, 3, 2, 12, 16, 17, 6,
                                            4, 14, 9, 18, 8,  0,  19, 20, 21, 22, 23, 7};

}  // namespace treble_params
