// The port descriptions against the products: every parameter has its port,
// and every value a factory program holds survives the trip into the port's
// unit and back bit for bit, so a preset sounds as its program.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <regex>
#include <set>

#include "lv2/glintor/glintor_lv2.h"
#include "lv2/rumblor/rumblor_lv2.h"
#include "shell/audio_effect.h"

namespace {

using namespace lv2_ports;

struct Build {
    const ProductInfo* product;
    PluginBuild build;
};

const Build kBuilds[] = {{&glintor_lv2::kProduct, PluginBuild::Stereo},
                         {&glintor_lv2::kProduct, PluginBuild::Mono},
                         {&rumblor_lv2::kProduct, PluginBuild::Stereo},
                         {&rumblor_lv2::kProduct, PluginBuild::Mono}};

std::string label(const Build& b) { return std::string(b.product->name) + (b.build == PluginBuild::Mono ? " mono" : ""); }

TEST(Lv2Ports, OnePortPerParameterWithAUniqueCIdentifierSymbol) {
    const std::regex identifier("[A-Za-z_][A-Za-z0-9_]*");
    for (const Build& b : kBuilds) {
        SCOPED_TRACE(label(b));
        const ProductPorts ports = describe(*b.product, b.build);
        std::unique_ptr<AudioEffectX> effect(b.product->create(b.build));
        ASSERT_EQ(static_cast<int>(ports.controls.size()), effect->getAeffect()->numParams);
        std::set<std::string> symbols = {"latency"};
        for (int m = 0; m < b.product->numMeters; ++m) symbols.insert(b.product->meterSymbols[m]);
        for (const ControlPort& port : ports.controls) {
            EXPECT_TRUE(std::regex_match(port.symbol, identifier)) << port.symbol;
            EXPECT_TRUE(symbols.insert(port.symbol).second) << "twice: " << port.symbol;
            EXPECT_FALSE(port.name.empty()) << port.symbol;
            EXPECT_LE(port.minimum, port.defaultValue) << port.symbol;
            EXPECT_GE(port.maximum, port.defaultValue) << port.symbol;
        }
    }
}

// Program 0's values as the effect starts, and every factory program's, in
// the port's unit and back.
TEST(Lv2Ports, EveryFactoryValueAndDefaultRoundTripsExactly) {
    for (const Build& b : kBuilds) {
        SCOPED_TRACE(label(b));
        const ProductPorts ports = describe(*b.product, b.build);
        std::unique_ptr<AudioEffectX> effect(b.product->create(b.build));
        for (const ControlPort& port : ports.controls)
            EXPECT_EQ(port.toNormalised(port.defaultValue), effect->getParameter(port.parameter)) << port.symbol;
        for (int program = 0; program < ports.numPrograms; ++program) {
            effect->setProgram(program);
            for (const ControlPort& port : ports.controls) {
                if (!port.inPresets) continue;
                const float raw = effect->getParameter(port.parameter);
                const float shown = port.toPort(raw);
                EXPECT_EQ(port.toNormalised(port.clamp(shown)), raw)
                    << port.symbol << " in program " << program << ": " << raw << " shown as " << shown;
                if (port.unit == Unit::Toggle) {
                    EXPECT_TRUE(raw == 0.0f || raw == 1.0f) << port.symbol;
                }
            }
        }
    }
}

// The unit ports read as the editor's value fields do: the port value equals
// the number the effect displays, to the display's precision.
TEST(Lv2Ports, UnitPortsShowWhatTheEffectDisplays) {
    for (const Build& b : kBuilds) {
        SCOPED_TRACE(label(b));
        const ProductPorts ports = describe(*b.product, b.build);
        std::unique_ptr<AudioEffectX> effect(b.product->create(b.build));
        int checked = 0;
        for (int program = 0; program < ports.numPrograms; program += 5) {
            effect->setProgram(program);
            for (const ControlPort& port : ports.controls) {
                if (port.unit != Unit::Decibels && port.unit != Unit::Hertz && port.unit != Unit::Percent) continue;
                char text[64] = {};
                effect->getParameterDisplay(port.parameter, text);
                const double shown = std::atof(text);
                const double value = port.toPort(effect->getParameter(port.parameter));
                EXPECT_NEAR(value, shown, 0.01 * std::fmax(1.0, std::fabs(shown))) << port.symbol << " shows " << text;
                ++checked;
            }
        }
        EXPECT_GT(checked, 0);
    }
}

TEST(Lv2Ports, SwitchesShowTheEffectsTexts) {
    const ProductPorts glintor = describe(glintor_lv2::kProduct, PluginBuild::Stereo);
    ASSERT_EQ(glintor.controls[0].scalePoints.size(), 2u);
    EXPECT_EQ(glintor.controls[0].scalePoints[0].label, "Off");
    EXPECT_EQ(glintor.controls[0].scalePoints[1].label, "On");
    const ProductPorts rumblor = describe(rumblor_lv2::kProduct, PluginBuild::Stereo);
    ASSERT_EQ(rumblor.controls[0].scalePoints.size(), 2u);
    EXPECT_EQ(rumblor.controls[0].scalePoints[0].label, "off");
    EXPECT_EQ(rumblor.controls[0].scalePoints[1].label, "on");
}

}  // namespace
