// Glintor as LV2 plug-ins: its port rules, product description and the
// adapter around the treble effect.
#pragma once

#include <memory>

#include "lv2/effect_adapter.h"
#include "lv2/port_spec.h"

namespace glintor_lv2 {

extern const lv2_ports::ProductInfo kProduct;
std::unique_ptr<lv2_plugin::EffectAdapter> adapt(PluginBuild build);

}  // namespace glintor_lv2
