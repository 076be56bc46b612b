#include "tools/vorsa_render/plugin_voice.h"

namespace render {

void Voice::connect(int pins) {
    for (int i = 0; i < pins; ++i) {
        host->setInputConnected(i, i < static_cast<int>(fileChannels.size()));
        host->setOutputConnected(i, i < static_cast<int>(outputChannels.size()));
    }
}

bool makeVoice(const vst_host::PluginModule& module, int sampleRate, int blockSize, std::vector<int> channels,
               Voice& voice, std::string& error) {
    voice.host = std::make_unique<vst_host::ScriptedHost>();
    voice.host->sampleRate = static_cast<float>(sampleRate);
    voice.host->blockSize = blockSize;
    voice.host->recordRequests = false;
    voice.ioChanges = std::make_shared<int>(0);
    // A plug-in announces a new delay through audioMasterIOChanged; the
    // render reads the delay again when it has.
    voice.host->script = [changes = voice.ioChanges](AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*,
                                                     float) -> std::optional<VstIntPtr> {
        if (opcode != audioMasterIOChanged) return std::nullopt;
        ++*changes;
        return 1;
    };
    voice.fileChannels = std::move(channels);
    voice.outputChannels = voice.fileChannels;
    voice.connect(2);
    voice.plugin = vst_host::PluginInstance::create(module, *voice.host, &error);
    return voice.plugin != nullptr;
}

}  // namespace render
