// A readable listing of a plug-in instance: identity, parameters, programs.
#pragma once

#include <ostream>

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

}  // namespace vst_host
