#include "gui/win32/file_drop_target.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr size_t kNameBytes = 1024;

FORMATETC formatOf(CLIPFORMAT format) { return FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

bool offers(IDataObject* data, CLIPFORMAT format) {
    FORMATETC wanted = formatOf(format);
    return data && data->QueryGetData(&wanted) == S_OK;
}

bool endsWithLnk(const char* name) {
    const char* dot = std::strrchr(name, '.');
    return dot && lstrcmpiA(dot, ".lnk") == 0;
}

}  // namespace

FileDropTarget::FileDropTarget(HWND w, WindowClient& c) : window(w), client(&c) {}

HRESULT STDMETHODCALLTYPE FileDropTarget::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE FileDropTarget::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references)); }

ULONG STDMETHODCALLTYPE FileDropTarget::Release() {
    LONG left = InterlockedDecrement(&references);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE FileDropTarget::DragEnter(IDataObject* data, DWORD keys, POINTL where, DWORD* effect) {
    accepting = offers(data, CF_TEXT) || offers(data, CF_HDROP);
    return DragOver(keys, where, effect);
}

HRESULT STDMETHODCALLTYPE FileDropTarget::DragOver(DWORD keys, POINTL /*where*/, DWORD* effect) {
    if (!effect) return E_INVALIDARG;
    if (!accepting) {
        *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    // Copy with Control, move without; but only an effect the source allows,
    // or a source that offers copy alone could never drop here.
    DWORD allowed = *effect;
    DWORD wanted = (keys & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
    if (!(allowed & wanted)) wanted = (allowed & DROPEFFECT_COPY) ? DROPEFFECT_COPY : (allowed & DROPEFFECT_MOVE);
    *effect = wanted;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FileDropTarget::DragLeave() {
    accepting = false;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FileDropTarget::Drop(IDataObject* data, DWORD keys, POINTL where, DWORD* effect) {
    DragOver(keys, where, effect);
    if (client && data) {
        GuiPoint at = windowPoint(where);
        if (!dropText(data, at)) dropFiles(data, at);
    }
    return DragLeave();
}

GuiPoint FileDropTarget::windowPoint(POINTL where) const {
    POINT p{where.x, where.y};
    ScreenToClient(window, &p);
    return GuiPoint(p.x, p.y);
}

bool FileDropTarget::dropText(IDataObject* data, GuiPoint at) {
    FORMATETC format = formatOf(CF_TEXT);
    STGMEDIUM medium{};
    if (data->GetData(&format, &medium) != S_OK) return false;
    bool delivered = false;
    if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal) {
        void* text = GlobalLock(medium.hGlobal);
        SIZE_T bytes = GlobalSize(medium.hGlobal);
        if (text && bytes) {
            client->itemsDropped(text, static_cast<int>(bytes), 1, at);
            delivered = true;
        }
        if (text) GlobalUnlock(medium.hGlobal);
    }
    ReleaseStgMedium(&medium);
    return delivered;
}

void FileDropTarget::dropFiles(IDataObject* data, GuiPoint at) {
    FORMATETC format = formatOf(CF_HDROP);
    STGMEDIUM medium{};
    if (data->GetData(&format, &medium) != S_OK) return;
    if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal) {
        HDROP drop = static_cast<HDROP>(medium.hGlobal);
        UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
        std::vector<char*> names;
        for (UINT i = 0; i < count; ++i) {
            char* name = new (std::nothrow) char[kNameBytes];
            if (!name) break;
            name[0] = 0;
            DragQueryFileA(drop, i, name, kNameBytes);
            resolveShellLink(window, name, kNameBytes);
            names.push_back(name);
        }
        if (!names.empty()) client->itemsDropped(names.data(), static_cast<int>(names.size()), 0, at);
        for (char* name : names) delete[] name;
    }
    ReleaseStgMedium(&medium);
}

void resolveShellLink(HWND window, char* buffer, size_t size) {
    if (!endsWithLnk(buffer)) return;
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        WCHAR wide[kNameBytes];
        char target[kNameBytes] = {};
        if (MultiByteToWideChar(CP_ACP, 0, buffer, -1, wide, static_cast<int>(kNameBytes)) > 0 &&
            SUCCEEDED(file->Load(wide, STGM_READ)) &&
            SUCCEEDED(link->Resolve(window, SLR_NO_UI | (500u << 16))) &&
            link->GetPath(target, static_cast<int>(sizeof(target)), nullptr, SLGP_SHORTPATH) == S_OK && target[0]) {
            // Some shell-link implementations hand back the long form all the same.
            char shortForm[kNameBytes];
            DWORD length = GetShortPathNameA(target, shortForm, sizeof(shortForm));
            lstrcpynA(buffer, length > 0 && length < sizeof(shortForm) ? shortForm : target, static_cast<int>(size));
        }
        file->Release();
    }
    link->Release();
}
