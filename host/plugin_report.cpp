#include "host/plugin_report.h"

#include <iomanip>

namespace vst_host {

std::string fourCharText(VstInt32 code) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        char c = static_cast<char>((static_cast<uint32_t>(code) >> shift) & 0xff);
        text += (c >= 32 && c < 127) ? c : '?';
    }
    return text;
}

void printPluginReport(PluginInstance& plugin, std::ostream& out, const ReportSections& sections) {
    if (sections.identity) {
        out << "Effect:   " << plugin.effectName() << "\n";
        out << "Vendor:   " << plugin.vendorString() << " (version " << plugin.vendorVersion() << ")\n";
        out << "Product:  " << plugin.productString() << "\n";
        out << "Id:       " << fourCharText(plugin.uniqueId()) << "   inputs " << plugin.numInputs() << ", outputs "
            << plugin.numOutputs() << ", initial delay " << plugin.initialDelay() << "\n";
    }
    if (sections.parameters) {
        out << "Parameters (" << plugin.numParams() << "):\n";
        for (int i = 0; i < plugin.numParams(); ++i) {
            out << "  " << std::setw(3) << i << "  [" << std::left << std::setw(12) << (plugin.parameterName(i) + "]")
                << std::right << " [" << plugin.parameterDisplay(i) << "] [" << plugin.parameterLabel(i) << "]\n";
        }
    }
    if (sections.programs) {
        out << "Programs (" << plugin.numPrograms() << "):\n";
        const std::vector<std::string> names = programNames(plugin);
        for (int p = 0; p < plugin.numPrograms(); ++p)
            out << "  " << std::setw(3) << p << "  " << (names[p].empty() ? std::string("(no name)") : names[p]) << "\n";
    }
}

std::vector<std::string> programNames(PluginInstance& plugin) {
    std::vector<std::string> names;
    const VstInt32 current = plugin.getProgram();
    for (int p = 0; p < plugin.numPrograms(); ++p) {
        plugin.setProgram(p);
        std::string name = plugin.programName();
        if (name.empty()) name = plugin.programNameIndexed(p).value_or("");
        names.push_back(name);
    }
    if (plugin.numPrograms() > 0) plugin.setProgram(current);
    return names;
}

}  // namespace vst_host
