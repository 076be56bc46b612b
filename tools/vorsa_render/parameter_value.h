// Turning the user's program and parameter choices into what the plug-in
// takes: a program index and normalised values.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/vst_host.h"

namespace render {

struct ParameterSetting {
    std::string parameter;  // name or index
    std::string value;      // normalised value, value with unit, or display text
};

struct ResolvedSettings {
    std::optional<int> program;
    struct Parameter {
        int index;
        float value;       // normalised
        std::string shown; // what the plug-in displays for it, with its label
    };
    std::vector<Parameter> parameters;
};

// Resolves the choices on `scratch`, an instance that is moved around while
// display texts are searched and should not render afterwards without
// applySettings(). A value is taken as:
//  - a plain number: normalised, 0..1;
//  - a number with the parameter's label ("6dB", "-3 dB", "2kHz" for "Hz"):
//    the normalised value whose display shows it, found by searching the
//    display texts (they must rise or fall steadily);
//  - anything else: one of the parameter's display texts ("off").
// False with a reason (unknown name, value out of range with the range).
bool resolveSettings(vst_host::PluginInstance& scratch, const std::optional<std::string>& program,
                     const std::vector<ParameterSetting>& settings, ResolvedSettings& resolved, std::string& error);

// The program first, then the parameters, as a host recalls a project.
void applySettings(vst_host::PluginInstance& plugin, const ResolvedSettings& settings);

// Looks up a parameter by index or by name (blanks around names are ignored,
// letter case too); -1 when there is none.
int findParameter(vst_host::PluginInstance& plugin, const std::string& nameOrIndex);

// Looks up a program by index or by name; -1 when there is none.
int findProgram(vst_host::PluginInstance& plugin, const std::string& nameOrIndex);

// A number given as text; nothing when it is not a finite number.
std::optional<float> parseValue(const std::string& text);

}  // namespace render
