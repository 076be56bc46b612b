// What an editor may ask of the plug-in it edits, and nothing more: parameter
// values in, edit gestures out, the meters as the product's output values and
// the host's idle. A plug-in format implements it over its effect or over its
// own UI protocol (the editor may then run in another process and see only
// port values), so it speaks in plain numbers and parameter indices.
#pragma once

class EditorHost {
public:
    virtual ~EditorHost() = default;

    // A parameter's normalised value, as the host or the editor last set it.
    virtual float parameter(int index) const = 0;
    // The value the parameter stands for, in the units its value field shows.
    virtual float effectiveValue(int index) const = 0;
    // The stereo/mono value that decides the processing mode: 0 stereo,
    // otherwise mono. The editor's mode button and the widener follow it.
    virtual float stereoMonoValue() const = 0;

    // An edit gesture: begin, any number of sets, end. A set stores the value
    // and tells the host, which records it as automation.
    virtual void beginEdit(int index) = 0;
    virtual void setParameter(int index, float value) = 0;
    virtual void endEdit(int index) = 0;

    // The meters, `count` of the product's output values in its own order,
    // read together at the editor's idle. Reading tells the processing that
    // the editor saw them, so it may stop holding overloads for it.
    virtual void readMeters(float* values, int count) = 0;

    // Lets the host do its own idle work while the editor tracks a drag.
    virtual void hostIdle() = 0;
};
