#include "tools/vorsa_render/parameter_value.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "host/plugin_report.h"

namespace render {

namespace {

constexpr int kSearchSteps = 1000;

std::string trimmed(const std::string& text) {
    size_t first = text.find_first_not_of(" \t");
    size_t last = text.find_last_not_of(" \t");
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

std::string lower(std::string t) {
    std::transform(t.begin(), t.end(), t.begin(), [](unsigned char c) { return std::tolower(c); });
    return t;
}

std::string trimmedLower(const std::string& text) { return lower(trimmed(text)); }

std::optional<long> parseIndex(const std::string& text) {
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); }))
        return std::nullopt;
    return std::strtol(text.c_str(), nullptr, 10);
}

bool isSwitchLabel(const std::string& label) {
    const std::string l = trimmedLower(label);
    return l == "off/on" || l == "on/off";
}

// The unit a value is written in, from the parameter's label: "dB" and
// "Hz" as they are, the x of a ratio label "1:x"; none for a label that only
// names the states of a switch ("Off/On").
std::string unitOf(const std::string& label) {
    std::string unit = trimmed(label);
    if (size_t colon = unit.rfind(':'); colon != std::string::npos) unit = trimmed(unit.substr(colon + 1));
    if (isSwitchLabel(unit)) return "";
    return unit;
}

// "6dB" -> 6 and "db"; nothing when the text does not start with a number.
std::optional<std::pair<double, std::string>> numberAndUnit(const std::string& text) {
    const std::string t = trimmed(text);
    char* end = nullptr;
    double value = std::strtod(t.c_str(), &end);
    if (end == t.c_str() || !std::isfinite(value)) return std::nullopt;
    return std::make_pair(value, trimmedLower(end));
}

struct DisplayProbe {
    vst_host::PluginInstance& plugin;
    int index;

    std::string text(float v) {
        plugin.setParameter(index, v);
        return trimmed(plugin.parameterDisplay(index));
    }
    std::optional<double> number(float v) {
        auto parsed = numberAndUnit(text(v));
        return parsed ? std::optional<double>(parsed->first) : std::nullopt;
    }
    std::string shown(float v) {
        std::string label = trimmed(plugin.parameterLabel(index));
        return text(v) + (label.empty() ? "" : " " + label);
    }
};

// The display at the middle of the range as a short number, for examples.
std::string middleValue(DisplayProbe& probe) {
    std::optional<double> n = probe.number(0.5f);
    char text[32];
    std::snprintf(text, sizeof(text), "%.4g", n ? *n : 0.0);
    return text;
}

// A switch: labelled "Off/On", or its display shows exactly two texts over
// the whole range (on/off, 0/1). The normalised values at either end, for
// the two states; nothing for anything else.
std::optional<std::pair<float, float>> switchEnds(DisplayProbe& probe) {
    if (isSwitchLabel(probe.plugin.parameterLabel(probe.index))) return std::make_pair(0.0f, 1.0f);
    const std::string low = probe.text(0.0f), high = probe.text(1.0f);
    if (low == high) return std::nullopt;
    for (int i = 1; i < kSearchSteps; i += 7) {
        const std::string t = probe.text(static_cast<float>(i) / kSearchSteps);
        if (t != low && t != high) return std::nullopt;
    }
    return std::make_pair(0.0f, 1.0f);
}

std::optional<bool> onOffWord(const std::string& text) {
    const std::string t = trimmedLower(text);
    if (t == "on" || t == "yes" || t == "true") return true;
    if (t == "off" || t == "no" || t == "false") return false;
    return std::nullopt;
}

