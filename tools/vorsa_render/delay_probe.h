// Measures how late a plug-in's output really is, whatever it reports.
#pragma once

#include <optional>
#include <string>

#include "tools/vorsa_render/plugin_voice.h"

namespace render {

// Renders a burst of noise through `voice` (a started instance set up like
// the render's, not used for anything else) and returns the lag at which the
// output matches the input best, searched up to `maxLag` frames. Nothing,
// with a reason in `why`, when the output does not resemble the input enough
// to tell (a plug-in that mutes or generates).
std::optional<long> measureDelay(Voice& voice, int blockSize, long maxLag, std::string& why);

}  // namespace render
