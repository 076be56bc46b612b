#include "shell/effect_texts.h"

#include <cstdio>
#include <cstring>

bool describeStereoPin(VstInt32 index, VstPinProperties* properties, const char* format) {
    if (index < 0 || index > 1) return false;
    std::snprintf(properties->label, sizeof(properties->label), format, static_cast<int>(index + 1));
    properties->flags = kVstPinIsActive | kVstPinIsStereo;
    return true;
}

void copyProgramNameOut(char* destination, const char* name) {
    std::strncpy(destination, name, kVstMaxProgNameLen);
    destination[kVstMaxProgNameLen] = 0;
}
