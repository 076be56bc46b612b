// One plug-in instance as the render drives it: its own host callback, the
// pins it is told are connected and the file channels it serves.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/vst_host.h"

namespace render {

// Members are destroyed bottom-up: the instance closes before its host goes.
// Never assign over a voice that holds an instance.
struct Voice {
    std::unique_ptr<vst_host::ScriptedHost> host;
    std::unique_ptr<vst_host::PluginInstance> plugin;
    std::vector<int> fileChannels;    // plug-in input i carries fileChannels[i]
    std::vector<int> outputChannels;  // plug-in output i goes to output file channel outputChannels[i]
    std::shared_ptr<int> ioChanges; // audioMasterIOChanged calls so far

    // Pins without a file channel (inputs) or an output channel are reported unconnected, as a host does
    // for a mono track on a stereo plug-in. The host answers pin questions
    // when they are asked, so the answers may still change after creation.
    void connect(int pins);
};

// Creates an instance at the given rate and block size serving `channels`.
// False with a reason in `error`.
bool makeVoice(const vst_host::PluginModule& module, int sampleRate, int blockSize, std::vector<int> channels,
               Voice& voice, std::string& error);

}  // namespace render
