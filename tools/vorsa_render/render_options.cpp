#include "tools/vorsa_render/render_options.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace render {

const char kUsage[] =
    "usage: vorsa-render PLUGIN [INPUT] OUTPUT [options]\n"
    "       vorsa-render PLUGIN INPUT... --output-dir DIR [options]\n"
    "       vorsa-render PLUGIN --list [--program N|NAME] [--set PARAM=VALUE]...\n"
    "\n"
    "Renders INPUT (WAV, RF64, W64, AIFF, FLAC...) through a Linux VST 2 plug-in into OUTPUT, at the file's\n"
    "sample rate, with as many channels as the plug-in gives, streaming, whatever the length. Without INPUT\n"
    "the built-in ten-second demo is rendered; an existing OUTPUT is replaced by the demo only with --demo.\n"
    "OUTPUT's extension picks the container: .wav, .aif/.aiff or .flac; a WAV past 4 GiB is written as RF64.\n"
    "Broadcast info, tags and cue points are carried over where the container holds them; what is dropped is\n"
    "named. \"-\" as INPUT or OUTPUT is standard input or output (WAV, or raw float with --raw).\n"
    "PLUGIN is a path, or a file name looked up in the current folder, VST_PATH, ~/.vst, /usr/lib/vst and\n"
    "/usr/local/lib/vst and their subfolders. \"--\" ends the options.\n"
    "A failed or interrupted run leaves every existing file as it was.\n"
    "\n"
    "  --program N|NAME      select a program by index or name before rendering\n"
    "  --set PARAM=VALUE     set a parameter (name or index), after the program; repeatable. VALUE is\n"
    "                        normalised (0..1), in the parameter's unit (gain=6dB, freq=2kHz), one of\n"
    "                        its display texts, or on/off for a two-state parameter (saturation=on)\n"
    "  --format F            sample format: int16, int24, int32 or float (default: the input's, float for\n"
    "                        the demo); 16 bits are dithered (TPDF)\n"
    "  --bits N              the same as --format intN\n"
    "  --tail SECONDS|auto   render this long past the end of the input (default: the tail the plug-in\n"
    "                        reports); auto: until the output stays below -90 dBFS, at most 60 s\n"
    "  --recover             read a WAV or AIFF whose header was never finished (a recorder that stopped\n"
    "                        before closing it) to the end of the file\n"
    "  --align               measure the plug-in's real delay and compensate that instead of the reported one\n"
    "  --block N             block size in frames (default 512)\n"
    "  --plot FILE.png       draw input and output spectra and level envelopes\n"
    "  --output-dir DIR      render each INPUT into DIR under its own name (.wav for a format the tool does\n"
    "                        not write), one plug-in instance per file\n"
    "  --raw RATE:CHANNELS   \"-\" streams are raw 32-bit float, interleaved, in this layout\n"
    "  --demo                render the demo into OUTPUT even when it exists\n"
    "  --list                print the plug-in's identity, parameters and programs as the render would use\n"
    "                        them, and render nothing\n"
    "  --quiet               no progress bar and no summary (warnings and clipping are still reported)\n"
    "  --version, --help\n";

namespace {

bool exists(const std::string& path) {
    struct stat st;
    return path != "-" && lstat(path.c_str(), &st) == 0;
}

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::optional<RawLayout> parseRawLayout(const std::string& text) {
    char* end = nullptr;
    long rate = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != ':') return std::nullopt;
    const char* rest = end + 1;
    long channels = std::strtol(rest, &end, 10);
    if (end == rest || *end != 0 || rate < 1 || rate > 1536000 || channels < 1 || channels > 64) return std::nullopt;
    return RawLayout{static_cast<int>(rate), static_cast<int>(channels)};
}

}  // namespace

