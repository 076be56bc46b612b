#include "host/vst_host.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>

#include "host/elf_check.h"
#endif

#include <algorithm>
#include <cstring>
#include <mutex>

namespace vst_host {

namespace {

// Which host answers which effect. Callbacks made while an entry point runs
// carry a record the host has not seen yet; they go to the host that is
// constructing on this thread.
std::mutex registryMutex;
std::map<AEffect*, ScriptedHost*>& registry() {
    static std::map<AEffect*, ScriptedHost*> hosts;
    return hosts;
}
thread_local ScriptedHost* constructingHost = nullptr;

ScriptedHost* hostFor(AEffect* effect) {
    if (effect) {
        std::lock_guard<std::mutex> lock(registryMutex);
        auto found = registry().find(effect);
        if (found != registry().end()) return found->second;
    }
    return constructingHost;
}

}  // namespace

ScriptedHost::ScriptedHost() { log.reserve(4096); }

ScriptedHost::~ScriptedHost() {
    std::lock_guard<std::mutex> lock(registryMutex);
    for (auto it = registry().begin(); it != registry().end();)
        it = it->second == this ? registry().erase(it) : std::next(it);
}

void ScriptedHost::attach(AEffect* effect) {
    std::lock_guard<std::mutex> lock(registryMutex);
    registry()[effect] = this;
}

void ScriptedHost::detach(AEffect* effect) {
    std::lock_guard<std::mutex> lock(registryMutex);
    registry().erase(effect);
}

ScriptedHost::Constructing::Constructing(ScriptedHost& host) : previous(constructingHost) {
    constructingHost = &host;
}

ScriptedHost::Constructing::~Constructing() { constructingHost = previous; }

bool ScriptedHost::isInputConnected(VstInt32 pin) const {
    auto found = inputConnected.find(pin);
    return found == inputConnected.end() ? true : found->second;
}

bool ScriptedHost::isOutputConnected(VstInt32 pin) const {
    auto found = outputConnected.find(pin);
    return found == outputConnected.end() ? true : found->second;
}

size_t ScriptedHost::countRequests(VstInt32 opcode) const {
    return static_cast<size_t>(
        std::count_if(log.begin(), log.end(), [opcode](const HostRequest& r) { return r.opcode == opcode; }));
}

VstIntPtr ScriptedHost::callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                 float opt) {
    ScriptedHost* host = hostFor(effect);
    return host ? host->answer(effect, opcode, index, value, ptr, opt) : 0;
}

VstIntPtr ScriptedHost::answer(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                               float opt) {
    if (recordRequests && log.size() < log.capacity()) log.push_back({opcode, index, value, opt, effect != nullptr});
    if (script) {
        if (std::optional<VstIntPtr> scripted = script(effect, opcode, index, value, ptr, opt)) return *scripted;
    }
    switch (opcode) {
    case audioMasterVersion:
        return version;
    case audioMasterPinConnected:  // 0 means connected
        return (value == 0 ? isInputConnected(index) : isOutputConnected(index)) ? 0 : 1;
    case audioMasterGetOutputLatency:
        return outputLatency;
    case audioMasterGetBlockSize:
        if (sendBlockSizeOnRequest && effect) effect->dispatcher(effect, effSetBlockSize, 0, blockSize, nullptr, 0.0f);
        return blockSize;
    case audioMasterGetSampleRate:
        return static_cast<VstIntPtr>(sampleRate);
    case audioMasterBeginEdit:
    case audioMasterEndEdit:
        return 1;
    default:
        return 0;
    }
}

#if defined(_WIN32)
namespace {
std::string lastSystemError() {
    char text[512] = {};
    DWORD code = GetLastError();
    if (!FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                        sizeof(text), nullptr))
        return "error " + std::to_string(code);
    std::string message(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
    return message;
}

void* openModule(const std::string& path, std::string* reason) {
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module && reason) *reason = lastSystemError();
    return module;
}

