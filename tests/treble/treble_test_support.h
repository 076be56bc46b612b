// Small helpers for the treble effect's unit tests.
#pragma once

#include <string>

#include "treble/treble_effect.h"

namespace treble_test {

inline std::string display(TrebleEffect& e, int index) {
    char text[64] = {};
    e.getParameterDisplay(index, text);
    return text;
}

inline std::string name(TrebleEffect& e, int index) {
    char text[64] = {};
    e.getParameterName(index, text);
    return text;
}

inline std::string label(TrebleEffect& e, int index) {
    char text[64] = {};
    e.getParameterLabel(index, text);
    return text;
}

inline std::string programName(TrebleEffect& e) {
    char text[64] = {};
    e.getProgramName(text);
    return text;
}

}  // namespace treble_test
