// vorsa-render: renders audio through a Linux VST 2 plug-in from the command line.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <iostream>

#include "host/plugin_report.h"
#include "tools/vorsa_render/audio_file.h"
#include "tools/vorsa_render/demo_input.h"
#include "tools/vorsa_render/render_options.h"
#include "tools/vorsa_render/signal_stats.h"
#include "tools/vorsa_render/spectrum_plot.h"

namespace {

int fail(const std::string& message) {
    std::cerr << "vorsa-render: " << message << "\n";
    return 1;
}

void progressBar(double fraction) {
    const int width = 40;
    int filled = static_cast<int>(fraction * width);
    std::fprintf(stderr, "\r[%.*s%*s] %3d%%", filled, "########################################", width - filled, "",
                 static_cast<int>(fraction * 100));
    if (fraction >= 1.0) std::fprintf(stderr, "\n");
    std::fflush(stderr);
}

void printLevels(const char* what, const render::AudioData& audio) {
    std::vector<render::ChannelLevels> levels = render::measureLevels(audio);
    for (size_t c = 0; c < levels.size(); ++c)
        std::printf("  %-6s ch%zu  peak %7.2f dBFS   rms %7.2f dBFS\n", what, c + 1,
                    render::toDecibels(levels[c].peak), render::toDecibels(levels[c].rms));
}

}  // namespace

int main(int argc, char** argv) {
    render::RenderOptions options;
    std::string error;
    if (!render::parseRenderOptions(argc, argv, options, error)) {
        std::cerr << "vorsa-render: " << error << "\n" << render::kUsage;
        return 2;
    }
    if (options.help) {
        std::cout << render::kUsage;
        return 0;
    }

    auto module = vst_host::PluginModule::load(options.plugin, &error);
    if (!module) return fail(error);

    if (options.list) {
        vst_host::ScriptedHost host;
        auto plugin = vst_host::PluginInstance::create(*module, host, &error);
        if (!plugin) return fail(error);
        plugin->startUp(44100.0f, options.settings.blockSize);
        vst_host::printPluginReport(*plugin, std::cout);
        return 0;
    }

    render::AudioData input;
    if (options.input) {
        if (!render::readAudioFile(*options.input, input, error)) return fail(error);
    } else {
        input = render::makeDemoInput();
    }

    const bool showProgress = !options.quiet && isatty(STDERR_FILENO);
    const auto started = std::chrono::steady_clock::now();
    render::AudioData output;
    render::RenderReport report;
    if (!render::renderThroughPlugin(*module, input, options.settings, output, report, error,
                                     showProgress ? render::ProgressFunction(progressBar) : nullptr))
        return fail(error);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    if (!render::writeAudioFile(options.output, output, error)) return fail(error);
    if (options.plot) {
        std::string title = report.effectName;
        if (!report.programName.empty()) title += " \xe2\x80\x94 " + report.programName;
        if (!render::drawComparisonPlot(*options.plot, title, input, output, error)) {
            std::remove(options.output.c_str());
            return fail(error);
        }
    }

    if (!options.quiet) {
        const double length = static_cast<double>(input.frames()) / input.sampleRate;
        std::printf("%s, program \"%s\": %s -> %s\n", report.effectName.c_str(), report.programName.c_str(),
                    options.input ? options.input->c_str() : "(demo input)", options.output.c_str());
        std::printf("  %ld frames at %d Hz, %d channel(s), %.2f s; block %d; %d instance(s)\n", input.frames(),
                    input.sampleRate, input.channels, length, options.settings.blockSize, report.instances);
        std::printf("  reported delay %ld frames (compensated), %ld tail frames rendered\n", report.compensatedDelay,
                    report.tailFrames);
        printLevels("input", input);
        printLevels("output", output);
        std::printf("  rendered in %.3f s, %.1fx real time\n", seconds, seconds > 0 ? length / seconds : 0.0);
        if (options.plot) std::printf("  plot: %s\n", options.plot->c_str());
    }
    return 0;
}
