#include "lv2/glintor/glintor_lv2.h"
#include "lv2/glintor/glintor_ports.h"

#include "treble/treble_effect.h"
#include "treble_dsp/treble_parameters.h"

namespace glintor_lv2 {

namespace {

// The look-ahead of the hiss reducer delays the audio while it runs.
constexpr int kLookAhead = 255;

class Adapter : public lv2_plugin::ProductAdapter<TrebleEffect> {
public:
    explicit Adapter(PluginBuild build) : ProductAdapter(build, treble_params::kProgramApplyOrder) {}
    int latency() override { return coef.processOn != 0 && coef.hissOn != 0 ? kLookAhead : 0; }
};

AudioEffectX* create(PluginBuild build) { return new TrebleEffect(lv2_plugin::hostCallback, build); }

}  // namespace

const lv2_ports::ProductInfo kProduct = {
    "vorsa-glintor",
    "glintor",
    "Glintor",
    "lv2:HighpassPlugin",
    "Treble enhancer: look-ahead hiss reducer, transient shaper, harmonic exciter, stereo widener",
    kRules,
    treble_params::kNumParams,
    create,
    kMeterSymbols,
    kMeterNames,
    kMeterComments,
    kNumMeters,
};

std::unique_ptr<lv2_plugin::EffectAdapter> adapt(PluginBuild build) { return std::make_unique<Adapter>(build); }

}  // namespace glintor_lv2
