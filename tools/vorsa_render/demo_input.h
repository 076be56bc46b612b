// The render tool's built-in input: about ten seconds of synthesized stereo
// music, the same on every run, made to show what the plug-ins do: drums with
// sharp attacks, a bass line with quiet passages, a bright pad and a tape-like
// hiss floor, which stands alone in the last two seconds.
#pragma once

#include "tools/vorsa_render/audio_data.h"

namespace render {

AudioData makeDemoInput(int sampleRate = 44100);

}  // namespace render
