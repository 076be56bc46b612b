#include "lv2/rumblor/rumblor_lv2.h"
#include "lv2/rumblor/rumblor_ports.h"

#include "bass/bass_effect.h"
#include "bass_dsp/bass_parameters.h"

namespace rumblor_lv2 {

namespace {

// The band split's delay line: the audio always leaves this many frames late.
constexpr int kDelay = 255;

class Adapter : public lv2_plugin::ProductAdapter<BassEffect> {
public:
    explicit Adapter(PluginBuild build) : ProductAdapter(build, bass_params::kProgramApplyOrder) {}
    int latency() override { return kDelay; }
};

AudioEffectX* create(PluginBuild build) { return new BassEffect(lv2_plugin::hostCallback, build); }

}  // namespace

const lv2_ports::ProductInfo kProduct = {
    "vorsa-rumblor",
    "rumblor",
    "Rumblor",
    "lv2:LowpassPlugin",
    "Bass enhancer: band split, upward compression of the low band, harmonics, DC filter",
    kRules,
    bass_params::kNumParams,
    create,
    kMeterSymbols,
    kMeterNames,
    kMeterComments,
    kNumMeters,
};

std::unique_ptr<lv2_plugin::EffectAdapter> adapt(PluginBuild build) { return std::make_unique<Adapter>(build); }

}  // namespace rumblor_lv2
