#include "shell/audio_effect.h"

VstInt32 AudioEffectX::getPlugCategory() {
    return (cEffect.flags & effFlagsIsSynth) ? kPlugCategSynth : kPlugCategUnknown;
}

VstIntPtr AudioEffectX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    char* text = static_cast<char*>(ptr);
    switch (opcode) {
    case effProcessEvents:
        return processEvents(ptr);
    case effCanBeAutomated:
        return canParameterBeAutomated(index) ? 1 : 0;
    case effString2Parameter:
        return (text && string2parameter(index, text)) ? 1 : 0;
    case effGetNumProgramCategories:
        return getNumCategories();
    case effGetProgramNameIndexed:
        return (text && getProgramNameIndexed(static_cast<VstInt32>(value), index, text)) ? 1 : 0;
    case effCopyProgram:
        return copyProgram(index) ? 1 : 0;
    case effConnectInput:
        inputConnected(index, value != 0);
        return 1;
    case effConnectOutput:
        outputConnected(index, value != 0);
        return 1;
    case effGetInputProperties:
        return (ptr && getInputProperties(index, static_cast<VstPinProperties*>(ptr))) ? 1 : 0;
    case effGetOutputProperties:
        return (ptr && getOutputProperties(index, static_cast<VstPinProperties*>(ptr))) ? 1 : 0;
    case effGetPlugCategory:
        return getPlugCategory();
    case effGetCurrentPosition:
        return reportCurrentPosition();
    case effGetDestinationBuffer:
        return reinterpret_cast<VstIntPtr>(reportDestinationBuffer());
    case effOfflineNotify:
        offlineNotify(ptr, static_cast<VstInt32>(value), index != 0);
        return 0;
    case effOfflinePrepare:
        offlinePrepare(ptr, static_cast<VstInt32>(value));
        return 0;
    case effOfflineRun:
        offlineRun(ptr, static_cast<VstInt32>(value));
        return 0;
    case effProcessVarIo:
        processVariableIo(ptr);
        return 0;
    case effSetSpeakerArrangement:
        setSpeakerArrangement(value, ptr);
        return 0;
    case effSetBlockSizeAndSampleRate:
        setBlockSizeAndSampleRate(static_cast<VstInt32>(value), opt);
        return 1;
    case effSetBypass:
        setBypass(value != 0);
        return 0;
    case effGetEffectName:
        return (text && getEffectName(text)) ? 1 : 0;
    case effGetErrorText:
        if (text) getErrorText(text);
        return 0;
    case effGetVendorString:
        return (text && getVendorString(text)) ? 1 : 0;
    case effGetProductString:
        return (text && getProductString(text)) ? 1 : 0;
    case effGetVendorVersion:
        return getVendorVersion();
    case effVendorSpecific:
        vendorSpecific(index, value, ptr, opt);
        return 0;
    case effCanDo:
        return text ? canDo(text) : 0;
    case effGetTailSize:
        getGetTailSize();
        return 0;
    case effIdle:
        fxIdle();
        return 0;
    case effGetIcon:
        getIcon();
        return 0;
    case effSetViewPosition:
        setViewPosition(index, static_cast<VstInt32>(value));
        return 0;
    case effGetParameterProperties:
        if (ptr) getParameterProperties(index, ptr);
        return 0;
    case effKeysRequired:
        return keysRequired() ? 0 : 1;
    case effGetVstVersion:
        return getVstVersion();
    case effEditKeyDown:
    case effEditKeyUp: {
        if (!editor) return 0;
        VstKeyCode key{index, static_cast<unsigned char>(value), static_cast<unsigned char>(static_cast<int>(opt))};
        return opcode == effEditKeyDown ? editor->keyDown(key) : editor->keyUp(key);
    }
    case effSetEditKnobMode:
        return editor ? editor->setKnobDragMode(static_cast<VstInt32>(value)) : 0;
    case effGetCurrentMidiProgram:
        return -1;
    case effGetMidiProgramName:
    case effGetMidiProgramCategory:
    case effHasMidiProgramsChanged:
    case effGetMidiKeyName:
    case effBeginSetProgram:
    case effEndSetProgram:
        return 0;
    default:
        return opcode > effEndSetProgram ? 0 : AudioEffect::dispatcher(opcode, index, value, ptr, opt);
    }
}