// The normalised value whose display shows `target`: the middle of the span
// of values that display it, so that a rounded display still lands on it.
std::optional<float> invertDisplay(DisplayProbe& probe, double target, std::string& range) {
    std::vector<std::pair<float, double>> grid;
    for (int i = 0; i <= kSearchSteps; ++i) {
        float v = static_cast<float>(i) / kSearchSteps;
        if (std::optional<double> n = probe.number(v)) grid.emplace_back(v, *n);
    }
    if (grid.size() < 2) return std::nullopt;
    const double low = std::min(grid.front().second, grid.back().second);
    const double high = std::max(grid.front().second, grid.back().second);
    range = probe.shown(grid.front().first) + " to " + probe.shown(grid.back().first);
    const double sign = grid.back().second >= grid.front().second ? 1.0 : -1.0;
    for (size_t i = 1; i < grid.size(); ++i)
        if (sign * (grid[i].second - grid[i - 1].second) < 0) {
            range.clear();  // not a steady scale: nothing to search
            return std::nullopt;
        }
    if (target < low || target > high) return std::nullopt;

    // First value displaying at least the target, and last displaying at most it.
    auto boundary = [&](bool atLeast) {
        float lo = 0.0f, hi = 1.0f;
        for (const auto& [v, n] : grid) {
            if (sign * (n - target) < 0 || (!atLeast && sign * (n - target) == 0)) lo = v;
            else { hi = v; break; }
        }
        for (int step = 0; step < 30; ++step) {
            float mid = 0.5f * (lo + hi);
            std::optional<double> n = probe.number(mid);
            bool below = n && (sign * (*n - target) < 0 || (!atLeast && sign * (*n - target) == 0));
            (below ? lo : hi) = mid;
        }
        return atLeast ? hi : lo;
    };
    const float first = boundary(true), last = boundary(false);
    if (first <= last) return 0.5f * (first + last);
    // No display shows the target exactly: the nearer of the two neighbours.
    std::optional<double> a = probe.number(last), b = probe.number(first);
    return a && b && std::fabs(*a - target) <= std::fabs(*b - target) ? last : first;
}

bool resolveValue(vst_host::PluginInstance& plugin, int index, const ParameterSetting& s, float& value,
                  std::string& error) {
    DisplayProbe probe{plugin, index};
    const std::string name = trimmed(plugin.parameterName(index));
    const std::string unit = unitOf(plugin.parameterLabel(index));
    const std::string label = lower(unit);
    if (std::optional<float> plain = parseValue(s.value)) {
        if (*plain >= 0.0f && *plain <= 1.0f) {
            value = *plain;
            return true;
        }
        error = "value " + s.value + " for parameter \"" + name + "\" is outside 0..1 (normalised); it shows " +
                probe.shown(0.0f) + " at 0 and " + probe.shown(1.0f) + " at 1" +
                (label.empty() ? "" : "; values in its unit are written like " + name + "=" + middleValue(probe) + unit);
        return false;
    }
    if (auto parsed = numberAndUnit(s.value)) {
        double target = parsed->first;
        std::string given = parsed->second;
        // A "k" in front of the label's unit means thousands: 2kHz for Hz.
        if (!label.empty() && given != label && given == "k" + label) {
            target *= 1000.0;
            given = label;
        }
        if (given.empty() || given != label) {
            error = "parameter \"" + name + "\" " +
                    (label.empty() ? "has no unit; give a normalised value 0..1"
                                   : "is in " + unit + ", not \"" + parsed->second +
                                         "\"") +
                    " (--set " + s.parameter + "=" + s.value + ")";
            return false;
        }
        std::string range;
        std::optional<float> found = invertDisplay(probe, target, range);
        if (!found) {
            error = range.empty() ? "parameter \"" + name + "\" cannot be set in its units (its display is not a " +
                                        "steady scale of numbers); give a normalised value 0..1"
                                  : "value " + s.value + " for parameter \"" + name + "\" is outside its range, " + range;
            return false;
        }
        value = *found;
        return true;
    }
    std::vector<std::string> texts;
    // Two-state parameters take on and off whatever their display shows
    // (a match with a display text below wins: "on" may be either end).
    std::optional<std::pair<float, float>> ends;
    if (onOffWord(s.value) && (ends = switchEnds(probe))) {
        const std::string shownLow = trimmedLower(probe.text(ends->first)), shownHigh = trimmedLower(probe.text(ends->second));
        const std::string wanted = trimmedLower(s.value);
        value = wanted == shownLow ? ends->first : wanted == shownHigh ? ends->second : *onOffWord(s.value) ? ends->second : ends->first;
        return true;
    }
    for (int i = 0; i <= kSearchSteps; ++i) {
        float v = static_cast<float>(i) / kSearchSteps;
        std::string shown = probe.text(v);
        if (lower(shown) == trimmedLower(s.value)) {
            value = v;
            return true;
        }
        if (texts.size() < 8 && std::find(texts.begin(), texts.end(), shown) == texts.end()) texts.push_back(shown);
    }
    std::string list;
    for (const std::string& t : texts) list += (list.empty() ? "" : ", ") + t;
    error = "value \"" + s.value + "\" for parameter \"" + name + "\" is not a number, and the parameter shows no such " +
            "text (it shows " + list + (texts.size() == 8 ? ", ..." : "") + ")";
    return false;
}

}  // namespace