void* findSymbol(void* module, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

void closeModule(void* module) { FreeLibrary(static_cast<HMODULE>(module)); }
}  // namespace
#else
namespace {
void* openModule(const std::string& path, std::string* reason) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle && reason) {
        const char* text = dlerror();
        *reason = text ? text : "unknown error";
    }
    return handle;
}

void* findSymbol(void* module, const char* name) { return dlsym(module, name); }

void closeModule(void* module) { dlclose(module); }
}  // namespace
#endif

std::unique_ptr<PluginModule> PluginModule::load(const std::string& path, std::string* error) {
    std::string reason;
#if !defined(_WIN32)
    // A partly copied library maps fine and crashes the host on first use.
    if (!elfFileIsWhole(path, &reason)) {
        if (error) *error = "cannot load " + path + ": " + reason;
        return nullptr;
    }
#endif
    void* handle = openModule(path, &reason);
    if (!handle) {
        if (error) *error = "cannot load " + path + ": " + reason;
        return nullptr;
    }
    // Most hosts look for VSTPluginMain first and fall back to main.
    for (const char* name : {"VSTPluginMain", "main"}) {
        if (void* symbol = findSymbol(handle, name)) {
            std::unique_ptr<PluginModule> module(new PluginModule());
            module->handle = handle;
            module->entryProc = reinterpret_cast<EntryProc>(symbol);
            module->modulePath = path;
            module->entrySymbol = name;
            return module;
        }
    }
    closeModule(handle);
    if (error) *error = path + " is not a VST 2 plug-in (no VSTPluginMain or main entry point)";
    return nullptr;
}

PluginModule::~PluginModule() {
    if (handle) closeModule(handle);
}

AudioBuffers::AudioBuffers(int channels, int frames, float value)
    : data(static_cast<size_t>(std::max(channels, 0)), std::vector<float>(static_cast<size_t>(std::max(frames, 0)), value)),
      numFrames(frames) {
    for (auto& channel : data) ptrs.push_back(channel.data());
}

void AudioBuffers::fill(float value) {
    for (auto& channel : data) std::fill(channel.begin(), channel.end(), value);
}

std::unique_ptr<PluginInstance> PluginInstance::create(const PluginModule& module, ScriptedHost& host,
                                                       std::string* error) {
    AEffect* effect = nullptr;
    {
        ScriptedHost::Constructing guard(host);
        effect = module.entry()(&ScriptedHost::callback);
    }
    if (!effect) {
        if (error) *error = module.path() + ": the plug-in's entry point returned no effect";
        return nullptr;
    }
    // Nothing in a record that fails these checks may be called: a wrong
    // magic means the pointer is not an effect at all.
    const char* refusal = nullptr;
    if (effect->magic != kEffectMagic)
        refusal = "the entry point returned a record that is not a VST 2 effect (wrong magic)";
    else if (!effect->dispatcher)
        refusal = "the effect record has no dispatcher";
    else if (!effect->process && !effect->processReplacing)
        refusal = "the effect record has no process function";
    else if (!effect->setParameter || !effect->getParameter)
        refusal = "the effect record has no parameter functions";
    else if (effect->numInputs < 0 || effect->numOutputs < 0 || effect->numInputs > kMaxPins ||
             effect->numOutputs > kMaxPins || effect->numParams < 0 || effect->numPrograms < 0)
        refusal = "the effect record declares impossible channel, parameter or program counts";
    if (refusal) {
        if (error) *error = module.path() + ": " + refusal;
        return nullptr;
    }
    host.attach(effect);
    std::unique_ptr<PluginInstance> instance(new PluginInstance());
    instance->aeffect = effect;
    instance->scriptedHost = &host;
    return instance;
}

PluginInstance::~PluginInstance() {
    if (!closed) close();
}

VstIntPtr PluginInstance::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return aeffect->dispatcher(aeffect, opcode, index, value, ptr, opt);
}

