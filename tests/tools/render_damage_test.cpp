// Audio a render must neither damage nor lose without a word: outputs past
// what a WAV header counts, inputs whose header was never finished,
// broadcast metadata, tails past the input, channels a plug-in adds.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>

#include "tests/tools/cli_run.h"

namespace {

std::string plugin(const std::string& file) { return std::string(TEST_PLUGIN_DIR) + "/" + file + " "; }

// A broadcast WAV as a field recorder writes it: bext with a time reference,
// INFO tags, two cue points and an iXML chunk libsndfile cannot carry.
void writeBroadcastWav(const std::string& path, const render::AudioData& audio) {
    SF_INFO info{};
    info.samplerate = audio.sampleRate;
    info.channels = audio.channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_24;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_TRUE(file) << sf_strerror(nullptr);
    SF_BROADCAST_INFO bext{};
    std::strcpy(bext.description, "scene 4 take 2");
    std::strcpy(bext.originator, "field recorder");
    bext.time_reference_low = 172800000;  // an hour in at 48 kHz
    bext.time_reference_high = 1;
    EXPECT_EQ(sf_command(file, SFC_SET_BROADCAST_INFO, &bext, sizeof(bext)), SF_TRUE);
    SF_CUES cues{};
    cues.cue_count = 2;
    for (uint32_t i = 0; i < 2; ++i) {
        cues.cue_points[i].indx = static_cast<int32_t>(i + 1);
        cues.cue_points[i].position = cues.cue_points[i].sample_offset = 1000 * (i + 1);
        cues.cue_points[i].fcc_chunk = 0x61746164;  // "data"
    }
    EXPECT_EQ(sf_command(file, SFC_SET_CUE, &cues, sizeof(cues)), SF_TRUE);
    EXPECT_EQ(sf_set_string(file, SF_STR_TITLE, "Dawn chorus"), 0);
    EXPECT_EQ(sf_set_string(file, SF_STR_ARTIST, "Sound team"), 0);
    char xml[] = "<BWFXML></BWFXML>";
    SF_CHUNK_INFO chunk{};
    std::memcpy(chunk.id, "iXML", 4);
    chunk.id_size = 4;
    chunk.datalen = sizeof(xml) - 1;
    chunk.data = xml;
    EXPECT_EQ(sf_set_chunk(file, &chunk), SF_ERR_NO_ERROR);
    EXPECT_EQ(sf_writef_float(file, audio.samples.data(), audio.frames()), audio.frames());
    sf_close(file);
}

struct Opened {
    SF_INFO info{};
    SF_BROADCAST_INFO bext{};
    bool hasBext = false;
    uint32_t cues = 0;
    std::string title;
};

Opened open(const std::string& path) {
    Opened o;
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &o.info);
    if (!file) return o;
    o.hasBext = sf_command(file, SFC_GET_BROADCAST_INFO, &o.bext, sizeof(o.bext)) == SF_TRUE;
    sf_command(file, SFC_GET_CUE_COUNT, &o.cues, sizeof(o.cues));
    if (const char* t = sf_get_string(file, SF_STR_TITLE)) o.title = t;
    sf_close(file);
    return o;
}

std::string firstBytes(const std::string& path, size_t n) { return cli::readBytes(path).substr(0, n); }

