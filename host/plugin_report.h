// A readable listing of a plug-in instance: identity, parameters, programs.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "host/vst_host.h"

namespace vst_host {

struct ReportSections {
    bool identity = true;
    bool parameters = true;
    bool programs = true;
};

// Writes the identity, every parameter (name, display text, label) and every
// program name, or the chosen sections. Reading the program names leaves the
// instance on the program it was on.
void printPluginReport(PluginInstance& plugin, std::ostream& out, const ReportSections& sections = {});

std::string fourCharText(VstInt32 code);

// The name of every program as a host's program box shows it: what the
// plug-in calls the program once it is selected (some give a shorter, shared
// name when asked by index), else its indexed name, else "". Selects each
// program in turn and then the one it was on again.
std::vector<std::string> programNames(PluginInstance& plugin);

}  // namespace vst_host