void PluginInstance::open() { dispatch(effOpen); }

VstIntPtr PluginInstance::close() {
    if (closed) return 0;
    closed = true;
    VstIntPtr answer = dispatch(effClose);
    scriptedHost->detach(aeffect);
    return answer;
}

void PluginInstance::setSampleRate(float rate) { dispatch(effSetSampleRate, 0, 0, nullptr, rate); }
void PluginInstance::setBlockSize(VstInt32 frames) { dispatch(effSetBlockSize, 0, frames); }
void PluginInstance::resume() { dispatch(effMainsChanged, 0, 1); }
void PluginInstance::suspend() { dispatch(effMainsChanged, 0, 0); }

void PluginInstance::startUp(float rate, VstInt32 frames) {
    open();
    setSampleRate(rate);
    setBlockSize(frames);
    resume();
}

std::string PluginInstance::text(VstInt32 opcode, VstInt32 index, VstIntPtr value) {
    // Generous buffer: plug-ins are known to write past the published limits.
    char buffer[512];
    std::memset(buffer, 0, sizeof(buffer));
    dispatch(opcode, index, value, buffer);
    buffer[sizeof(buffer) - 1] = 0;
    return buffer;
}

std::string PluginInstance::effectName() { return text(effGetEffectName); }
std::string PluginInstance::vendorString() { return text(effGetVendorString); }
std::string PluginInstance::productString() { return text(effGetProductString); }
VstIntPtr PluginInstance::vendorVersion() { return dispatch(effGetVendorVersion); }

VstIntPtr PluginInstance::canDo(const std::string& capability) {
    std::vector<char> buffer(capability.begin(), capability.end());
    buffer.push_back(0);
    return dispatch(effCanDo, 0, 0, buffer.data());
}

std::string PluginInstance::parameterName(VstInt32 index) { return text(effGetParamName, index); }
std::string PluginInstance::parameterLabel(VstInt32 index) { return text(effGetParamLabel, index); }
std::string PluginInstance::parameterDisplay(VstInt32 index) { return text(effGetParamDisplay, index); }
float PluginInstance::getParameter(VstInt32 index) { return aeffect->getParameter(aeffect, index); }
void PluginInstance::setParameter(VstInt32 index, float value) { aeffect->setParameter(aeffect, index, value); }

void PluginInstance::setProgram(VstInt32 index) { dispatch(effSetProgram, 0, index); }
VstInt32 PluginInstance::getProgram() { return static_cast<VstInt32>(dispatch(effGetProgram)); }
std::string PluginInstance::programName() { return text(effGetProgramName); }

void PluginInstance::setProgramName(const std::string& name) {
    std::vector<char> buffer(name.begin(), name.end());
    buffer.push_back(0);
    dispatch(effSetProgramName, 0, 0, buffer.data());
}

std::optional<std::string> PluginInstance::programNameIndexed(VstInt32 index) {
    char buffer[512] = {};
    if (dispatch(effGetProgramNameIndexed, index, 0, buffer) == 0) return std::nullopt;
    buffer[sizeof(buffer) - 1] = 0;
    return std::string(buffer);
}

bool PluginInstance::copyProgram(VstInt32 destination) { return dispatch(effCopyProgram, destination) != 0; }

bool PluginInstance::inputProperties(VstInt32 index, VstPinProperties& properties) {
    return dispatch(effGetInputProperties, index, 0, &properties) != 0;
}

bool PluginInstance::outputProperties(VstInt32 index, VstPinProperties& properties) {
    return dispatch(effGetOutputProperties, index, 0, &properties) != 0;
}

void PluginInstance::process(float** inputs, float** outputs, VstInt32 frames) {
    aeffect->process(aeffect, inputs, outputs, frames);
}

void PluginInstance::processReplacing(float** inputs, float** outputs, VstInt32 frames) {
    aeffect->processReplacing(aeffect, inputs, outputs, frames);
}

}  // namespace vst_host
