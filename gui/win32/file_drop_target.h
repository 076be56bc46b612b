// The OLE drop target of an editor window: takes text, or files with shell
// links resolved to their targets, and hands them to the window's client.
#pragma once

#include <ole2.h>

#include "gui/platform.h"

class FileDropTarget : public IDropTarget {
public:
    FileDropTarget(HWND window, WindowClient& client);

    // The window is going away: later drops change nothing.
    void disconnect() { client = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL where, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL where, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL where, DWORD* effect) override;

private:
    virtual ~FileDropTarget() = default;
    GuiPoint windowPoint(POINTL where) const;
    bool dropText(IDataObject* data, GuiPoint at);
    void dropFiles(IDataObject* data, GuiPoint at);

    LONG references = 1;
    HWND window;
    WindowClient* client;
    bool accepting = false;
};

// The target path of the shell link `name` in `buffer` (of `size` bytes);
// `buffer` keeps `name` when it is no link or cannot be resolved.
void resolveShellLink(HWND window, char* buffer, size_t size);
