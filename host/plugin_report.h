// A readable listing of a plug-in instance: identity, parameters, programs.
#pragma once

#include <ostream>

#include "host/vst_host.h"

namespace vst_host {

// Writes the identity, every parameter (name, display text, label) and every
// program name. Selecting each program to read its name leaves the instance on
// the program it was on.
void printPluginReport(PluginInstance& plugin, std::ostream& out);

std::string fourCharText(VstInt32 code);

}  // namespace vst_host