std::optional<float> parseValue(const std::string& text) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    float value = std::strtof(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

int findParameter(vst_host::PluginInstance& plugin, const std::string& nameOrIndex) {
    if (std::optional<long> index = parseIndex(nameOrIndex))
        return *index < plugin.numParams() ? static_cast<int>(*index) : -1;
    const std::string wanted = trimmedLower(nameOrIndex);
    if (wanted.empty()) return -1;
    for (int i = 0; i < plugin.numParams(); ++i)
        if (trimmedLower(plugin.parameterName(i)) == wanted) return i;
    return -1;
}

int findProgram(vst_host::PluginInstance& plugin, const std::string& nameOrIndex) {
    if (std::optional<long> index = parseIndex(nameOrIndex))
        return *index < plugin.numPrograms() ? static_cast<int>(*index) : -1;
    // The names --list and the summary show.
    const std::vector<std::string> names = vst_host::programNames(plugin);
    int caseless = -1;
    for (int p = 0; p < static_cast<int>(names.size()); ++p) {
        if (names[p].empty()) continue;
        if (names[p] == nameOrIndex) return p;
        if (caseless < 0 && trimmedLower(names[p]) == trimmedLower(nameOrIndex)) caseless = p;
    }
    return caseless;
}

bool resolveSettings(vst_host::PluginInstance& scratch, const std::optional<std::string>& program,
                     const std::vector<ParameterSetting>& settings, ResolvedSettings& resolved, std::string& error) {
    resolved = {};
    if (program) {
        int index = findProgram(scratch, *program);
        if (index < 0) {
            error = "unknown program \"" + *program + "\" (vorsa-render PLUGIN --list shows them)";
            return false;
        }
        resolved.program = index;
        scratch.setProgram(index);
    } else if (scratch.numPrograms() > 0) {
        // Selected again once the sample rate is known, so that every
        // rate-dependent value follows the file's rate, as when a host
        // recalls a project.
        resolved.program = scratch.getProgram();
    }
    for (const ParameterSetting& s : settings) {
        int index = findParameter(scratch, s.parameter);
        if (index < 0) {
            error = "unknown parameter \"" + s.parameter + "\" (vorsa-render PLUGIN --list shows them)";
            return false;
        }
        float value = 0.0f;
        const float before = scratch.getParameter(index);
        if (!resolveValue(scratch, index, s, value, error)) return false;
        DisplayProbe probe{scratch, index};
        resolved.parameters.push_back({index, value, probe.shown(value)});
        scratch.setParameter(index, before);
    }
    return true;
}

void applySettings(vst_host::PluginInstance& plugin, const ResolvedSettings& settings) {
    if (settings.program && plugin.numPrograms() > 0) plugin.setProgram(*settings.program);
    for (const auto& p : settings.parameters) plugin.setParameter(p.index, p.value);
}

}  // namespace render
