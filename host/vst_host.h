// A small VST 2 host: loads a plug-in module, creates instances with a
// scriptable host callback, wraps the opcodes in typed calls and runs process
// calls on buffers. Tests, tools and benchmarks use it like a DAW would.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "shell/vst2_abi.h"

namespace vst_host {

// One request the plug-in made of the host.
struct HostRequest {
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    float opt;
    bool withEffect;  // false for calls made before the record existed (the version query)
};

// The host side of the callback. Its answers are plain fields that a test or
// tool sets before (or between) calls.
class ScriptedHost {
public:
    ScriptedHost();
    ~ScriptedHost();
    ScriptedHost(const ScriptedHost&) = delete;
    ScriptedHost& operator=(const ScriptedHost&) = delete;

    VstIntPtr version = 2400;  // 0 makes a plug-in refuse to start
    VstIntPtr outputLatency = 0;
    VstInt32 blockSize = 512;
    float sampleRate = 44100.0f;
    // Real hosts answer the block-size request by sending effSetBlockSize.
    bool sendBlockSizeOnRequest = true;
    bool recordRequests = true;
    // Optional script that may answer any request itself (return a value) or
    // leave it to the defaults (return nothing).
    std::function<std::optional<VstIntPtr>(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                           float opt)>
        script;

    void setInputConnected(VstInt32 pin, bool connected) { inputConnected[pin] = connected; }
    void setOutputConnected(VstInt32 pin, bool connected) { outputConnected[pin] = connected; }
    bool isInputConnected(VstInt32 pin) const;
    bool isOutputConnected(VstInt32 pin) const;

    const std::vector<HostRequest>& requests() const { return log; }
    size_t countRequests(VstInt32 opcode) const;
    void clearRequests() { log.clear(); }

    // The C callback handed to a plug-in's entry point.
    static VstIntPtr callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                              float opt);

    // Routes the callbacks of one effect to this host.
    void attach(AEffect* effect);
    void detach(AEffect* effect);
    // Routes calls that arrive before the effect is known (during the entry
    // point) to this host, on the calling thread, for the lifetime of the guard.
    class Constructing {
    public:
        explicit Constructing(ScriptedHost& host);
        ~Constructing();

    private:
        ScriptedHost* previous;
    };

private:
    VstIntPtr answer(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

    std::map<VstInt32, bool> inputConnected;
    std::map<VstInt32, bool> outputConnected;
    std::vector<HostRequest> log;
};

// A loaded plug-in library.
class PluginModule {
public:
    using EntryProc = AEffect* (*)(audioMasterCallback);

    // Null with a one-line reason in *error when the file cannot be loaded or
    // has no VST 2 entry point.
    static std::unique_ptr<PluginModule> load(const std::string& path, std::string* error);
    ~PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    EntryProc entry() const { return entryProc; }
    const std::string& path() const { return modulePath; }
    const std::string& entryName() const { return entrySymbol; }

private:
    PluginModule() = default;
    void* handle = nullptr;
    EntryProc entryProc = nullptr;
    std::string modulePath;
    std::string entrySymbol;
};

// Channel buffers with the pointer arrays that process calls take.
class AudioBuffers {
public:
    AudioBuffers(int channels, int frames, float fill = 0.0f);
    float** pointers() { return ptrs.data(); }
    float* channel(int c) { return data[static_cast<size_t>(c)].data(); }
    const float* channel(int c) const { return data[static_cast<size_t>(c)].data(); }
    int channels() const { return static_cast<int>(data.size()); }
    int frames() const { return numFrames; }
    void fill(float value);

private:
    std::vector<std::vector<float>> data;
    std::vector<float*> ptrs;
    int numFrames;
};

// One plug-in instance, driven through its AEffect record only.
class PluginInstance {
public:
    // More pins than any real plug-in has: a record claiming more is damaged.
    static constexpr VstInt32 kMaxPins = 256;

    // Calls the module's entry point with the host's callback. Null with a
    // reason in *error when the entry point answers null or the record is not
    // a usable VST 2 effect (wrong magic, no dispatcher or process function,
    // impossible counts); such a record is never called.
    static std::unique_ptr<PluginInstance> create(const PluginModule& module, ScriptedHost& host,
                                                  std::string* error);
    ~PluginInstance();  // sends effClose unless close() did
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    AEffect* effect() const { return aeffect; }
    ScriptedHost& host() const { return *scriptedHost; }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f);

    // Lifecycle, as hosts usually call it: open, rate, block size, resume.
    void open();
    VstIntPtr close();  // effClose; the answer (1 for a well-behaved plug-in)
    void setSampleRate(float rate);
    void setBlockSize(VstInt32 frames);
    void resume();
    void suspend();
    void startUp(float rate, VstInt32 frames);  // open, rate, block size, resume

    std::string effectName();
    std::string vendorString();
    std::string productString();
    VstIntPtr vendorVersion();
    VstIntPtr canDo(const std::string& capability);

    int numParams() const { return aeffect->numParams; }
    int numPrograms() const { return aeffect->numPrograms; }
    int numInputs() const { return aeffect->numInputs; }
    int numOutputs() const { return aeffect->numOutputs; }
    VstInt32 flags() const { return aeffect->flags; }
    VstInt32 uniqueId() const { return aeffect->uniqueID; }
    VstInt32 initialDelay() const { return aeffect->initialDelay; }

    std::string parameterName(VstInt32 index);
    std::string parameterLabel(VstInt32 index);
    std::string parameterDisplay(VstInt32 index);
    float getParameter(VstInt32 index);
    void setParameter(VstInt32 index, float value);

    void setProgram(VstInt32 index);
    VstInt32 getProgram();
    std::string programName();
    void setProgramName(const std::string& name);
    // Empty optional when the plug-in answers 0.
    std::optional<std::string> programNameIndexed(VstInt32 index);
    bool copyProgram(VstInt32 destination);

    bool inputProperties(VstInt32 index, VstPinProperties& properties);
    bool outputProperties(VstInt32 index, VstPinProperties& properties);

    void process(float** inputs, float** outputs, VstInt32 frames);
    void processReplacing(float** inputs, float** outputs, VstInt32 frames);

private:
    PluginInstance() = default;
    std::string text(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0);

    AEffect* aeffect = nullptr;
    ScriptedHost* scriptedHost = nullptr;
    bool closed = false;
};

}  // namespace vst_host
