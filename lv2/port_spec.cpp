#include "lv2/port_spec.h"

#include <algorithm>
#include <cstdio>
#include <cmath>
#include <memory>

#include "shell/audio_effect.h"

namespace lv2_ports {

namespace {

std::string trimmed(const char* text) {
    std::string s(text);
    const size_t first = s.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t end; (end = text.find(separator, start)) != std::string::npos; start = end + 1)
        parts.push_back(text.substr(start, end - start));
    parts.push_back(text.substr(start));
    return parts;
}

}  // namespace

float ControlPort::toPort(float normalised) const {
    const double v = normalised;
    switch (curve) {
    case Curve::Identity: return normalised;
    case Curve::Linear: return static_cast<float>(v * a + b);
    case Curve::Exponential: return static_cast<float>(a * std::pow(b, v));
    case Curve::Square: return static_cast<float>(v * v * a + b);
    }
    return normalised;
}

float ControlPort::toNormalised(float port) const {
    const double p = port;
    switch (curve) {
    case Curve::Identity: return port;
    case Curve::Linear: return static_cast<float>((p - b) / a);
    case Curve::Exponential: return static_cast<float>(std::log(p / a) / std::log(b));
    case Curve::Square: return static_cast<float>(std::sqrt(std::max((p - b) / a, 0.0)));
    }
    return port;
}

float ControlPort::clamp(float port) const {
    if (std::isnan(port)) return port;
    return std::min(std::max(port, minimum), maximum);
}

ProductPorts describe(const ProductInfo& product, PluginBuild build) {
    ProductPorts ports;
    std::unique_ptr<AudioEffectX> effect(product.create(build));
    ports.numPrograms = effect->getAeffect()->numPrograms;

    // Program 0 as the effect starts, then every factory program's values.
    std::vector<float> defaults(static_cast<size_t>(product.numParams));
    for (int i = 0; i < product.numParams; ++i) defaults[i] = effect->getParameter(i);
    std::vector<float> lowest = defaults, highest = defaults;
    for (int program = 0; program < ports.numPrograms; ++program) {
        effect->setProgram(program);
        for (int i = 0; i < product.numParams; ++i) {
            lowest[i] = std::min(lowest[i], effect->getParameter(i));
            highest[i] = std::max(highest[i], effect->getParameter(i));
        }
    }
    effect->setProgram(0);

    for (int i = 0; i < product.numParams; ++i) {
        const PortRule& rule = product.rules[i];
        ControlPort port = conversionOf(rule, i);
        char text[64] = {};
        effect->getParameterName(i, text);
        port.name = rule.name ? rule.name : trimmed(text);
        port.comment = rule.comment ? rule.comment : "";
        // A host sets the normalised range; a factory program may hold more.
        const float low = std::min(0.0f, lowest[i]), high = std::max(1.0f, highest[i]);
        if (rule.unit == Unit::Choice) {
            const std::vector<std::string> labels = split(rule.choices, '|');
            for (size_t k = 0; k < labels.size(); ++k)
                port.scalePoints.push_back({static_cast<float>(rule.a + static_cast<double>(k)), labels[k]});
            port.minimum = port.scalePoints.front().value;
            port.maximum = port.scalePoints.back().value;
            port.defaultValue = defaults[i];
        } else {
            port.minimum = port.toPort(low);
            port.maximum = port.toPort(high);
            if (port.minimum > port.maximum) std::swap(port.minimum, port.maximum);
            port.defaultValue = port.toPort(defaults[i]);
        }
        if (rule.unit == Unit::Marked) {
            effect->getParameterLabel(i, text);
            const std::string unit = trimmed(text);
            const float saved = effect->getParameter(i);
            for (int quarter = 0; quarter <= 4; ++quarter) {
                const float value = 0.25f * static_cast<float>(quarter);
                effect->setParameter(i, value);
                char display[64] = {};
                effect->getParameterDisplay(i, display);
                port.scalePoints.push_back({value, trimmed(display) + (unit.empty() ? "" : " " + unit)});
            }
            effect->setParameter(i, saved);
        }
        if (rule.unit == Unit::Toggle) {
            // The switch's own texts: "on"/"off" where the effect shows them,
            // else the label's "Off/On".
            effect->getParameterLabel(i, text);
            const std::vector<std::string> label = split(trimmed(text), '/');
            for (int value = 0; value <= 1; ++value) {
                std::string shown;
                if (label.size() == 2) {
                    shown = label[static_cast<size_t>(value)];
                } else {
                    const float saved = effect->getParameter(i);
                    effect->setParameter(i, static_cast<float>(value));
                    char display[64] = {};
                    effect->getParameterDisplay(i, display);
                    shown = trimmed(display);
                    effect->setParameter(i, saved);
                }
                port.scalePoints.push_back({static_cast<float>(value), shown});
            }
        }
        ports.controls.push_back(std::move(port));
    }
    return ports;
}

ControlPort conversionOf(const PortRule& rule, int parameter) {
    ControlPort port{};
    port.parameter = parameter;
    port.symbol = rule.symbol;
    port.unit = rule.unit;
    port.curve = rule.curve;
    port.a = rule.a;
    port.b = rule.b;
    port.inPresets = rule.inPresets;
    return port;
}

std::string pluginUri(const ProductInfo& product, PluginBuild build) {
    return std::string(kUriBase) + product.slug + (build == PluginBuild::Mono ? "-mono" : "");
}

std::string presetUri(const ProductInfo& product, PluginBuild build, int program) {
    char number[16];
    std::snprintf(number, sizeof number, "%02d", program);
    return pluginUri(product, build) + "/preset-" + number;
}

std::string uiUri(const ProductInfo& product, PluginBuild build) { return pluginUri(product, build) + "/ui"; }

PortLayout layout(const ProductInfo& product, PluginBuild build) {
    return layout(product.numParams, product.numMeters, build);
}

PortLayout layout(int numParams, int numMeters, PluginBuild build) {
    PortLayout l;
    l.audioInputs = l.audioOutputs = build == PluginBuild::Mono ? 1 : 2;
    l.firstControl = l.audioInputs + l.audioOutputs;
    l.latency = l.firstControl + numParams;
    l.firstMeter = l.latency + 1;
    l.total = l.firstMeter + numMeters;
    return l;
}

}  // namespace lv2_ports
