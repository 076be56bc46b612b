// The VST 2 side of an editor. The toolkit's editors know only EditorHost;
// here it is implemented over the effect base, and the editor is presented to
// the effect base as its EffectEditor. Each product adds its own part of the
// host (effective values, stereo/mono, meters) and composes the pieces in its
// entry folder.
#pragma once

#include <atomic>
#include <memory>
#include <new>

#include "gui/editor_host.h"
#include "gui/gui_editor_base.h"
#include "shell/audio_effect.h"
#include "shell/effect_editor.h"

// The parts of an EditorHost every effect answers the same way.
class Vst2EditorHost : public EditorHost {
public:
    // `openFlag` (may be null) is the effect's note that its editor has a
    // window: the effect reports changes only to an open editor.
    Vst2EditorHost(AudioEffect& effect, std::atomic<int>* openFlag) : effect(effect), openFlag(openFlag) {}

    float parameter(int index) const override { return effect.getParameter(index); }
    void beginEdit(int index) override { effect.beginEdit(index); }
    void setParameter(int index, float value) override { effect.setParameterAutomated(index, value); }
    void endEdit(int index) override { effect.endEdit(index); }
    void hostIdle() override { effect.masterIdle(); }

    void setEditorOpen(bool open) {
        if (openFlag) *openFlag = open ? 1 : 0;
    }
    AudioEffect& audioEffect() const { return effect; }

protected:
    AudioEffect& effect;

private:
    std::atomic<int>* openFlag;
};

// Hands the host's editor calls and the effect's notifications to a toolkit
// editor. The effect owns the adapter and, through it, the editor and its host.
class Vst2Editor : public EffectEditor {
public:
    // Registers the adapter as the effect's editor.
    Vst2Editor(std::unique_ptr<Vst2EditorHost> host, std::unique_ptr<GuiEditorBase> editor);
    // Deleted by someone other than the effect, it unregisters itself, so the
    // effect never keeps a dangling editor.
    ~Vst2Editor() override;

    VstIntPtr getRect(ERect** rect) override;
    VstIntPtr open(void* parentWindow) override;
    void close() override;
    void idle() override { guiEditor->idle(); }
    // Stores the module-wide knob mode; answers 1.
    VstInt32 setKnobDragMode(VstInt32 mode) override;
    void postUpdate() override { guiEditor->postUpdate(); }
    void parameterChanged(VstInt32 index, float value) override { guiEditor->parameterChanged(index, value); }
    void resetMeters() override { guiEditor->resetMeters(); }

    GuiEditorBase& editor() const { return *guiEditor; }
    // The toolkit editor registered with `effect`; null when it has none.
    static GuiEditorBase* editorOf(AudioEffect& effect);

private:
    // The editor refers to its host: the host is declared first, so it goes last.
    std::unique_ptr<Vst2EditorHost> host;
    std::unique_ptr<GuiEditorBase> guiEditor;
    ERect rect{0, 0, 0, 0};
};

// Makes the product's Host over `effect`, its Editor over that host, and
// registers both with the effect; false (and the effect without an editor)
// when any of them cannot be made.
template <class Editor, class Host, class Effect>
bool attachEditor(Effect& effect) {
    std::unique_ptr<Host> host(new (std::nothrow) Host(effect));
    if (!host) return false;
    std::unique_ptr<Editor> editor(new (std::nothrow) Editor(*host));
    if (!editor) return false;
    // Without memory for the adapter the arguments are never taken, and both go.
    return new (std::nothrow) Vst2Editor(std::move(host), std::move(editor)) != nullptr;
}
