#include "tools/vorsa_snapshot/snapshot.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "gui/headless/headless_platform.h"
#include "shell/audio_effect.h"
#include "tools/vorsa_render/demo_input.h"

namespace {
struct Options {
    std::string output;
    PluginBuild build = PluginBuild::Stereo;
    std::string program;
    double audioSeconds = 0.0;
    bool about = false;
};

VstIntPtr snapshotHost(AEffect* /*effect*/, VstInt32 opcode, VstInt32 /*index*/, VstIntPtr /*value*/, void* /*ptr*/,
                       float /*opt*/) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

void usage(const char* name) {
    std::fprintf(stderr,
                 "usage: vorsa-snapshot-%s --out FILE.png [--mono] [--program INDEX|NAME] [--audio SECONDS] [--about]\n"
                 "  Writes a picture of the %s editor. --audio first plays that much of the demo music\n"
                 "  through the effect (its indicators then show what happened); --about opens the about screen.\n",
                 name, name);
}

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--out" && hasValue) {
            options.output = argv[++i];
        } else if (arg == "--mono") {
            options.build = PluginBuild::Mono;
        } else if (arg == "--program" && hasValue) {
            options.program = argv[++i];
        } else if (arg == "--audio" && hasValue) {
            char* end = nullptr;
            options.audioSeconds = std::strtod(argv[++i], &end);
            if (!end || *end || !(options.audioSeconds >= 0.0) || options.audioSeconds > 60.0) return false;
        } else if (arg == "--about") {
            options.about = true;
        } else {
            return false;
        }
    }
    return !options.output.empty();
}

VstIntPtr dispatch(AEffect* e, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                   float opt = 0.0f) {
    return e->dispatcher(e, opcode, index, value, ptr, opt);
}

// The program with this index or name; -1 when there is none.
int findProgram(AEffect* e, const std::string& wanted) {
    char* end = nullptr;
    const long index = std::strtol(wanted.c_str(), &end, 10);
    if (!wanted.empty() && end && *end == 0) return index >= 0 && index < e->numPrograms ? int(index) : -1;
    for (int p = 0; p < e->numPrograms; ++p) {
        char name[256] = {};
        if (dispatch(e, effGetProgramNameIndexed, p, 0, name) && wanted == name) return p;
    }
    return -1;
}

// Plays the start of the demo music through the effect in blocks, as a host would.
void playDemo(AEffect* e, double seconds) {
    const int rate = 44100, block = 512;
    render::AudioData music = render::makeDemoInput(rate);
    const long frames = std::min(music.frames(), static_cast<long>(seconds * rate));
    std::vector<float> in[2], out[2];
    for (int c = 0; c < 2; ++c) {
        in[c].resize(block);
        out[c].resize(block);
    }
    float* inputs[2] = {in[0].data(), in[1].data()};
    float* outputs[2] = {out[0].data(), out[1].data()};
    for (long start = 0; start < frames; start += block) {
        const int n = static_cast<int>(std::min<long>(block, frames - start));
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < n; ++i) in[c][i] = music.at(start + i, c % music.channels);
        e->processReplacing(e, inputs, outputs, n);
    }
}
}  // namespace

int runSnapshot(int argc, char** argv, const SnapshotProduct& product) {
    Options options;
    if (!parse(argc, argv, options)) {
        usage(product.name);
        return 2;
    }
    AudioEffect* effect = product.create(snapshotHost, options.build);
    if (!effect) {
        std::fprintf(stderr, "vorsa-snapshot: the %s effect could not be made\n", product.name);
        return 1;
    }
    AEffect* e = effect->getAeffect();
    int status = 0;
    dispatch(e, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    dispatch(e, effSetBlockSize, 0, 512);
    dispatch(e, effMainsChanged, 0, 1);
    if (!options.program.empty()) {
        const int program = findProgram(e, options.program);
        if (program < 0) {
            std::fprintf(stderr, "vorsa-snapshot: no program \"%s\"\n", options.program.c_str());
            dispatch(e, effClose);
            return 1;
        }
        dispatch(e, effSetProgram, 0, program);
    }

    static int parentWindow;  // the headless backend only needs some parent
    HeadlessPlatform& platform = headlessPlatform();
    if (dispatch(e, effEditOpen, 0, 0, &parentWindow) != 1 || !platform.lastWindow()) {
        std::fprintf(stderr, "vorsa-snapshot: the %s editor did not open\n", product.name);
        dispatch(e, effClose);
        return 1;
    }
    HeadlessWindow* window = platform.lastWindow();
    dispatch(e, effEditIdle);
    // The editor stays open while the music plays, so every overload is held for its next idle.
    if (options.audioSeconds > 0.0) playDemo(e, options.audioSeconds);
    // Enough idles for a meter that climbs a step per redraw to arrive.
    for (int i = 0; i < 12; ++i) dispatch(e, effEditIdle);
    if (options.about) {
        ERect* rect = nullptr;
        dispatch(e, effEditGetRect, 0, 0, &rect);
        // The about area of both editors lies in the middle of the bottom strip.
        const GuiPoint where(rect ? rect->right / 2 : 0, rect ? rect->bottom - 10 : 0);
        platform.scriptMouse({{where, ButtonLeft}});
        window->press();
        dispatch(e, effEditIdle);
    }
    if (!window->writePng(options.output)) {
        std::fprintf(stderr, "vorsa-snapshot: cannot write %s\n", options.output.c_str());
        status = 1;
    }
    dispatch(e, effEditClose);
    dispatch(e, effClose);
    return status;
}
