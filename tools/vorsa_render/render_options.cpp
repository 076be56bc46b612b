#include "tools/vorsa_render/render_options.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace render {

const char kUsage[] =
    "usage: vorsa-render PLUGIN.so [INPUT] OUTPUT [--program N|NAME] [--set PARAM=VALUE]... [--block N]\n"
    "                    [--plot FILE.png] [--list] [--quiet]\n"
    "\n"
    "Renders INPUT (WAV, AIFF or FLAC) through a Linux VST 2 plug-in into OUTPUT, at the file's sample rate and\n"
    "channel count. Without INPUT a built-in ten-second demo is rendered. OUTPUT's extension picks the format:\n"
    ".aif/.aiff, .flac, or 32-bit float WAV otherwise.\n"
    "\n"
    "  --program N|NAME   select a program by index or name before rendering\n"
    "  --set PARAM=VALUE  set a parameter (name or index) to a normalised value, after the program; repeatable\n"
    "  --block N          block size in frames (default 512)\n"
    "  --plot FILE.png    draw input and output spectra and level envelopes\n"
    "  --list             print the plug-in's identity, parameters and programs, and render nothing\n"
    "  --quiet            no progress bar and no summary\n";

bool parseRenderOptions(int argc, const char* const* argv, RenderOptions& options, std::string& error) {
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto needValue = [&](const char* what) -> const char* {
            if (i + 1 >= argc) {
                error = arg + " needs " + what;
                return nullptr;
            }
            return argv[++i];
        };
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--list") {
            options.list = true;
        } else if (arg == "--quiet") {
            options.quiet = true;
        } else if (arg == "--program") {
            const char* v = needValue("a program number or name");
            if (!v) return false;
            options.settings.program = v;
        } else if (arg == "--set") {
            const char* v = needValue("PARAM=VALUE");
            if (!v) return false;
            const char* eq = std::strrchr(v, '=');
            if (!eq || eq == v) {
                error = std::string("--set takes PARAM=VALUE, not \"") + v + "\"";
                return false;
            }
            options.settings.settings.push_back({std::string(v, eq), std::string(eq + 1)});
        } else if (arg == "--block") {
            const char* v = needValue("a block size");
            if (!v) return false;
            char* end = nullptr;
            long block = std::strtol(v, &end, 10);
            if (*v == 0 || *end != 0 || block < 1 || block > 65536) {
                error = std::string("block size \"") + v + "\" is not a number from 1 to 65536";
                return false;
            }
            options.settings.blockSize = static_cast<int>(block);
        } else if (arg == "--plot") {
            const char* v = needValue("a PNG file name");
            if (!v) return false;
            options.plot = v;
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = "unknown option " + arg;
            return false;
        } else {
            positional.push_back(arg);
        }
    }
    if (options.help) return true;
    if (positional.empty()) {
        error = "no plug-in given";
        return false;
    }
    options.plugin = positional[0];
    if (options.list) {
        if (positional.size() > 1) {
            error = "--list takes only the plug-in";
            return false;
        }
        return true;
    }
    if (positional.size() == 2) {
        options.output = positional[1];
    } else if (positional.size() == 3) {
        options.input = positional[1];
        options.output = positional[2];
    } else {
        error = positional.size() == 1 ? "no output file given" : "too many file names";
        return false;
    }
    return true;
}

}  // namespace render
