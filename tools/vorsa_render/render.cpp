#include "tools/vorsa_render/render.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tools/vorsa_render/delay_probe.h"

namespace render {

namespace {

// Lags searched by the probe: well past any look-ahead a real-time effect has.
constexpr long kProbeLagFrames = 16384;

std::string framePosition(long frame, int channel, int sampleRate) {
    char seconds[32];
    std::snprintf(seconds, sizeof(seconds), "%.3f", static_cast<double>(frame) / sampleRate);
    return "frame " + std::to_string(frame) + " (" + seconds + " s), channel " + std::to_string(channel + 1);
}

// Creates the voices for a file of `fileChannels`: one instance serving all
// of them, or one per channel for a mono plug-in, as DAWs do.
bool makeVoices(const vst_host::PluginModule& module, int sampleRate, int block, int fileChannels,
                std::vector<Voice>& voices, std::string& error) {
    std::vector<int> all;
    for (int c = 0; c < fileChannels; ++c) all.push_back(c);
    voices.emplace_back();
    if (!makeVoice(module, sampleRate, block, all, voices[0], error)) return false;
    const int inputs = voices[0].plugin->numInputs();
    const int outputs = voices[0].plugin->numOutputs();
    if (inputs < 1 || outputs < 1) {
        error = "the plug-in has no audio inputs or outputs to render through";
        return false;
    }
    if (fileChannels > inputs || fileChannels > outputs) {
        if (inputs != 1 || outputs != 1) {
            error = "the plug-in takes " + std::to_string(inputs) + " channels; the file has " +
                    std::to_string(fileChannels);
            return false;
        }
        voices[0].fileChannels = voices[0].outputChannels = {0};
        voices[0].connect(2);
        for (int c = 1; c < fileChannels; ++c) {
            voices.emplace_back();
            if (!makeVoice(module, sampleRate, block, {c}, voices.back(), error)) return false;
        }
    } else {
        // A plug-in that makes channels (mono in, stereo out) gives all of
        // them: its extra outputs are the point of using it.
        if (outputs > inputs && outputs > fileChannels) {
            voices[0].outputChannels.clear();
            for (int c = 0; c < outputs; ++c) voices[0].outputChannels.push_back(c);
        }
        voices[0].connect(std::max(inputs, outputs));
    }
    return true;
}

int outputChannelCount(const std::vector<Voice>& voices) {
    int count = 0;
    for (const Voice& voice : voices)
        for (int c : voice.outputChannels) count = std::max(count, c + 1);
    return count;
}

// A separate instance with the first voice's layout, started and set up
// like the render's: the settings are searched on it, then it measures the delay.
bool prepareProbe(const vst_host::PluginModule& module, const RenderSettings& settings, int sampleRate,
                  const Voice& model, Voice& probe, ResolvedSettings& resolved, std::string& error) {
    if (!makeVoice(module, sampleRate, settings.blockSize, model.fileChannels, probe, error)) return false;
    probe.outputChannels = model.outputChannels;
    probe.connect(std::max(model.plugin->numInputs(), model.plugin->numOutputs()));
    probe.plugin->startUp(static_cast<float>(sampleRate), settings.blockSize);
    if (!resolveSettings(*probe.plugin, settings.program, settings.settings, resolved, error)) return false;
    applySettings(*probe.plugin, resolved);
    return true;
}

void describeSettings(vst_host::PluginInstance& plugin, const ResolvedSettings& resolved, RenderReport& report) {
    report.effectName = plugin.effectName();
    report.programName = plugin.programName();
    report.parameters.clear();
    for (const auto& p : resolved.parameters) {
        char normalised[32];
        std::snprintf(normalised, sizeof(normalised), "%.4f", p.value);
        report.parameters.push_back(plugin.parameterName(p.index) + " = " + p.shown + " (" + normalised + ")");
    }
}

// Reads the delay the plug-in reports, measures the real one and decides
// which to compensate; warns when they differ.
void settleDelay(Voice& probe, const RenderSettings& settings, long reported, RenderReport& report) {
    report.reportedDelay = reported;
    std::string why;
    report.measuredDelay = measureDelay(probe, settings.blockSize, kProbeLagFrames + std::max(reported, 0L), why);
    report.compensatedDelay = std::max(reported, 0L);
    if (!report.measuredDelay) {
        if (settings.align)
            report.warnings.push_back("--align: " + why + "; the reported delay of " + std::to_string(reported) +
                                      " frames is compensated");
        return;
    }
    if (settings.align) report.compensatedDelay = *report.measuredDelay;
    if (*report.measuredDelay != reported)
        report.warnings.push_back(report.effectName + " reports a delay of " + std::to_string(reported) +
                                  " frames, but its output is " + std::to_string(*report.measuredDelay) +
                                  " frames late; " +
                                  (settings.align ? "the measured delay is compensated"
                                                  : "the reported delay is compensated, as a DAW does "
                                                    "(--align compensates the measured one)"));
}

}  // namespace

bool prepareForListing(const vst_host::PluginModule& module, const RenderSettings& settings, int sampleRate,
                       Voice& voice, RenderReport& report, std::string& error) {
    std::vector<Voice> voices;
    if (!makeVoices(module, sampleRate, settings.blockSize, 2, voices, error)) {
        voices.clear();  // a plug-in with other than two channels is listed with its own layout
        voices.emplace_back();
        if (!makeVoice(module, sampleRate, settings.blockSize, {0}, voices[0], error)) return false;
    }
    voice = std::move(voices[0]);
    Voice probe;
    ResolvedSettings resolved;
    if (!prepareProbe(module, settings, sampleRate, voice, probe, resolved, error)) return false;
    voice.plugin->startUp(static_cast<float>(sampleRate), settings.blockSize);
    applySettings(*voice.plugin, resolved);
    describeSettings(*voice.plugin, resolved, report);
    settleDelay(probe, settings, voice.plugin->initialDelay(), report);
    return true;
}

bool renderStream(const vst_host::PluginModule& module, AudioSource& source, const RenderSettings& settings,
                  FrameSink& sink, RenderReport& report, std::string& error, const RenderObservers& observers) {
    const int block = settings.blockSize;
    const SourceFormat& format = source.format();
    const int channels = format.channels;
    const int rate = format.sampleRate;

    std::vector<Voice> voices;
    if (!makeVoices(module, rate, block, channels, voices, error)) return false;
    Voice probe;
    ResolvedSettings resolved;
    if (!prepareProbe(module, settings, rate, voices[0], probe, resolved, error)) return false;
    for (Voice& voice : voices) {
        voice.plugin->startUp(static_cast<float>(rate), block);
        applySettings(*voice.plugin, resolved);
    }
    vst_host::PluginInstance& first = *voices[0].plugin;
    describeSettings(first, resolved, report);
    report.instances = static_cast<int>(voices.size());
    // Read after resume and set-up: a plug-in may only know its delay then.
    settleDelay(probe, settings, first.initialDelay(), report);
    probe.plugin.reset();  // closed while its host still answers
    int ioChangesSeen = *voices[0].ioChanges;

    // effGetTailSize: 0 means "not known", 1 "no tail".
    const long reportedTail = static_cast<long>(first.dispatch(effGetTailSize));
    report.pluginTail = reportedTail > 1 ? std::min<long>(reportedTail, static_cast<long>(kMaxAutoTailSeconds * rate)) : 0;
    const long latest = std::max(report.compensatedDelay, report.measuredDelay.value_or(0));
    const long fixedTail = settings.tailSeconds ? std::lround(*settings.tailSeconds * rate) : report.pluginTail;
    const long maxAutoTail = static_cast<long>(kMaxAutoTailSeconds * rate);
    const long silentSpan = static_cast<long>(kSilentSpanSeconds * rate);
    const float silence = static_cast<float>(std::pow(10.0, kSilenceDbfs / 20.0));
    report.tailFrames = latest + kUndeclaredDelayAllowance + (settings.tailUntilSilent ? maxAutoTail : fixedTail);
    const long knownTotal = format.frames >= 0 ? format.frames + report.tailFrames : -1;
    const long outputBound = knownTotal >= 0 ? knownTotal - report.compensatedDelay : -1;
    const int outChannels = outputChannelCount(voices);
    report.outputChannels = outChannels;
    if (!sink.begin(rate, outChannels, settings.tailUntilSilent ? -1 : outputBound, outputBound, error)) return false;
    if (observers.started) observers.started(report);

    const int pluginInputs = first.numInputs(), pluginOutputs = first.numOutputs();
    vst_host::AudioBuffers in(pluginInputs, block), out(pluginOutputs, block);
    std::vector<float> inputBlock(static_cast<size_t>(block) * channels);
    std::vector<float> outputBlock(static_cast<size_t>(block) * outChannels);
    long silentFrames = 0;  // output frames in a row below the silence level, during an automatic tail
    long position = 0;     // frames processed
    long inputEnd = -1;    // known once the source has ended
    long lastPercent = -1;
    for (;;) {
        long frames = 0;
        if (inputEnd < 0) {
            frames = source.read(inputBlock.data(), block, error);
            if (frames < 0) return false;
            for (long i = 0; i < frames * channels; ++i)
                if (!std::isfinite(inputBlock[static_cast<size_t>(i)])) {
                    error = "input " + source.name() + " has a sample that is not a finite number (NaN or infinity) at " +
                            framePosition(position + i / channels, static_cast<int>(i % channels), rate) +
                            "; nothing was written";
                    return false;
                }
            if (observers.input && frames > 0) observers.input(inputBlock.data(), frames);
            if (frames < block) {
                inputEnd = position + frames;
                report.inputFrames = inputEnd;
            }
            std::fill(inputBlock.begin() + frames * channels, inputBlock.end(), 0.0f);
        } else {
            std::fill(inputBlock.begin(), inputBlock.end(), 0.0f);  // the tail
        }
        const long total = inputEnd < 0 ? -1 : inputEnd + report.tailFrames;
        if (total >= 0 && position >= total) break;
        if (settings.tailUntilSilent && inputEnd >= 0 && silentFrames >= silentSpan &&
            position >= inputEnd + latest + kUndeclaredDelayAllowance + fixedTail)
            break;
        frames = total < 0 ? block : std::min<long>(block, total - position);
        const int n = static_cast<int>(frames);

        for (Voice& voice : voices) {
            in.fill(0.0f);
            out.fill(0.0f);
            for (size_t pin = 0; pin < voice.fileChannels.size(); ++pin)
                for (int i = 0; i < n; ++i)
                    in.channel(static_cast<int>(pin))[i] = inputBlock[static_cast<size_t>(i * channels + voice.fileChannels[pin])];
            if (voice.plugin->flags() & effFlagsCanReplacing && voice.plugin->effect()->processReplacing)
                voice.plugin->processReplacing(in.pointers(), out.pointers(), n);
            else
                voice.plugin->process(in.pointers(), out.pointers(), n);
            for (size_t pin = 0; pin < voice.outputChannels.size(); ++pin)
                for (int i = 0; i < n; ++i)
                    outputBlock[static_cast<size_t>(i * outChannels + voice.outputChannels[pin])] =
                        out.channel(static_cast<int>(pin))[i];
        }
        if (settings.tailUntilSilent && inputEnd >= 0) {
            for (long i = 0; i < frames; ++i) {
                bool quiet = true;
                for (int c = 0; c < outChannels && quiet; ++c)
                    quiet = std::fabs(outputBlock[static_cast<size_t>(i * outChannels + c)]) < silence;
                silentFrames = quiet ? silentFrames + 1 : 0;
            }
        }
        // The first frames are the plug-in's delay: cut, so that the output lines up with the input.
        const long skip = std::clamp<long>(report.compensatedDelay - position, 0, frames);
        if (frames > skip) {
            const float* start = outputBlock.data() + skip * outChannels;
            if (!sink.write(start, frames - skip, error)) return false;
            if (observers.output) observers.output(start, frames - skip);
            report.outputFrames += frames - skip;
        }
        position += frames;

        if (*voices[0].ioChanges != ioChangesSeen) {
            ioChangesSeen = *voices[0].ioChanges;
            const long now = first.initialDelay();
            if (now != report.reportedDelay)
                report.warnings.push_back(report.effectName + " changed its reported delay from " +
                                          std::to_string(report.reportedDelay) + " to " + std::to_string(now) +
                                          " frames during the render; the output stays aligned to " +
                                          std::to_string(report.compensatedDelay));
            report.reportedDelay = now;
        }
        if (observers.progress && format.frames > 0) {
            const long expected =
                format.frames + (settings.tailUntilSilent ? latest + kUndeclaredDelayAllowance + fixedTail : report.tailFrames);
            long percent = std::min<long>(position * 100 / expected, 100);
            if (percent != lastPercent) {
                lastPercent = percent;
                observers.progress(std::min(1.0, static_cast<double>(position) / static_cast<double>(expected)));
            }
        }
    }
    for (Voice& voice : voices) voice.plugin->suspend();
    if (inputEnd >= 0) report.tailFrames = position - inputEnd;
    return true;
}

namespace {

class MemorySink : public FrameSink {
public:
    explicit MemorySink(AudioData& audio) : audio(audio) {}
    bool begin(int sampleRate, int channels, long frames, long, std::string&) override {
        audio.sampleRate = sampleRate;
        audio.channels = channels;
        audio.samples.clear();
        if (frames > 0) audio.samples.reserve(static_cast<size_t>(frames) * static_cast<size_t>(channels));
        return true;
    }
    bool write(const float* interleaved, long frames, std::string&) override {
        audio.samples.insert(audio.samples.end(), interleaved, interleaved + frames * audio.channels);
        return true;
    }

private:
    AudioData& audio;
};

}  // namespace

bool renderThroughPlugin(const vst_host::PluginModule& module, const AudioData& input,
                         const RenderSettings& settings, AudioData& output, RenderReport& report,
                         std::string& error, const ProgressFunction& progress) {
    std::unique_ptr<AudioSource> source = memorySource(input, "(memory)");
    MemorySink sink(output);
    report = {};
    return renderStream(module, *source, settings, sink, report, error, {progress, nullptr, nullptr, nullptr});
}

}  // namespace render
