// vorsa-render never writes a wrong result silently: values are range-checked,
// clipping is counted, formats are what was asked for, delays are measured.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>

#include "tests/support/plugin_paths.h"
#include "tests/tools/cli_run.h"

namespace {

TEST(RenderAccuracy, ListingShowsWhatTheRenderUsesAndChecksEveryValue) {
    const std::string rumblor = test_support::pluginPath("Vorsa_RUMBLOR");
    const std::string glintor = test_support::pluginPath("Vorsa_Glintor");
    struct Case {
        std::string arguments;
        int status;
        std::vector<std::string> messages;
    } cases[] = {
        {rumblor + " --list --program warm1 --set gain=6dB --set saturation=on --set freq=0.1kHz",
         0,
         {"[gain]        [6.000000]", "[saturation]  [on]", "[freq]        [100.0000]", "program \"warm1\"",
          "reported 256 frames, measured 255"}},
        {glintor + " --list --set Output=-3dB --set 1=0.5", 0,
         {"[Output]      [-3.00000]", "reported 0 frames, measured 255",
          "--align compensates the measured one"}},
        {rumblor + " --list --set gain=5", 1, {"value 5 for parameter \"gain\" is outside 0..1", "-12.0000 dB at 0"}},
        {rumblor + " --list --set gain=99dB", 1, {"outside its range, -12.0000 dB to 12.00000 dB"}},
        {rumblor + " --list --set gain=3Hz", 1, {"is in dB, not \"hz\""}},
        {rumblor + " --list --set saturation=maybe", 1, {"shows no such text (it shows off, on)"}},
        {glintor + " --list --set Drive=6dB", 1, {"\"Drive\" has no unit; give a normalised value 0..1"}},
    };
    for (const Case& c : cases) {
        cli::Run r = cli::render(c.arguments);
        EXPECT_EQ(r.status, c.status) << c.arguments << "\n" << r.output;
        for (const std::string& m : c.messages) EXPECT_TRUE(cli::contains(r.output, m)) << m << "\n" << r.output;
    }
}

TEST(RenderAccuracy, ClippingIsCountedAndFormatsAreAsAsked) {
    cli::TempFolder dir;
    // Half the frames at 0.8, which the test plug-in's gain of 2 takes to 1.6.
    render::AudioData loud;
    loud.channels = 2;
    for (long i = 0; i < 1000; ++i) loud.samples.insert(loud.samples.end(), 2, i < 500 ? 0.8f : 0.2f);
    cli::writeWav(dir / "loud.wav", loud, SF_FORMAT_PCM_16);
    const std::string plugin = std::string(TEST_DELAY_PLUGIN) + " loud.wav ";
    struct Case {
        std::string arguments;
        int subformat;
        std::vector<std::string> messages;
    } cases[] = {
        // The input's own format; the clipping is reported even with --quiet.
        {"out16.wav --set gain=1 --quiet", SF_FORMAT_PCM_16, {"warning: 1000 samples clipped", "peak +4.08 dBFS"}},
        {"out24.wav --set gain=1 --bits 24", SF_FORMAT_PCM_24, {"24-bit integer WAV", "1000 samples clipped"}},
        {"outf.wav --set gain=1 --format float", SF_FORMAT_FLOAT, {"1000 samples above full scale, kept (float)"}},
        {"out.flac --format float", 0, {"FLAC holds 16- or 24-bit integers, not 32-bit float"}},
    };
    for (const Case& c : cases) {
        cli::Run r = cli::render(plugin + c.arguments, dir.path);
        EXPECT_EQ(r.status, c.subformat ? 0 : 1) << r.output;
        for (const std::string& m : c.messages) EXPECT_TRUE(cli::contains(r.output, m)) << m << "\n" << r.output;
        const std::string out = c.arguments.substr(0, c.arguments.find(' '));
        cli::WavFile wav = cli::readWav(dir / out);
        EXPECT_EQ(wav.subformat, c.subformat) << out;
        if (c.subformat == SF_FORMAT_FLOAT) {
            EXPECT_NEAR(wav.audio.at(10, 1), 1.6f, 1e-4f);
        }
    }

    // A level of a third of the 16-bit step is lost without dither; with it,
    // it survives on average as noise.
    render::AudioData faint;
    faint.channels = 1;
    faint.samples.assign(40000, 0.3f / 32768);
    cli::writeWav(dir / "faint.wav", faint, SF_FORMAT_FLOAT);
    ASSERT_EQ(cli::render(std::string(TEST_DELAY_PLUGIN) + " faint.wav faint16.wav --bits 16 --quiet", dir.path).status, 0);
    cli::WavFile wav = cli::readWav(dir / "faint16.wav");
    ASSERT_EQ(wav.subformat, SF_FORMAT_PCM_16);
    double sum = 0.0;
    long nonzero = 0;
    for (long i = 0; i < 40000; ++i) {
        sum += wav.audio.at(i, 0) * 32768.0;
        nonzero += wav.audio.at(i, 0) != 0.0f;
    }
    EXPECT_NEAR(sum / 40000, 0.3, 0.03);
    EXPECT_GT(nonzero, 4000);
}

TEST(RenderAccuracy, DelayIsReadAfterResumeAndMeasuredWhenAsked) {
    cli::TempFolder dir;
    render::AudioData input = cli::testSignal(5000, 1);
    cli::writeWav(dir / "in.wav", input, SF_FORMAT_FLOAT);
    const std::string plugins = TEST_PLUGIN_DIR;
    struct Case {
        std::string plugin, options;
        long late;  // frames the output lags the input
        std::vector<std::string> messages;
    } cases[] = {
        // Reports its delay only once resumed, through audioMasterIOChanged.
        {"Test_Delay_Late", "", 0, {"reported 100 frames, measured 100, compensated 100"}},
        // Never reports it: trusted as a DAW would, with a warning, or measured.
        {"Test_Delay_Hidden", "", 100, {"reports a delay of 0 frames, but its output is 100 frames late"}},
        {"Test_Delay_Hidden", "--align", 0, {"reported 0 frames, measured 100, compensated 100"}},
    };
    for (const Case& c : cases) {
        cli::Run r = cli::render(plugins + "/" + c.plugin + ".so in.wav out.wav " + c.options, dir.path);
        ASSERT_EQ(r.status, 0) << r.output;
        for (const std::string& m : c.messages) EXPECT_TRUE(cli::contains(r.output, m)) << m << "\n" << r.output;
        cli::WavFile wav = cli::readWav(dir / "out.wav");
        ASSERT_GE(wav.audio.frames(), 5000 + c.late);
        for (long i = 0; i < 5000; i += 7) ASSERT_EQ(wav.audio.at(i + c.late, 0), input.at(i, 0)) << c.plugin << " " << i;
    }
}

}  // namespace
