// Command line of vorsa-render.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/vorsa_render/audio_format.h"
#include "tools/vorsa_render/audio_source.h"
#include "tools/vorsa_render/render.h"

namespace render {

struct RenderOptions {
    std::string plugin;
    std::vector<std::string> inputs;  // none: the built-in demo input
    std::string output;               // one input (or the demo)
    std::optional<std::string> outputDir;  // several inputs, each to DIR/its name
    std::optional<std::string> plot;
    std::optional<SampleFormat> format;    // none: the input's own, float for the demo
    std::optional<RawLayout> raw;          // "-" streams are raw float in this layout
    RenderSettings settings;
    bool recover = false;                  // read a WAV whose header understates its audio to the end
    bool list = false;
    bool quiet = false;
    bool help = false;
    bool version = false;
};

extern const char kUsage[];

// False with a one-line reason for a command line that cannot be used. With
// only PLUGIN and one file name, the name is the demo's output; an existing
// file is never taken for that (it was more likely meant as the input) unless
// --demo says so.
bool parseRenderOptions(int argc, const char* const* argv, RenderOptions& options, std::string& error);

}  // namespace render
