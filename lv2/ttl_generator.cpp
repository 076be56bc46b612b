// Writes a product's LV2 bundle description from the product itself: the
// manifest, the plug-in description of both builds and every factory
// program as a preset. Run by the build, so the Turtle follows the
// parameter tables, the mapping and the programs whenever they change.
// With `ui` the manifest also offers the editor, whose library is built
// beside the plug-in's.
//   vorsa-lv2-ttl glintor|rumblor BUNDLE_FOLDER [ui|no-ui]
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "lv2/glintor/glintor_lv2.h"
#include "lv2/rumblor/rumblor_lv2.h"
#include "shell/audio_effect.h"

using namespace lv2_ports;

namespace {

const PluginBuild kBuilds[] = {PluginBuild::Stereo, PluginBuild::Mono};

const char* kPrefixes =
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
    "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n\n";

// A float as a Turtle decimal that reads back as the same float.
std::string number(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    std::string s = text;
    if (s.find_first_of(".e") == std::string::npos) s += ".0";
    else if (s.find('e') != std::string::npos && s.find('.') == std::string::npos)
        s.insert(s.find('e'), ".0");
    return s;
}

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

const char* unitUri(Unit unit) {
    switch (unit) {
    case Unit::Decibels: return "units:db";
    case Unit::Hertz: return "units:hz";
    case Unit::Percent: return "units:pc";
    default: return nullptr;
    }
}

std::string buildName(const ProductInfo& product, PluginBuild build) {
    return std::string(product.name) + (build == PluginBuild::Mono ? " Mono" : "");
}

void writeAudioPorts(std::ostream& out, PluginBuild build) {
    const bool mono = build == PluginBuild::Mono;
    const char* channels[] = {"l", "r"};
    const char* names[] = {"L", "R"};
    int index = 0;
    for (const char* direction : {"Input", "Output"}) {
        const bool input = direction[0] == 'I';
        for (int c = 0; c < (mono ? 1 : 2); ++c) {
            std::string symbol = input ? "in" : "out";
            std::string name = input ? "In" : "Out";
            if (!mono) {
                symbol += std::string("_") + channels[c];
                name += std::string(" ") + names[c];
            }
            out << "    [\n        a lv2:AudioPort , lv2:" << direction << "Port ;\n"
                << "        lv2:index " << index++ << " ;\n        lv2:symbol " << quoted(symbol)
                << " ;\n        lv2:name " << quoted(name) << " ;\n    ] ,\n";
        }
    }
}

void writeControlPort(std::ostream& out, const ControlPort& port, int index) {
    out << "    [\n        a lv2:InputPort , lv2:ControlPort ;\n"
        << "        lv2:index " << index << " ;\n        lv2:symbol " << quoted(port.symbol) << " ;\n"
        << "        lv2:name " << quoted(port.name) << " ;\n"
        << "        lv2:default " << number(port.defaultValue) << " ;\n"
        << "        lv2:minimum " << number(port.minimum) << " ;\n"
        << "        lv2:maximum " << number(port.maximum) << " ;\n";
    if (const char* unit = unitUri(port.unit)) out << "        units:unit " << unit << " ;\n";
    if (port.unit == Unit::Toggle) out << "        lv2:portProperty lv2:toggled ;\n";
    if (port.unit == Unit::Choice) out << "        lv2:portProperty lv2:enumeration , lv2:integer ;\n";
    if (port.curve == Curve::Exponential) out << "        lv2:portProperty pprops:logarithmic ;\n";
    if (!port.comment.empty()) out << "        rdfs:comment " << quoted(port.comment) << " ;\n";
    for (const ScalePoint& point : port.scalePoints)
        out << "        lv2:scalePoint [ rdfs:label " << quoted(point.label) << " ; rdf:value "
            << number(point.value) << " ] ;\n";
    out << "    ] ,\n";
}

void writePlugin(std::ostream& out, const ProductInfo& product, PluginBuild build) {
    const ProductPorts ports = describe(product, build);
    const PortLayout l = layout(product, build);
    out << "<" << pluginUri(product, build) << ">\n    a lv2:Plugin , doap:Project , " << product.lv2Class << " ;\n"
        << "    doap:name " << quoted("Vorsa " + buildName(product, build)) << " ;\n"
        << "    doap:maintainer [ foaf:name \"Vorsa\" ; foaf:homepage <https://vorsa-audio.example/> ] ;\n"
        << "    rdfs:comment " << quoted(product.summary) << " ;\n"
        << "    lv2:minorVersion 0 ;\n    lv2:microVersion 1 ;\n"
        << "    lv2:optionalFeature lv2:hardRTCapable ;\n"
        << "    lv2:port\n";
    writeAudioPorts(out, build);
    for (size_t i = 0; i < ports.controls.size(); ++i)
        writeControlPort(out, ports.controls[i], l.firstControl + static_cast<int>(i));
    out << "    [\n        a lv2:OutputPort , lv2:ControlPort ;\n        lv2:index " << l.latency << " ;\n"
        << "        lv2:symbol \"latency\" ;\n        lv2:name \"Latency\" ;\n"
        << "        lv2:designation lv2:latency ;\n"
        << "        lv2:portProperty lv2:reportsLatency , lv2:integer ;\n        units:unit units:frame ;\n"
        << "        lv2:minimum 0 ;\n        lv2:maximum 255 ;\n    ]";
    for (int m = 0; m < product.numMeters; ++m)
        out << " ,\n    [\n        a lv2:OutputPort , lv2:ControlPort ;\n        lv2:index " << l.firstMeter + m
            << " ;\n        lv2:symbol " << quoted(product.meterSymbols[m]) << " ;\n        lv2:name "
            << quoted(product.meterNames[m]) << " ;\n        rdfs:comment " << quoted(product.meterComments[m])
            << " ;\n        lv2:minimum 0.0 ;\n        lv2:maximum 1.0 ;\n    ]";
    out << " .\n\n";
}

std::string programName(AudioEffectX& effect, int program) {
    effect.setProgram(program);
    char name[64] = {};
    effect.getProgramName(name);
    return name;
}

void writePresets(std::ostream& out, const ProductInfo& product, PluginBuild build) {
    const ProductPorts ports = describe(product, build);
    std::unique_ptr<AudioEffectX> effect(product.create(build));
    for (int program = 0; program < ports.numPrograms; ++program) {
        const std::string name = programName(*effect, program);
        out << "<" << presetUri(product, build, program) << ">\n    a pset:Preset ;\n"
            << "    lv2:appliesTo <" << pluginUri(product, build) << "> ;\n"
            << "    rdfs:label " << quoted(name) << " ;\n    lv2:port";
        bool first = true;
        for (const ControlPort& port : ports.controls) {
            if (!port.inPresets) continue;
            out << (first ? "" : " ,") << "\n        [ lv2:symbol " << quoted(port.symbol) << " ; pset:value "
                << number(port.toPort(effect->getParameter(port.parameter))) << " ]";
            first = false;
        }
        out << " .\n\n";
    }
}

// The editor of a build, all in the manifest: the plug-in's own description
// does not mention it, so a bundle without the UI library still describes a
// working plug-in. The editor needs a parent window and the idle calls (it
// draws at idle); it follows every control and meter.
void writeUi(std::ostream& out, const ProductInfo& product, PluginBuild build) {
    const std::string plugin = pluginUri(product, build);
    const std::string ui = uiUri(product, build);
    out << "<" << plugin << ">\n    ui:ui <" << ui << "> .\n\n"
        << "<" << ui << ">\n    a ui:X11UI ;\n    ui:binary <" << product.bundle << "-ui.so> ;\n"
        << "    lv2:requiredFeature ui:parent , ui:idleInterface ;\n"
        << "    lv2:optionalFeature ui:resize , ui:touch , ui:noUserResize ;\n"
        << "    lv2:extensionData ui:idleInterface";
    std::vector<std::string> symbols;
    for (int i = 0; i < product.numParams; ++i) symbols.push_back(product.rules[i].symbol);
    for (int m = 0; m < product.numMeters; ++m) symbols.push_back(product.meterSymbols[m]);
    for (const std::string& symbol : symbols)
        out << " ;\n    ui:portNotification [ ui:plugin <" << plugin << "> ; lv2:symbol " << quoted(symbol)
            << " ; ui:protocol ui:floatProtocol ]";
    out << " .\n\n";
}

bool writeFile(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
    file.close();
    if (!file) {
        std::fprintf(stderr, "vorsa-lv2-ttl: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4 || (argc == 4 && std::strcmp(argv[3], "ui") != 0 && std::strcmp(argv[3], "no-ui") != 0)) {
        std::fprintf(stderr, "usage: vorsa-lv2-ttl glintor|rumblor BUNDLE_FOLDER [ui|no-ui]\n");
        return 2;
    }
    const ProductInfo* product = std::strcmp(argv[1], "glintor") == 0   ? &glintor_lv2::kProduct
                                 : std::strcmp(argv[1], "rumblor") == 0 ? &rumblor_lv2::kProduct
                                                                        : nullptr;
    if (!product) {
        std::fprintf(stderr, "vorsa-lv2-ttl: unknown product %s\n", argv[1]);
        return 2;
    }
    const std::string folder = argv[2];
    const bool withUi = argc == 4 && std::strcmp(argv[3], "ui") == 0;
    const std::string pluginFile = std::string(product->slug) + ".ttl";

    std::ostringstream manifest, plugins, presets;
    manifest << kPrefixes;
    plugins << kPrefixes;
    presets << kPrefixes;
    for (PluginBuild build : kBuilds) {
        manifest << "<" << pluginUri(*product, build) << ">\n    a lv2:Plugin ;\n    lv2:binary <"
                 << product->bundle << ".so> ;\n    rdfs:seeAlso <" << pluginFile << "> .\n\n";
        const int programs = describe(*product, build).numPrograms;
        for (int program = 0; program < programs; ++program)
            manifest << "<" << presetUri(*product, build, program) << ">\n    a pset:Preset ;\n    lv2:appliesTo <"
                     << pluginUri(*product, build) << "> ;\n    rdfs:seeAlso <presets.ttl> .\n\n";
        if (withUi) writeUi(manifest, *product, build);
        writePlugin(plugins, *product, build);
        writePresets(presets, *product, build);
    }
    const bool ok = writeFile(folder + "/manifest.ttl", manifest.str()) &&
                    writeFile(folder + "/" + pluginFile, plugins.str()) &&
                    writeFile(folder + "/presets.ttl", presets.str());
    return ok ? 0 : 1;
}
