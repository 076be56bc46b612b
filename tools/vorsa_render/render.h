// Runs audio through a VST 2 plug-in the way a host plays a track: blocks of
// a fixed size, the plug-in's delay compensated, and a tail so that
// undeclared look-ahead is not cut off. Audio streams through: only a few
// blocks are held, whatever the length.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "host/vst_host.h"
#include "tools/vorsa_render/audio_data.h"
#include "tools/vorsa_render/audio_source.h"
#include "tools/vorsa_render/frame_sink.h"
#include "tools/vorsa_render/parameter_value.h"
#include "tools/vorsa_render/plugin_voice.h"

namespace render {

struct RenderSettings {
    int blockSize = 512;
    std::optional<std::string> program;  // index or name
    std::vector<ParameterSetting> settings;
    bool align = false;  // compensate the measured delay instead of the reported one
    // Audio rendered past the end of the input, besides the delay: by
    // default the tail the plug-in reports; a fixed length; or until the
    // output has stayed below kSilenceDbfs for a while (at most kMaxAutoTailSeconds).
    std::optional<double> tailSeconds;
    bool tailUntilSilent = false;
};

constexpr double kSilenceDbfs = -90.0;
constexpr double kSilentSpanSeconds = 0.2;  // that long below kSilenceDbfs ends an automatic tail
constexpr double kMaxAutoTailSeconds = 60.0;

struct RenderReport {
    std::string effectName;
    std::string programName;
    std::vector<std::string> parameters;  // "Name = display label" for every --set
    int instances = 0;                    // one per channel for a mono plug-in on a multichannel file
    long reportedDelay = 0;               // after resume and set-up, as the plug-in reports it
    std::optional<long> measuredDelay;    // from a probe render on a separate instance
    long compensatedDelay = 0;            // removed from the output
    long tailFrames = 0;                  // frames processed past the end of the input
    long pluginTail = 0;                  // what the plug-in reports (effGetTailSize), 0 when nothing
    int outputChannels = 0;               // the plug-in may give more channels than the file has
    long inputFrames = 0;
    long outputFrames = 0;
    std::vector<std::string> warnings;
};

// Extra frames processed past the delay, so that a look-ahead the plug-in
// does not report still reaches the output.
constexpr long kUndeclaredDelayAllowance = 256;

using ProgressFunction = std::function<void(double fraction)>;
using FrameTap = std::function<void(const float* interleaved, long frames)>;

struct RenderObservers {
    ProgressFunction progress;  // only when the length is known
    FrameTap input;             // every input block, as read
    FrameTap output;            // every output block, as written
    // Once the layout is known, before any audio: report.outputChannels is set.
    std::function<void(const RenderReport&)> started;
};

// False with a one-line reason in `error` (unknown program or parameter, bad
// value, channel layout the plug-in cannot take, non-finite input, a read or
// write failure).
bool renderStream(const vst_host::PluginModule& module, AudioSource& source, const RenderSettings& settings,
                  FrameSink& sink, RenderReport& report, std::string& error, const RenderObservers& observers = {});

// The same for audio in memory.
bool renderThroughPlugin(const vst_host::PluginModule& module, const AudioData& input,
                         const RenderSettings& settings, AudioData& output, RenderReport& report,
                         std::string& error, const ProgressFunction& progress = nullptr);

// An instance set up as a render at `sampleRate` would use it, for listing:
// started, program and parameters applied, delay measured.
bool prepareForListing(const vst_host::PluginModule& module, const RenderSettings& settings, int sampleRate,
                       Voice& voice, RenderReport& report, std::string& error);

}  // namespace render
