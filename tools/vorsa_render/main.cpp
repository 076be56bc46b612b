// vorsa-render: renders audio through a Linux VST 2 plug-in from the command line.
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <iostream>
#include <set>

#include "host/plugin_locator.h"
#include "host/plugin_report.h"
#include "tools/vorsa_render/audio_writer.h"
#include "tools/vorsa_render/demo_input.h"
#include "tools/vorsa_render/file_identity.h"
#include "tools/vorsa_render/output_file.h"
#include "tools/vorsa_render/render_options.h"
#include "tools/vorsa_render/signal_stats.h"
#include "tools/vorsa_render/spectrum_plot.h"

namespace {

using render::RenderOptions;

void warn(const std::string& message) { std::cerr << "vorsa-render: warning: " << message << "\n"; }

int fail(const std::string& message) {
    std::cerr << "vorsa-render: " << message << "\n";
    return 1;
}

std::string clockTime(double seconds) {
    const long s = std::lround(seconds);
    char text[32];
    if (s >= 3600)
        std::snprintf(text, sizeof(text), "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    else
        std::snprintf(text, sizeof(text), "%ld:%02ld", s / 60, s % 60);
    return text;
}

// The bar, the share done, the time taken and, once a few percent show the
// pace, the time left.
void progressBar(double fraction, std::chrono::steady_clock::time_point started) {
    const int width = 40;
    const int filled = static_cast<int>(fraction * width);
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::string times = clockTime(elapsed) + " elapsed";
    if (fraction >= 0.02 && fraction < 1.0) times += ", " + clockTime(elapsed * (1.0 - fraction) / fraction) + " left";
    std::fprintf(stderr, "\r[%.*s%*s] %3d%%  %-28s", filled, "########################################", width - filled,
                 "", static_cast<int>(fraction * 100), times.c_str());
    if (fraction >= 1.0) std::fprintf(stderr, "\n");
    std::fflush(stderr);
}

void printLevels(FILE* out, const char* what, const std::vector<render::ChannelLevels>& levels) {
    for (size_t c = 0; c < levels.size(); ++c)
        std::fprintf(out, "  %-6s ch%zu  peak %7.2f dBFS   rms %7.2f dBFS\n", what, c + 1,
                     render::toDecibels(levels[c].peak), render::toDecibels(levels[c].rms));
}

std::string baseName(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

struct Job {
    std::optional<std::string> input;  // none: the demo
    std::string output;
    std::optional<std::string> plot;
};

// The sample format to write: the user's choice, or the input's own (float
// for the demo), moved to 24 bits where FLAC cannot hold it.
bool chooseFormat(const RenderOptions& options, const render::AudioSource& source, render::Container container,
                  render::SampleFormat& format, std::string& error) {
    format = options.format.value_or(source.format().sampleFormat.value_or(render::SampleFormat::Float32));
    if (render::containerHolds(container, format)) return true;
    if (options.format) {
        error = "FLAC holds 16- or 24-bit integers, not " + render::describe(format) + "; choose --format int16 or int24";
        return false;
    }
    format = render::SampleFormat::Int24;
    return true;
}

int renderJob(const vst_host::PluginModule& module, const RenderOptions& options, const Job& job) {
    std::string error;
    std::vector<render::RoleFile> files{{"plug-in", module.path()}, {"output", job.output}};
    if (job.input) files.insert(files.begin() + 1, {"input", *job.input});
    if (job.plot) files.push_back({"plot", *job.plot});
    if (!render::checkDistinctFiles(files, error)) return fail(error);

    struct stat st;
    if (job.output != "-" && stat(job.output.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return fail("output " + job.output + " is a folder; name a file in it, or render into it with --output-dir " +
                    job.output);
    render::Container container = render::Container::Wav;
    if (job.output == "-") {
        container = options.raw ? render::Container::Raw : render::Container::Wav;
    } else if (std::optional<render::Container> c = render::containerForPath(job.output)) {
        container = *c;
    } else {
        return fail("cannot tell the format of " + job.output + " from its name; use " +
                    render::kWritableExtensions + ", or - for standard output");
    }

    static render::AudioData demo;
    if (!job.input && demo.channels == 0) demo = render::makeDemoInput();
    std::unique_ptr<render::AudioSource> source =
        job.input ? render::openAudioSource(*job.input, options.raw, error, options.recover)
                  : render::memorySource(demo, "(demo input)");
    if (!source) return fail(error);
    render::SampleFormat format;
    if (!chooseFormat(options, *source, container, format, error)) return fail(error);

    // Every output is opened before the work starts, so that a name that
    // cannot be written is known at once and nothing else has been touched.
    std::unique_ptr<render::OutputFile> output = render::OutputFile::open(job.output, error);
    if (!output) return fail(error);
    std::unique_ptr<render::OutputFile> plotFile;
    if (job.plot && !(plotFile = render::OutputFile::open(*job.plot, error))) return fail(error);

    const render::SourceFormat& in = source->format();
    render::AudioWriter writer(*output, {container, format}, &source->metadata());
    render::LevelMeter inputLevels(in.channels);
    std::optional<render::LevelMeter> outputLevels;
    std::optional<render::PlotRecorder> plot;
    render::RenderObservers observers;
    observers.started = [&](const render::RenderReport& r) {
        outputLevels.emplace(r.outputChannels);
        if (plotFile) plot.emplace(in.sampleRate, in.channels, r.outputChannels);
    };
    const auto started = std::chrono::steady_clock::now();
    if (!options.quiet && isatty(STDERR_FILENO))
        observers.progress = [started](double fraction) { progressBar(fraction, started); };
    observers.input = [&](const float* block, long frames) {
        inputLevels.add(block, frames);
        if (plot) plot->addInput(block, frames);
    };
    observers.output = [&](const float* block, long frames) {
        outputLevels->add(block, frames);
        if (plot) plot->addOutput(block, frames);
    };

    render::RenderReport report;
    if (!render::renderStream(module, *source, options.settings, writer, report, error, observers)) {
        if (observers.progress) std::fprintf(stderr, "\n");
        return fail(error);
    }
    if (!writer.finish(error)) return fail(error);
    if (plot) {
        std::string title = report.effectName;
        if (!report.programName.empty()) title += " \xe2\x80\x94 " + report.programName;
        if (!plot->draw(*plotFile, title, error)) return fail(error);
    }
    if (!output->commit(error) || (plotFile && !plotFile->commit(error))) return fail(error);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    for (const std::string& w : report.warnings) warn(w);
    if (!writer.droppedMetadata().empty()) {
        std::string list;
        for (const std::string& d : writer.droppedMetadata()) list += (list.empty() ? "" : ", ") + d;
        warn(source->name() + " carries metadata that " + (job.output == "-" ? "standard output" : job.output) +
             " does not: " + list + " (dropped)");
    }
    if (report.outputChannels != in.channels)
        warn(report.effectName + " gives " + std::to_string(report.outputChannels) + " channel(s) from the " +
             std::to_string(in.channels) + " of " + source->name() + "; " +
             (job.output == "-" ? "standard output" : job.output) + " has " +
             std::to_string(report.outputChannels));
    char peak[32];
    std::snprintf(peak, sizeof(peak), "%+.2f dBFS", render::toDecibels(writer.peak()));
    if (writer.clippedSamples() > 0)
        warn(std::to_string(writer.clippedSamples()) + " samples clipped at full scale in " + job.output + " (peak " +
             peak + "); --format float keeps them, or lower the level");

    if (options.quiet) return 0;
    // The summary must not mix with audio written to standard output.
    FILE* out = job.output == "-" ? stderr : stdout;
    const double length = static_cast<double>(report.inputFrames) / in.sampleRate;
    std::fprintf(out, "%s, program \"%s\": %s -> %s\n", report.effectName.c_str(), report.programName.c_str(),
                 source->name().c_str(), job.output.c_str());
    for (const std::string& p : report.parameters) std::fprintf(out, "  set %s\n", p.c_str());
    std::fprintf(out, "  %ld frames at %d Hz, %d channel(s) in, %d out, %.2f s; block %d; %d instance(s)\n",
                 report.inputFrames, in.sampleRate, in.channels, report.outputChannels, length,
                 options.settings.blockSize, report.instances);
    std::string measured = report.measuredDelay ? std::to_string(*report.measuredDelay) : std::string("unknown");
    std::fprintf(out, "  delay: reported %ld frames, measured %s, compensated %ld\n", report.reportedDelay,
                 measured.c_str(), report.compensatedDelay);
    std::fprintf(out, "  tail: %ld frames rendered past the input (%.2f s; the plug-in reports %s)\n", report.tailFrames,
                 static_cast<double>(report.tailFrames) / in.sampleRate,
                 report.pluginTail > 0 ? (std::to_string(report.pluginTail) + " frames").c_str() : "none");
    printLevels(out, "input", inputLevels.levels());
    printLevels(out, "output", outputLevels->levels());
    std::string clipping = format == render::SampleFormat::Float32
                               ? (writer.overFullScale() ? std::to_string(writer.overFullScale()) +
                                                               " samples above full scale, kept (float)"
                                                         : std::string("nothing above full scale"))
                               : (writer.clippedSamples() ? std::to_string(writer.clippedSamples()) + " samples clipped"
                                                          : std::string("no samples clipped"));
    std::fprintf(out, "  written: %ld frames, %s %s%s; peak %s, %s\n", writer.framesWritten(),
                 render::describe(format).c_str(), writer.containerName().c_str(),
                 format == render::SampleFormat::Int16 ? " (TPDF dither)" : "", peak, clipping.c_str());
    std::fprintf(out, "  rendered in %.3f s, %.1fx real time\n", seconds, seconds > 0 ? length / seconds : 0.0);
    if (job.plot) std::fprintf(out, "  plot: %s\n", job.plot->c_str());
    return 0;
}

int listPlugin(const vst_host::PluginModule& module, const RenderOptions& options) {
    std::string error;
    render::Voice voice;
    render::RenderReport report;
    if (!render::prepareForListing(module, options.settings, 44100, voice, report, error)) return fail(error);
    vst_host::printPluginReport(*voice.plugin, std::cout);
    std::cout << "Delay:    reported " << report.reportedDelay << " frames, measured "
              << (report.measuredDelay ? std::to_string(*report.measuredDelay) : std::string("unknown"))
              << " (44100 Hz, program \"" << report.programName << "\")\n";
    for (const std::string& w : report.warnings) warn(w);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    RenderOptions options;
    std::string error;
    if (!render::parseRenderOptions(argc, argv, options, error)) {
        std::cerr << "vorsa-render: " << error << "\n" << render::kUsage;
        return 2;
    }
    if (options.help) {
        std::cout << render::kUsage;
        return 0;
    }
    if (options.version) {
        std::cout << "vorsa-render " << VORSA_VERSION << "\n";
        return 0;
    }

    render::removeTemporariesOnInterrupt();
    const std::string pluginPath = vst_host::locatePlugin(options.plugin, &error);
    if (pluginPath.empty()) return fail(error);
    auto module = vst_host::PluginModule::load(pluginPath, &error);
    if (!module) return fail(error);
    if (options.list) return listPlugin(*module, options);

    std::vector<Job> jobs;
    if (!options.outputDir) {
        jobs.push_back({options.inputs.empty() ? std::nullopt : std::optional<std::string>(options.inputs[0]),
                        options.output, options.plot});
    } else {
        struct stat st;
        if (stat(options.outputDir->c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            return fail("output folder " + *options.outputDir + " does not exist");
        // Two inputs of the same name would overwrite each other's render.
        std::set<std::string> names;
        for (const std::string& input : options.inputs) {
            if (input == "-") return fail("standard input has no name to render into --output-dir; give OUTPUT");
            // An input in a format the tool does not write (W64, AIFF-C, ...)
            // is rendered into a WAV file of the same stem.
            std::string name = baseName(input);
            if (!render::containerForPath(name)) {
                const size_t dot = name.find_last_of('.');
                name = (dot == std::string::npos || dot == 0 ? name : name.substr(0, dot)) + ".wav";
                if (!options.quiet)
                    std::cerr << "vorsa-render: " << input << " is rendered into " << *options.outputDir << "/" << name
                              << " (WAV: the tool writes " << render::kWritableExtensions << ")\n";
            }
            if (!names.insert(name).second)
                return fail("two inputs would be rendered into " + *options.outputDir + "/" + name +
                            "; their renders would overwrite each other");
            jobs.push_back({input, *options.outputDir + "/" + name, options.plot});
        }
    }
    int failed = 0;
    for (const Job& job : jobs)
        if (renderJob(*module, options, job) != 0) ++failed;
    if (jobs.size() > 1 && failed > 0)
        return fail(std::to_string(failed) + " of " + std::to_string(jobs.size()) + " files were not rendered");
    return failed > 0 ? 1 : 0;
}
