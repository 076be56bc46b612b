#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "shell/audio_effect.h"

namespace {

// The number texts are operations of the effect base; a bare base serves.
class TextEffect : public AudioEffectX {
public:
    TextEffect() : AudioEffectX(nullptr, 1, 1) {}
    std::string f(float v) { return call(&AudioEffect::float2string, v); }
    std::string dB(float v) { return call(&AudioEffect::dB2string, v); }
    std::string hz(float v) { return call(&AudioEffect::Hz2string, v); }
    std::string ms(float v) { return call(&AudioEffect::ms2string, v); }
    std::string lng(VstInt32 v) {
        char text[64];
        std::memset(text, 'x', sizeof(text));
        long2string(v, text);
        return text;
    }

private:
    std::string call(void (AudioEffect::*op)(float, char*), float v) {
        char text[64];
        std::memset(text, 'x', sizeof(text));
        (this->*op)(v, text);
        return text;
    }
};

TEST(Float2String, FixedWidthWithTruncatedDigits) {
    TextEffect e;
    EXPECT_EQ(e.f(1.0f), "1.000000");
    EXPECT_EQ(e.f(500.0f), "500.0000");
    EXPECT_EQ(e.f(0.5f), "0.500000");
    EXPECT_EQ(e.f(0.0f), "0.000000");
    // A float just below a decimal value shows the lower digits, never rounds up.
    EXPECT_EQ(e.f(-6.02f), "-6.01999");
    EXPECT_EQ(e.f(2828.427f), "2828.427");
    EXPECT_EQ(e.f(-1.0f), "-1.00000");
    EXPECT_EQ(e.f(12.0f), "12.00000");
    EXPECT_EQ(e.f(0.0333333f), "0.033333");
}

TEST(Float2String, LargeValuesAndTheHugeText) {
    TextEffect e;
    EXPECT_EQ(e.f(100000001.0f), " Huge!  ");
    EXPECT_EQ(e.f(-10000001.0f), " Huge!  ");
    // The largest values that still print keep only the digits that fit.
    EXPECT_EQ(e.f(9999999.0f), "9999999.");
    EXPECT_EQ(e.f(-9999999.0f), "-999999.");
    EXPECT_EQ(e.f(12345678.0f), "2345678.");
    EXPECT_EQ(e.f(1e30f), " Huge!  ");
    EXPECT_EQ(e.f(-1e30f), " Huge!  ");
}

TEST(Float2String, NeverWritesMoreThanEightCharacters) {
    TextEffect e;
    for (float v : {0.0f, 1e-30f, 0.999999f, 3.14159f, -3.14159f, 99999.99f, -9999999.0f, 99999999.0f,
                    -0.000001f, 123.456f}) {
        EXPECT_LE(e.f(v).size(), 8u) << v;
    }
    EXPECT_EQ(e.f(std::numeric_limits<float>::infinity()), " Huge!  ");
    EXPECT_EQ(e.f(-std::numeric_limits<float>::infinity()), " Huge!  ");
    EXPECT_LE(e.f(std::numeric_limits<float>::quiet_NaN()).size(), 8u);
}

TEST(NumberTexts, DecibelsFrequencyTimeAndIntegers) {
    TextEffect e;
    EXPECT_EQ(e.dB(0.0f), "  -oo   ");
    EXPECT_EQ(e.dB(-1.0f), "  -oo   ");
    EXPECT_EQ(e.dB(1.0f), "0.000000");
    EXPECT_EQ(e.dB(0.5f), "-6.02059");
    EXPECT_EQ(e.dB(2.0f), "6.020599");
    // Hz and ms texts use the stored sample rate (44100 by default).
    EXPECT_EQ(e.hz(441.0f), "100.0000");
    EXPECT_EQ(e.hz(0.0f), "0.000000");
    EXPECT_EQ(e.ms(441.0f), "10.00000");
    EXPECT_EQ(e.lng(42), "     42");
    EXPECT_EQ(e.lng(99999999), "99999999");
    EXPECT_EQ(e.lng(100000000), " Huge!  ");
    EXPECT_LE(e.lng(-2000000000).size(), 8u);
}

}  // namespace
