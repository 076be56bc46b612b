#include "tools/vorsa_render/render.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <memory>

namespace render {

namespace {

std::string trimmedLower(const std::string& text) {
    size_t first = text.find_first_not_of(' ');
    size_t last = text.find_last_not_of(' ');
    std::string t = first == std::string::npos ? "" : text.substr(first, last - first + 1);
    std::transform(t.begin(), t.end(), t.begin(), [](unsigned char c) { return std::tolower(c); });
    return t;
}

std::optional<long> parseIndex(const std::string& text) {
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); }))
        return std::nullopt;
    return std::strtol(text.c_str(), nullptr, 10);
}

// One plug-in instance with its host and the file channels it serves.
struct Voice {
    std::unique_ptr<vst_host::ScriptedHost> host;
    std::unique_ptr<vst_host::PluginInstance> plugin;
    std::vector<int> fileChannels;  // plug-in input/output i carries fileChannels[i]
};

bool configure(Voice& voice, const RenderSettings& settings, RenderReport& report, std::string& error) {
    vst_host::PluginInstance& plugin = *voice.plugin;
    int program = plugin.getProgram();
    if (settings.program) {
        program = findProgram(plugin, *settings.program);
        if (program < 0) {
            error = "unknown program \"" + *settings.program + "\" (vorsa-render PLUGIN --list shows them)";
            return false;
        }
    }
    // Selecting the program after the sample rate is known lets every
    // rate-dependent value follow the file's rate, as when a host recalls a project.
    if (plugin.numPrograms() > 0) plugin.setProgram(program);
    report.programName = plugin.programName();
    for (const ParameterSetting& s : settings.settings) {
        int index = findParameter(plugin, s.parameter);
        if (index < 0) {
            error = "unknown parameter \"" + s.parameter + "\" (vorsa-render PLUGIN --list shows them)";
            return false;
        }
        std::optional<float> value = parseValue(s.value);
        if (!value) {
            error = "value \"" + s.value + "\" for parameter \"" + s.parameter + "\" is not a number";
            return false;
        }
        plugin.setParameter(index, *value);
    }
    return true;
}

// Pins without a file channel are reported unconnected, as a host does for a
// mono track on a stereo plug-in. The host answers pin questions when they are
// asked, so the answers may still change after the instance is created.
void connectPins(vst_host::ScriptedHost& host, size_t served, int pins) {
    for (int i = 0; i < pins; ++i) {
        host.setInputConnected(i, i < static_cast<int>(served));
        host.setOutputConnected(i, i < static_cast<int>(served));
    }
}

}  // namespace