bool parseRenderOptions(int argc, const char* const* argv, RenderOptions& options, std::string& error) {
    std::vector<std::string> positional;
    bool demo = false;
    bool namesOnly = false;  // after "--", even "-x" is a file name
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (namesOnly || arg == "--") {
            if (namesOnly) positional.push_back(arg);
            namesOnly = true;
            continue;
        }
        auto needValue = [&](const char* what) -> const char* {
            if (i + 1 >= argc) {
                error = arg + " needs " + what;
                return nullptr;
            }
            return argv[++i];
        };
        // A file name that looks like an option is almost always a forgotten
        // value; writing a file called "--quiet" helps nobody.
        auto needFileName = [&](const char* what) -> const char* {
            const char* v = needValue(what);
            if (v && v[0] == '-') {
                error = arg + " needs " + what + ", not \"" + v + "\"";
                return nullptr;
            }
            return v;
        };
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--list") {
            options.list = true;
        } else if (arg == "--quiet") {
            options.quiet = true;
        } else if (arg == "--demo") {
            demo = true;
        } else if (arg == "--recover") {
            options.recover = true;
        } else if (arg == "--tail") {
            const char* v = needValue("a length in seconds or auto");
            if (!v) return false;
            if (std::strcmp(v, "auto") == 0) {
                options.settings.tailUntilSilent = true;
                options.settings.tailSeconds.reset();
            } else {
                char* end = nullptr;
                double seconds = std::strtod(v, &end);
                if (*v == 0 || *end != 0 || !(seconds >= 0.0 && seconds <= 3600.0)) {
                    error = std::string("--tail takes seconds from 0 to 3600 or auto, not \"") + v + "\"";
                    return false;
                }
                options.settings.tailSeconds = seconds;
                options.settings.tailUntilSilent = false;
            }
        } else if (arg == "--align") {
            options.settings.align = true;
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
        } else if (arg == "--format" || arg == "--bits") {
            const char* v = needValue(arg == "--bits" ? "16, 24 or 32" : "int16, int24, int32 or float");
            if (!v) return false;
            std::optional<SampleFormat> format = parseSampleFormat(v);
            if (!format || (arg == "--bits" && *format == SampleFormat::Float32)) {
                error = arg + " takes " + (arg == "--bits" ? "16, 24 or 32" : "int16, int24, int32 or float") +
                        ", not \"" + v + "\"";
                return false;
            }
            options.format = format;
        } else if (arg == "--raw") {
            const char* v = needValue("RATE:CHANNELS");
            if (!v) return false;
            options.raw = parseRawLayout(v);
            if (!options.raw) {
                error = std::string("--raw takes RATE:CHANNELS (for example 48000:2), not \"") + v + "\"";
                return false;
            }
        } else if (arg == "--plot") {
            const char* v = needFileName("a PNG file name");
            if (!v) return false;
            if (!endsWith(v, ".png") && !endsWith(v, ".PNG")) {
                error = std::string("--plot writes a PNG picture; its name must end in .png, not \"") + v + "\"";
                return false;
            }
            options.plot = v;
        } else if (arg == "--output-dir") {
            const char* v = needFileName("a folder");
            if (!v) return false;
            options.outputDir = v;
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = "unknown option " + arg;
            return false;
        } else {
            positional.push_back(arg);
        }
    }
    if (options.help || options.version) return true;
    if (options.raw && std::find(positional.begin() + (positional.empty() ? 0 : 1), positional.end(), "-") ==
                           positional.end()) {
        error = "--raw describes standard input or output; give - as INPUT or OUTPUT";
        return false;
    }
    if (positional.empty()) {
        error = "no plug-in given";
        return false;
    }
    options.plugin = positional[0];
    positional.erase(positional.begin());
    if (options.list) {
        if (!positional.empty()) {
            error = "--list takes only the plug-in";
            return false;
        }
        return true;
    }
    if (options.outputDir) {
        if (positional.empty() || demo) {
            error = "--output-dir renders INPUT files; give at least one";
            return false;
        }
        if (options.plot && positional.size() > 1) {
            error = "--plot draws one render; give one INPUT with it";
            return false;
        }
        options.inputs = positional;
        return true;
    }
    if (positional.empty()) {
        error = "no output file given";
        return false;
    }
    if (positional.size() > 2) {
        error = "too many file names (several inputs need --output-dir DIR)";
        return false;
    }
    if (positional.size() == 2) {
        if (demo) {
            error = "--demo renders the built-in demo; it takes OUTPUT only";
            return false;
        }
        options.inputs = {positional[0]};
        options.output = positional[1];
        return true;
    }
    options.output = positional[0];
    if (!demo && exists(options.output)) {
        error = options.output + " exists: with one file name the demo is rendered into it; give INPUT OUTPUT " +
                "to render this file, or --demo to replace it with the demo";
        return false;
    }
    return true;
}

}  // namespace render
