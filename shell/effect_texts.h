// Texts both products hand to hosts in the same way.
#pragma once

#include "shell/vst2_abi.h"

// Describes input or output pin `index` (0 or 1) as one of a stereo pair,
// labelled with `format` ("My %1d In") and the pin number; false for any
// other index, with nothing written.
bool describeStereoPin(VstInt32 index, VstPinProperties* properties, const char* format);

// Copies a program name for a host, cut to the published program-name size:
// hosts are only bound to offer buffers of that size.
void copyProgramNameOut(char* destination, const char* name);
