// A treble effect constructed in the test process, talking to a scripted host.
#pragma once

#include <memory>

#include "host/vst_host.h"
#include "treble/treble_effect.h"

namespace effect_test {

struct EffectRig {
    std::unique_ptr<vst_host::ScriptedHost> host = std::make_unique<vst_host::ScriptedHost>();
    std::unique_ptr<TrebleEffect> effect;

    TrebleEffect* operator->() const { return effect.get(); }
    EffectRig() = default;
    EffectRig(EffectRig&&) = default;
    ~EffectRig() {
        if (effect) host->detach(effect->getAeffect());
    }
};

// configure may set the host's answers before the constructor asks them.
template <class Configure>
EffectRig makeEffect(PluginBuild build, Configure configure) {
    EffectRig rig;
    configure(*rig.host);
    {
        vst_host::ScriptedHost::Constructing guard(*rig.host);
        rig.effect = std::make_unique<TrebleEffect>(&vst_host::ScriptedHost::callback, build);
    }
    rig.host->attach(rig.effect->getAeffect());
    return rig;
}

inline EffectRig makeEffect(PluginBuild build) {
    return makeEffect(build, [](vst_host::ScriptedHost&) {});
}

}  // namespace effect_test
