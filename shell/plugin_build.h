#pragma once

// Every product ships a stereo and a mono build of the same object code; the
// build is chosen when the effect is constructed.
enum class PluginBuild { Stereo, Mono };