TEST(RenderDamage, NothingIsCutWrappedOrDroppedWithoutAWord) {
    cli::TempFolder dir;
    render::AudioData music = cli::testSignal(48000);
    music.sampleRate = 48000;
    writeBroadcastWav(dir / "bwf.wav", music);
    render::AudioData mono = cli::testSignal(13230, 1);  // 0.3 s
    cli::writeWav(dir / "mono.wav", mono, SF_FORMAT_FLOAT);
    render::AudioData click;
    click.channels = 1;
    click.samples.assign(13230, 0.0f);
    click.samples[0] = 1.0f;
    cli::writeWav(dir / "click.wav", click, SF_FORMAT_FLOAT);
    // A recorder that stopped before finishing the header: the data size says 0.
    cli::writeWav(dir / "full.wav", music, SF_FORMAT_PCM_16);
    {
        std::string bytes = cli::readBytes(dir / "full.wav");
        const size_t data = bytes.find("data");
        ASSERT_NE(data, std::string::npos);
        bytes.replace(data + 4, 4, std::string(4, '\0'));
        FILE* f = std::fopen((dir / "crashed.wav").c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    const std::string delay = plugin("Test_Delay_Mono.so");
    const long tail = 256;  // the render's allowance for undeclared look-ahead
    struct Case {
        std::string command;
        int status;
        std::vector<std::string> messages;
        std::function<void()> check;
    } cases[] = {
        // Past the (lowered) 32-bit limit a WAV becomes RF64 with the right length.
        {"VORSA_RENDER_RF64_ABOVE=100000 " + std::string(VORSA_RENDER) + " " + delay + "bwf.wav big.wav", 0,
         {"24-bit integer RF64", "2 cue point(s) (dropped)"},
         [&] {
             EXPECT_EQ(firstBytes(dir / "big.wav", 4), "RF64");
             Opened o = open(dir / "big.wav");
             EXPECT_EQ(o.info.frames, 48000 + tail);
             EXPECT_TRUE(o.hasBext);
         }},
        {"VORSA_RENDER_RF64_ABOVE=100000 " + std::string(VORSA_RENDER) + " " + delay + "bwf.wav big.aiff", 1,
         {"cannot write big.aiff", "do not fit an AIFF file", ".wav (written as RF64)"},
         [&] { EXPECT_FALSE(std::filesystem::exists(dir / "big.aiff")); }},
        // Of unknown length: RF64 until the end shows it fits a plain WAV.
        {"cat mono.wav | " + std::string(VORSA_RENDER) + " " + delay + "- piped.wav", 0, {"32-bit float WAV"},
         [&] {
             EXPECT_EQ(firstBytes(dir / "piped.wav", 4), "RIFF");
             EXPECT_EQ(open(dir / "piped.wav").info.frames, 13230 + tail);
         }},
        {std::string(VORSA_RENDER) + " " + delay + "crashed.wav out.wav", 1,
         {"crashed.wav declares 0 frames", "holds about 48000", "--recover"},
         [&] { EXPECT_FALSE(std::filesystem::exists(dir / "out.wav")); }},
        {std::string(VORSA_RENDER) + " " + delay + "crashed.wav recovered.wav --recover --format float", 0,
         {"48000 frames at 48000 Hz"},
         [&] {
             cli::WavFile got = cli::readWav(dir / "recovered.wav"), want = cli::readWav(dir / "full.wav");
             ASSERT_EQ(got.audio.frames(), 48000 + tail);
             for (long i = 0; i < 48000; i += 7) ASSERT_EQ(got.audio.at(i, 1), want.audio.at(i, 1)) << i;
         }},
        // Metadata: kept where the container takes it, named where it does not.
        {std::string(VORSA_RENDER) + " " + delay + "bwf.wav meta.wav", 0, {"iXML (production XML) (dropped)"},
         [&] {
             Opened o = open(dir / "meta.wav");
             EXPECT_TRUE(o.hasBext);
             EXPECT_STREQ(o.bext.description, "scene 4 take 2");
             EXPECT_EQ(o.bext.time_reference_low, 172800000u);
             EXPECT_EQ(o.bext.time_reference_high, 1u);
             EXPECT_EQ(o.cues, 2u);
             EXPECT_EQ(o.title, "Dawn chorus");
         }},
        {std::string(VORSA_RENDER) + " " + delay + "bwf.wav meta.flac", 0,
         {"bext (broadcast info and time reference)", "2 cue point(s)", "iXML"},
         [&] { EXPECT_EQ(open(dir / "meta.flac").title, "Dawn chorus"); }},
        // Tails: the plug-in's own, a chosen length, or until silence.
        {std::string(VORSA_RENDER) + " " + plugin("Test_Echo.so") + "click.wav short.wav", 0, {"reports none"},
         [&] { EXPECT_EQ(open(dir / "short.wav").info.frames, 13230 + tail); }},
        {std::string(VORSA_RENDER) + " " + plugin("Test_Echo_Tail.so") + "click.wav reported.wav", 0,
         {"reports 22050 frames"}, [&] { EXPECT_EQ(open(dir / "reported.wav").info.frames, 13230 + tail + 22050); }},
        {std::string(VORSA_RENDER) + " " + plugin("Test_Echo.so") + "click.wav fixed.wav --tail 1", 0, {},
         [&] { EXPECT_EQ(open(dir / "fixed.wav").info.frames, 13230 + tail + 44100); }},
        {std::string(VORSA_RENDER) + " " + plugin("Test_Echo.so") + "click.wav auto.wav --tail auto", 0, {},
         [&] {
             // The 14th echo (1.4 s, -84 dBFS) is kept, then 0.2 s of silence
             // (the 15th is below -90 dBFS) ends the render within a block.
             cli::WavFile wav = cli::readWav(dir / "auto.wav");
             ASSERT_GT(wav.audio.frames(), 14 * 4410);
             EXPECT_NEAR(wav.audio.at(14 * 4410, 0), std::pow(0.5, 14), 1e-9);
             EXPECT_GE(wav.audio.frames(), 16 * 4410);
             EXPECT_LT(wav.audio.frames(), 16 * 4410 + 512);
         }},
        // A mono-in, stereo-out plug-in gives a stereo file, and says so.
        {std::string(VORSA_RENDER) + " " + plugin("Test_Echo_Stereo.so") + "mono.wav wide.wav", 0,
         {"gives 2 channel(s) from the 1 of mono.wav"},
         [&] {
             cli::WavFile wav = cli::readWav(dir / "wide.wav");
             ASSERT_EQ(wav.audio.channels, 2);
             EXPECT_EQ(wav.audio.at(100, 0), mono.at(100, 0));    // before the first echo
             EXPECT_EQ(wav.audio.at(100, 1), 0.0f);               // the echo alone
             EXPECT_EQ(wav.audio.at(4410, 1), 0.5f * mono.at(0, 0));
         }},
    };
    for (const Case& c : cases) {
        cli::Run r = cli::shell(c.command, dir.path);
        EXPECT_EQ(r.status, c.status) << c.command << "\n" << r.output;
        for (const std::string& m : c.messages) EXPECT_TRUE(cli::contains(r.output, m)) << m << "\n" << r.output;
        c.check();
    }
}

}  // namespace
