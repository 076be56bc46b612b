#include "common/vst2/vst2_editor.h"

Vst2Editor::Vst2Editor(std::unique_ptr<Vst2EditorHost> h, std::unique_ptr<GuiEditorBase> e)
    : host(std::move(h)), guiEditor(std::move(e)) {
    host->audioEffect().setEditor(this);
}

Vst2Editor::~Vst2Editor() {
    AudioEffect& effect = host->audioEffect();
    if (effect.getEditor() == this) effect.setEditor(nullptr);
}

VstIntPtr Vst2Editor::getRect(ERect** r) {
    if (!r) return 0;
    rect.top = 0;
    rect.left = 0;
    rect.bottom = static_cast<VstInt16>(guiEditor->height());
    rect.right = static_cast<VstInt16>(guiEditor->width());
    *r = &rect;
    return 1;
}

VstIntPtr Vst2Editor::open(void* parentWindow) {
    // A second open rebuilds the window: the effect stops reporting to the
    // editor until the new views stand.
    host->setEditorOpen(false);
    const bool opened = guiEditor->open(parentWindow);
    host->setEditorOpen(opened);
    return opened ? 1 : 0;
}

void Vst2Editor::close() {
    host->setEditorOpen(false);
    guiEditor->close();
}

VstInt32 Vst2Editor::setKnobDragMode(VstInt32 mode) {
    GuiEditorBase::setKnobMode(mode);
    return 1;
}

GuiEditorBase* Vst2Editor::editorOf(AudioEffect& effect) {
    auto* adapter = dynamic_cast<Vst2Editor*>(effect.getEditor());
    return adapter ? &adapter->editor() : nullptr;
}