std::optional<float> parseValue(const std::string& text) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    float value = std::strtof(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

int findParameter(vst_host::PluginInstance& plugin, const std::string& nameOrIndex) {
    if (std::optional<long> index = parseIndex(nameOrIndex))
        return *index < plugin.numParams() ? static_cast<int>(*index) : -1;
    const std::string wanted = trimmedLower(nameOrIndex);
    if (wanted.empty()) return -1;
    for (int i = 0; i < plugin.numParams(); ++i)
        if (trimmedLower(plugin.parameterName(i)) == wanted) return i;
    return -1;
}

int findProgram(vst_host::PluginInstance& plugin, const std::string& nameOrIndex) {
    if (std::optional<long> index = parseIndex(nameOrIndex))
        return *index < plugin.numPrograms() ? static_cast<int>(*index) : -1;
    int caseless = -1;
    for (int p = 0; p < plugin.numPrograms(); ++p) {
        std::optional<std::string> name = plugin.programNameIndexed(p);
        if (!name) continue;
        if (*name == nameOrIndex) return p;
        if (caseless < 0 && trimmedLower(*name) == trimmedLower(nameOrIndex)) caseless = p;
    }
    return caseless;
}

bool renderThroughPlugin(const vst_host::PluginModule& module, const AudioData& input,
                         const RenderSettings& settings, AudioData& output, RenderReport& report,
                         std::string& error, const ProgressFunction& progress) {
    const int block = settings.blockSize;
    const int fileChannels = input.channels;

    // The first instance tells the plug-in's channel counts.
    std::vector<Voice> voices;
    auto makeVoice = [&](std::vector<int> channels) -> bool {
        Voice voice;
        voice.host = std::make_unique<vst_host::ScriptedHost>();
        voice.host->sampleRate = static_cast<float>(input.sampleRate);
        voice.host->blockSize = block;
        voice.host->recordRequests = false;
        connectPins(*voice.host, channels.size(), 2);
        voice.plugin = vst_host::PluginInstance::create(module, *voice.host, &error);
        if (!voice.plugin) return false;
        voice.fileChannels = std::move(channels);
        voices.push_back(std::move(voice));
        return true;
    };

    std::vector<int> all;
    for (int c = 0; c < fileChannels; ++c) all.push_back(c);
    if (!makeVoice(all)) return false;
    const int pluginInputs = voices[0].plugin->numInputs();
    const int pluginOutputs = voices[0].plugin->numOutputs();
    if (pluginInputs < 1 || pluginOutputs < 1) {
        error = "the plug-in has no audio inputs or outputs to render through";
        return false;
    }
    if (fileChannels > pluginInputs || fileChannels > pluginOutputs) {
        if (pluginInputs != 1 || pluginOutputs != 1) {
            error = "the plug-in takes " + std::to_string(pluginInputs) + " channels; the file has " +
                    std::to_string(fileChannels);
            return false;
        }
        // A mono plug-in on a multichannel file: one instance per channel, as DAWs do.
        voices[0].fileChannels = {0};
        connectPins(*voices[0].host, 1, 2);
        for (int c = 1; c < fileChannels; ++c)
            if (!makeVoice({c})) return false;
    } else {
        connectPins(*voices[0].host, all.size(), std::max(pluginInputs, pluginOutputs));
    }

    for (Voice& voice : voices) {
        voice.plugin->startUp(static_cast<float>(input.sampleRate), block);
        if (!configure(voice, settings, report, error)) return false;
    }

    vst_host::PluginInstance& first = *voices[0].plugin;
    report.effectName = first.effectName();
    report.instances = static_cast<int>(voices.size());
    report.compensatedDelay = std::max<VstInt32>(first.initialDelay(), 0);
    const long tailSize = std::clamp<long>(static_cast<long>(first.dispatch(effGetTailSize)), 0, 10L * input.sampleRate);
    report.tailFrames = report.compensatedDelay + kUndeclaredDelayAllowance + tailSize;

    const long inputFrames = input.frames();
    const long totalFrames = inputFrames + report.tailFrames;
    output.sampleRate = input.sampleRate;
    output.channels = fileChannels;
    output.samples.assign(static_cast<size_t>(totalFrames - report.compensatedDelay) * static_cast<size_t>(fileChannels), 0.0f);

    vst_host::AudioBuffers in(pluginInputs, block), out(pluginOutputs, block);
    long lastReported = -1;
    for (long start = 0; start < totalFrames; start += block) {
        const int frames = static_cast<int>(std::min<long>(block, totalFrames - start));
        for (Voice& voice : voices) {
            in.fill(0.0f);
            out.fill(0.0f);
            for (size_t pin = 0; pin < voice.fileChannels.size(); ++pin)
                for (int i = 0; i < frames && start + i < inputFrames; ++i)
                    in.channel(static_cast<int>(pin))[i] = input.at(start + i, voice.fileChannels[pin]);
            if (voice.plugin->flags() & effFlagsCanReplacing)
                voice.plugin->processReplacing(in.pointers(), out.pointers(), frames);
            else
                voice.plugin->process(in.pointers(), out.pointers(), frames);
            for (size_t pin = 0; pin < voice.fileChannels.size(); ++pin)
                for (int i = 0; i < frames; ++i) {
                    long frame = start + i - report.compensatedDelay;
                    if (frame >= 0) output.at(frame, voice.fileChannels[pin]) = out.channel(static_cast<int>(pin))[i];
                }
        }
        long percent = (start + frames) * 100 / totalFrames;
        if (progress && percent != lastReported) {
            lastReported = percent;
            progress(static_cast<double>(start + frames) / static_cast<double>(totalFrames));
        }
    }
    for (Voice& voice : voices) voice.plugin->suspend();
    return true;
}

}  // namespace render
