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
        for (int p = 0; p < plugin.numPrograms(); ++p) {
            std::optional<std::string> name = plugin.programNameIndexed(p);
            out << "  " << std::setw(3) << p << "  " << (name ? *name : std::string("(no name)")) << "\n";
        }
    }
}

}  // namespace vst_host
