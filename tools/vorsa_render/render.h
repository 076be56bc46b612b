// Runs audio through a VST 2 plug-in the way a host plays a track: blocks of
// a fixed size, the plug-in's reported delay compensated, and a tail so that
// undeclared look-ahead is not cut off.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host/vst_host.h"
#include "tools/vorsa_render/audio_data.h"

namespace render {

struct ParameterSetting {
    std::string parameter;  // name or index
    std::string value;      // normalised value as text
};

struct RenderSettings {
    int blockSize = 512;
    std::optional<std::string> program;  // index or name
    std::vector<ParameterSetting> settings;
};

struct RenderReport {
    std::string effectName;
    std::string programName;
    int instances = 0;         // one per channel for a mono plug-in on a multichannel file
    long compensatedDelay = 0; // the plug-in's reported delay, removed from the output
    long tailFrames = 0;       // frames processed past the end of the input
};

// Extra frames processed past the reported delay, so that a look-ahead the
// plug-in does not report still reaches the output.
constexpr long kUndeclaredDelayAllowance = 256;

using ProgressFunction = std::function<void(double fraction)>;

// False with a one-line reason in `error` (unknown program or parameter,
// value that is not a number, channel layout the plug-in cannot take, entry
// point answering null).
bool renderThroughPlugin(const vst_host::PluginModule& module, const AudioData& input,
                         const RenderSettings& settings, AudioData& output, RenderReport& report,
                         std::string& error, const ProgressFunction& progress = nullptr);

// Looks up a parameter by index or by name (blanks around names are ignored,
// letter case too); -1 when there is none.
int findParameter(vst_host::PluginInstance& plugin, const std::string& nameOrIndex);

// Looks up a program by index or by name; -1 when there is none.
int findProgram(vst_host::PluginInstance& plugin, const std::string& nameOrIndex);

// A normalised value given as text; nothing when it is not a finite number.
std::optional<float> parseValue(const std::string& text);

}  // namespace render
