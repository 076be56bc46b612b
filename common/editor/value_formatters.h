// The texts of the editors' fields: label names by number and the value
// formats. Each writes at most 255 characters and a terminating zero.
#pragma once

#include "common/value_field_rule.h"

void formatLabel(float value, char* text);
// "-3.2dB" from a gain factor; "-oo dB" at or below 1e-8.
void formatDecibels(float value, char* text);
// Rounded to the nearest hertz: "1000Hz".
void formatHertz(float value, char* text);
// Truncated: "99%" for 0.999.
void formatPercent(float value, char* text);
// Eight characters counting sign and decimal point: "2.500000", " Huge!  ".
void formatDigits(float value, char* text);
// The first four characters of formatDigits and "dB/oct": "12.0dB/oct".
void formatSlope(float value, char* text);

// The formatter of a value field's format.
void (*formatterFor(FieldFormat format))(float value, char* text);
