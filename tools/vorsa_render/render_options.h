// Command line of vorsa-render.
#pragma once

#include <optional>
#include <string>

#include "tools/vorsa_render/render.h"

namespace render {

struct RenderOptions {
    std::string plugin;
    std::optional<std::string> input;  // none: the built-in demo input
    std::string output;
    std::optional<std::string> plot;
    RenderSettings settings;
    bool list = false;
    bool quiet = false;
    bool help = false;
};

extern const char kUsage[];

// False with a one-line reason for a command line that cannot be used.
bool parseRenderOptions(int argc, const char* const* argv, RenderOptions& options, std::string& error);

}  // namespace render
