// Both products at every sample rate, driven the way hosts drive them: an
// instance is created at 44.1 kHz, told the session's rate and resumed, often
// with a program chosen before or after. Whatever the order, the sound at a
// rate is the sound of that rate.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/hosting/hosting_support.h"

namespace {

using hosting::Render;

struct Deliverable {
    const char* plugin;
    int program;  // a factory program far from the defaults
};

const Deliverable kDeliverables[] = {
    {"Vorsa_Glintor", 5}, {"Vorsa_Glintor_Mono", 5}, {"Vorsa_RUMBLOR", 19}, {"Vorsa_RUMBLOR_Mono", 19}};
const float kRates[] = {22050.0f, 44100.0f, 48000.0f, 96000.0f, 192000.0f};

TEST(SampleRates, EveryOrderOfRateAndProgramGivesTheSoundOfTheRate) {
    for (const Deliverable& d : kDeliverables) {
        for (float rate : kRates) {
            SCOPED_TRACE(std::string(d.plugin) + " at " + std::to_string(static_cast<int>(rate)) + " Hz");
            const std::vector<float> music = hosting::music(static_cast<int>(rate / 2), rate);

            // The program selected after resume: the reference.
            Render selectedAfter(d.plugin);
            selectedAfter->startUp(rate, 512);
            selectedAfter->setProgram(d.program);

            // A fresh instance on program 0, and one selected before the rate
            // was known (a host restoring a project).
            Render fresh(d.plugin), fresh0(d.plugin), selectedBefore(d.plugin);
            fresh->startUp(rate, 512);
            fresh0->startUp(rate, 512);
            fresh0->setProgram(0);
            selectedBefore->setProgram(d.program);
            selectedBefore->startUp(rate, 512);

            // In mid-life: music at 44.1 kHz, then suspend, the new rate, resume.
            Render midLife(d.plugin);
            midLife->startUp(44100.0f, 512);
            midLife->setProgram(d.program);
            midLife.run(hosting::music(30000, 44100.0f), 512);
            midLife->suspend();
            midLife->setSampleRate(rate);
            midLife->resume();

            const std::vector<float> expected = selectedAfter.run(music, 512);
            EXPECT_EQ(selectedBefore.run(music, 512), expected);
            // Without a new rate, suspend keeps what the hiss reducer learnt.
            if (rate != 44100.0f) {
                EXPECT_EQ(midLife.run(music, 512), expected);
            }
            EXPECT_EQ(fresh.run(music, 512), fresh0.run(music, 512));
        }
    }
}

// The bass enhancer's tune frequency is in Hz whatever the rate: a 60 Hz tone
// comes out at nearly the same level at every rate. The envelope and the peak
// hold move by a fixed share per sample, which leaves a few tenths of a dB
// between rates; a band split designed for the wrong rate made 1.9 dB at
// 48 kHz and far more at 96 kHz.
TEST(SampleRates, BassToneLevelDoesNotDependOnTheRate) {
    double reference = 0.0;
    for (float rate : kRates) {
        Render bass("Vorsa_RUMBLOR");
        bass->startUp(rate, 512);
        bass->setProgram(19);
        const int frames = static_cast<int>(rate);  // one second
        std::vector<float> tone(static_cast<size_t>(frames) * 2);
        for (int i = 0; i < frames; ++i)
            tone[2 * static_cast<size_t>(i)] = tone[2 * static_cast<size_t>(i) + 1] =
                0.05f * static_cast<float>(std::sin(2.0 * M_PI * 60.0 * i / rate));
        const std::vector<float> out = bass.run(tone, 512);
        // RMS of the second half, after the envelope has settled.
        double sum = 0.0;
        for (size_t i = out.size() / 2; i < out.size(); ++i) sum += static_cast<double>(out[i]) * out[i];
        const double db = 10.0 * std::log10(sum / static_cast<double>(out.size() / 2));
        if (rate == kRates[0]) reference = db;
        EXPECT_NEAR(db, reference, 0.5) << rate << " Hz";
    }
}

}  // namespace
