// How an editor's value field shows a parameter: which of its values, and in
// which text form. Plain data: the parameter tables of both products name a
// rule per parameter, and the editors turn it into a field.
#pragma once

enum class FieldSource {
    None,        // the parameter has no value field
    Effective,   // the processing value that stands for it (Hz, a gain factor...)
    Normalised,  // its normalised value times the rule's scale
};

enum class FieldFormat { Decibels, Hertz, Percent, Digits, Slope };

struct FieldRule {
    FieldSource source;
    float scale;
    FieldFormat format;
};

// The rule of a parameter without a value field.
constexpr FieldRule kNoField = {FieldSource::None, 1.0f, FieldFormat::Digits};
