// How the parameters of an effect become LV2 control ports: each port's
// symbol, name, unit, range, default and the conversion between the port's
// value and the normalised value the effect takes. The plug-in and the Turtle
// generator build the same list from the same effect, so the description a
// host reads and the values the instance converts never disagree.
#pragma once

#include <string>
#include <vector>

#include "shell/plugin_build.h"

class AudioEffectX;

namespace lv2_ports {

constexpr const char* kUriBase = "https://vorsa-audio.example/plugins/";

// What a control input port shows.
enum class Unit {
    Normalised,  // the effect's own 0..1 value (ranges may widen to hold a factory value)
    Marked,      // the same, with scale points at every quarter showing the editor's texts
    Toggle,      // a switch: 0 or 1
    Choice,      // a few named values (lv2:enumeration)
    Decibels,
    Hertz,
    Percent,
};

// Port value p from normalised value v.
enum class Curve {
    Identity,     // p = v
    Linear,       // p = v * a + b
    Exponential,  // p = a * b^v (logarithmic knob)
    Square,       // p = a * v^2 + b
};

// One row per parameter, in parameter index order: what the product's own
// table does not say about a port.
struct PortRule {
    const char* symbol;  // C identifier, stable: sessions and presets refer to it
    const char* name;    // null: the parameter's name
    Unit unit;
    Curve curve;
    double a;
    double b;
    const char* comment;  // null: none
    // Choice: the labels of the values a, a + 1, ..., separated by '|'.
    const char* choices;
    bool inPresets;  // false: the value belongs to the instance, not to a program
};

struct ScalePoint {
    float value;
    std::string label;
};

struct ControlPort {
    int parameter;  // the effect's parameter index
    std::string symbol;
    std::string name;
    std::string comment;
    Unit unit;
    Curve curve;
    double a;
    double b;
    float minimum;  // in port units
    float maximum;
    float defaultValue;
    std::vector<ScalePoint> scalePoints;
    bool inPresets;

    // Port value from the effect's normalised value, and back; the pair is
    // exact (bit for bit after rounding to float) for every factory value,
    // which the tests check.
    float toPort(float normalised) const;
    float toNormalised(float port) const;
    // The port value held inside the port's range; NaN stays NaN.
    float clamp(float port) const;
};

// A product's ports, built from the rules, the effect's parameter names and
// display texts, its program 0 (the defaults, as the VST 2 build starts) and
// its factory programs (ranges reach every value a program holds).
struct ProductPorts {
    std::vector<ControlPort> controls;
    int numPrograms = 0;
};

// The few things that differ between the two products, for the plug-in and
// the generator alike.
struct ProductInfo {
    const char* bundle;      // "vorsa-glintor"
    const char* slug;        // URI path: "glintor"
    const char* name;        // "Glintor"
    const char* lv2Class;    // e.g. "lv2:HighpassPlugin"
    const char* summary;
    const PortRule* rules;   // one per parameter
    int numParams;
    // A freshly constructed effect of the build (program 0, 44.1 kHz),
    // answered by the plug-in's own small host callback. Owned by the caller.
    AudioEffectX* (*create)(PluginBuild build);
    // The meters, in port order: control outputs from 0 to 1, as the editor's
    // indicators take them.
    const char* const* meterSymbols;
    const char* const* meterNames;
    const char* const* meterComments;
    int numMeters;
};

ProductPorts describe(const ProductInfo& product, PluginBuild build);

// A parameter's port as far as its rule alone says: symbol, unit and the
// conversion, without range, default or texts (which need the effect). The UI
// converts with it, so it never needs an effect of its own.
ControlPort conversionOf(const PortRule& rule, int parameter);

// URI of a build and of one of its factory presets.
std::string pluginUri(const ProductInfo& product, PluginBuild build);
std::string presetUri(const ProductInfo& product, PluginBuild build, int program);
// URI of a build's editor as an LV2 UI.
std::string uiUri(const ProductInfo& product, PluginBuild build);

// Audio ports: inputs first, then outputs; the controls follow, then the
// latency output and the meters.
struct PortLayout {
    int audioInputs;
    int audioOutputs;
    int firstControl;
    int latency;
    int firstMeter;
    int total;
};
PortLayout layout(const ProductInfo& product, PluginBuild build);
PortLayout layout(int numParams, int numMeters, PluginBuild build);

}  // namespace lv2_ports
