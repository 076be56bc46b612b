#include "shell/plugin_entry.h"

AEffect* createEffectInstance(audioMasterCallback audioMaster, EffectConstructor construct) {
    if (!audioMaster || audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    AudioEffect* effect = construct(audioMaster);
    return effect ? effect->getAeffect() : nullptr;
}
