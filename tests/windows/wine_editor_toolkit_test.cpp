// The editor toolkit on its Windows backend, under Wine: a test editor opened
// in a host window of the test's own, its pixels read back from the window,
// a knob dragged with real mouse input, text and files dropped through OLE.
#include <gtest/gtest.h>
#include <ole2.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "gui/canvas.h"
#include "gui/gui_bitmap.h"
#include "gui/rotary_knob.h"
#include "gui/win32/win32_window.h"
#include "gui_test_support.h"
#include "tests/windows/win32_test_support.h"
#include "tests/windows/wine_test_support.h"

namespace {

using wine_test::HostWindow;
using wine_test::WindowPixels;

// Draws bitmap 129 (a red plus on the white key colour) keyed, and a filled
// rectangle, so a test can predict its pixels; records what is dropped on it.
class ProbeView : public GuiView {
public:
    explicit ProbeView(const GuiRect& r) : GuiView(r), pointer(new GuiBitmap(129)), missing(new GuiBitmap(999)) {}
    void draw(Canvas* canvas) override {
        // A resource that is not there draws nothing, either way.
        missing->drawOpaque(canvas, GuiRect(60, 60, 80, 80), GuiPoint());
        missing->drawKeyed(canvas, GuiRect(60, 60, 80, 80), GuiPoint());
        pointer->drawKeyed(canvas, GuiRect(20, 20, 25, 25), GuiPoint());
        pointer->drawKeyed(canvas, GuiRect(20, 20, 25, 25), GuiPoint());  // twice: the picture is unchanged
        canvas->setBrushColor(kGreenColor);
        canvas->fillRect(GuiRect(30, 30, 40, 40));
    }
    bool acceptDrop(void* items, int count, int type, GuiPoint) override {
        dropType = type;
        dropCount = count;
        dropped.clear();
        if (type == 1) dropped.emplace_back(static_cast<const char*>(items));
        if (type == 0)
            for (int i = 0; i < count; ++i) dropped.emplace_back(static_cast<char**>(items)[i]);
        return true;
    }
    int dropType = -1;
    int dropCount = -1;
    std::vector<std::string> dropped;

private:
    ~ProbeView() override {
        pointer->release();
        missing->release();
    }
    GuiBitmap* pointer;
    GuiBitmap* missing;
};

class Win32Editor : public ::testing::Test {
protected:
    void SetUp() override {
        recordingHost().calls.clear();
        editor = new TestEditor(host);
    }
    void TearDown() override { delete editor; }

    // Opens the editor with a probe view over its left half and a knob (tag 0) on the right.
    bool open(HWND parent) {
        if (!editor->open(parent)) return false;
        probe = new ProbeView(GuiRect(0, 0, 100, 120));
        editor->getFrame()->addView(probe);
        knob = new RotaryKnob(GuiRect(120, 30, 180, 90), editor, 0, nullptr);
        editor->getFrame()->addView(knob);
        return true;
    }
    std::string className() const { return Win32Window::className(); }

    TestEffect effect;
    TestEditorHost host{effect};
    TestEditor* editor = nullptr;
    ProbeView* probe = nullptr;
    RotaryKnob* knob = nullptr;
};

TEST_F(Win32Editor, ChildWindowAndItsClassLiveFromTheFirstFrameToTheLast) {
    HostWindow host(400, 300);
    ASSERT_TRUE(open(host.handle()));
    HWND child = host.child();
    ASSERT_TRUE(child);
    char name[64] = {}, title[64] = {};
    GetClassNameA(child, name, sizeof(name));
    GetWindowTextA(child, title, sizeof(title));
    char expected[32];
    std::snprintf(expected, sizeof(expected), "Plugin%08llx",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(GetModuleHandleA(nullptr))));
    EXPECT_STREQ(expected, name);
    EXPECT_STREQ("Window", title);
    EXPECT_EQ(WS_CHILD | WS_VISIBLE, GetWindowLongA(child, GWL_STYLE) & (WS_CHILD | WS_VISIBLE | WS_POPUP));
    RECT r;
    GetClientRect(child, &r);
    EXPECT_EQ(TestEditor::kWidth, r.right);
    EXPECT_EQ(TestEditor::kHeight, r.bottom);

    // A second editor shares the class; only the last close unregisters it.
    TestEffect otherEffect;
    TestEditorHost otherEditorHost{otherEffect};
    TestEditor* other = new TestEditor(otherEditorHost);
    HostWindow otherHost(300, 200);
    ASSERT_TRUE(other->open(otherHost.handle()));
    WNDCLASSA info;
    EXPECT_EQ(2, Win32Window::classUsers());
    editor->close();
    EXPECT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), expected, &info));
    delete other;
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), expected, &info));

    for (int i = 0; i < 100; ++i) {
        ASSERT_TRUE(open(host.handle())) << "cycle " << i;
        wine_test::pumpMessages(0);
        editor->close();
    }
    EXPECT_EQ(0, Win32Window::classUsers());
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), expected, &info));
    EXPECT_FALSE(host.child());
}

TEST_F(Win32Editor, PaintsTheBackgroundAndKeyedBitmapsWithGdi) {
    HostWindow host(400, 300);
    ASSERT_TRUE(open(host.handle()));
    wine_test::pumpMessages(100);
    WindowPixels pixels(host.child());
    ASSERT_EQ(TestEditor::kWidth, pixels.width());
    pixels.writeBmp(wine_test::outputPath("toolkit_editor.bmp"));
    // Background 128 encodes the position: (x, 2y, 90); the missing bitmap left (70, 70) alone.
    for (GuiPoint p : {GuiPoint(0, 0), GuiPoint(60, 5), GuiPoint(199, 119), GuiPoint(110, 100), GuiPoint(70, 70)})
        EXPECT_EQ((GuiColor{uint8_t(p.h), uint8_t(p.v * 2), 90, 0}), pixels.at(p.h, p.v)) << p.h << "," << p.v;
    // The plus is drawn; its white key pixels show the background.
    EXPECT_EQ((GuiColor{200, 0, 0, 0}), pixels.at(22, 20));
    EXPECT_EQ((GuiColor{200, 0, 0, 0}), pixels.at(20, 22));
    EXPECT_EQ((GuiColor{20, 40, 90, 0}), pixels.at(20, 20));
    EXPECT_EQ((GuiColor{24, 48, 90, 0}), pixels.at(24, 24));
    // fillRect spares the top and left edge lines.
    EXPECT_EQ((GuiColor{30, 60, 90, 0}), pixels.at(30, 30));
    EXPECT_EQ(kGreenColor, pixels.at(31, 31));
    EXPECT_EQ(kGreenColor, pixels.at(39, 39));
    EXPECT_EQ((GuiColor{40, 80, 90, 0}), pixels.at(40, 40));
}

TEST_F(Win32Editor, RealMouseDragTurnsTheKnobInOneGesture) {
    HostWindow host(400, 300);
    ASSERT_TRUE(open(host.handle()));
    editor->setKnobMode(KnobLinear);
    wine_test::pumpMessages(100);
    const float before = knob->getValue();
    std::vector<wine_test::InputStep> steps;
    HWND child = host.child();
    steps.push_back({wine_test::screenPoint(child, 150, 60), false});
    steps.push_back({wine_test::screenPoint(child, 150, 60), true});
    for (int i = 1; i <= 10; ++i) steps.push_back({wine_test::screenPoint(child, 150, 60 - 4 * i), true});
    steps.push_back({wine_test::screenPoint(child, 150, 20), false});
    wine_test::MouseScript mouse(steps);
    recordingHost().onIdle = [&mouse] { mouse.next(); };
    mouse.run();
    recordingHost().onIdle = nullptr;
    editor->setKnobMode(KnobCircular);

    EXPECT_GT(knob->getValue(), before);
    EXPECT_EQ(knob->getValue(), effect.values[0]);
    std::vector<VstInt32> edits = recordingHost().editOpcodes();
    ASSERT_GE(edits.size(), 3u);
    EXPECT_EQ(audioMasterBeginEdit, edits.front());
    EXPECT_EQ(audioMasterAutomate, edits[1]);
    EXPECT_EQ(audioMasterEndEdit, edits.back());
    EXPECT_EQ(1, recordingHost().count(audioMasterBeginEdit));
    EXPECT_EQ(1, recordingHost().count(audioMasterEndEdit));
}

TEST_F(Win32Editor, BadHostsDoNotCrashIt) {
    EXPECT_FALSE(editor->open(nullptr));
    HWND gone;
    {
        HostWindow host(100, 100);
        gone = host.handle();
    }
    EXPECT_FALSE(editor->open(gone));
    EXPECT_EQ(0, Win32Window::classUsers());

    // The host destroys its window under the open editor, then closes it twice.
    HostWindow host(400, 300);
    ASSERT_TRUE(open(host.handle()));
    host.destroy();
    wine_test::pumpMessages(20);
    editor->idle();
    editor->close();
    editor->close();
    EXPECT_EQ(0, Win32Window::classUsers());
}

}  // namespace

namespace {

// A data object offering one clipboard format as global memory, and a drop
// source that lets go once the drag has been over the target for a while.
class OneFormatData : public IDataObject {
public:
    OneFormatData(CLIPFORMAT f, std::vector<char> b) : format(f), bytes(std::move(b)) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
            *object = this;
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives on the test's stack
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* wanted, STGMEDIUM* medium) override {
        if (QueryGetData(wanted) != S_OK) return DV_E_FORMATETC;
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
        GlobalUnlock(memory);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = memory;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* wanted) override {
        return wanted && wanted->cfFormat == format && (wanted->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    CLIPFORMAT format;
    std::vector<char> bytes;
};

class ReleaseSoon : public IDropSource {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropSource)) {
            *object = this;
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD) override {
        if (escape) return DRAGDROP_S_CANCEL;
        return ++polls < 4 ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    int polls = 0;
};

// Drags `data` from the cursor's place (over the editor) and drops it there.
DWORD dragAndDrop(IDataObject* data) {
    ReleaseSoon source;
    DWORD effect = DROPEFFECT_NONE;
    DoDragDrop(data, &source, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
    return effect;
}

std::vector<char> fileList(const std::vector<std::string>& names) {
    DROPFILES header{};
    header.pFiles = sizeof(header);
    std::vector<char> bytes(reinterpret_cast<char*>(&header), reinterpret_cast<char*>(&header) + sizeof(header));
    for (const std::string& name : names) bytes.insert(bytes.end(), name.c_str(), name.c_str() + name.size() + 1);
    bytes.push_back(0);
    return bytes;
}

std::string makeShortcut(const std::string& target, const std::string& linkPath) {
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return "";
    link->SetPath(target.c_str());
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH);
    bool saved = SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
                 SUCCEEDED(file->Save(wide, TRUE));
    if (file) file->Release();
    link->Release();
    return saved ? linkPath : "";
}

TEST_F(Win32Editor, DroppedTextAndFilesReachTheViewWithShortcutsResolved) {
    HostWindow host(400, 300);
    ASSERT_TRUE(open(host.handle()));
    wine_test::pumpMessages(100);
    POINT over = wine_test::screenPoint(host.child(), 50, 60);
    SetCursorPos(over.x, over.y);
    wine_test::pumpMessages(50);

    const char text[] = "Vorsa drop";
    OneFormatData textData(CF_TEXT, std::vector<char>(text, text + sizeof(text)));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_MOVE), dragAndDrop(&textData));
    EXPECT_EQ(1, probe->dropType);
    EXPECT_GE(probe->dropCount, static_cast<int>(sizeof(text)));  // the memory's size
    ASSERT_EQ(1u, probe->dropped.size());
    EXPECT_EQ(text, probe->dropped[0]);

    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string target = std::string(folder) + "vorsa drop target.txt";
    CloseHandle(CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    const std::string shortcut = makeShortcut(target, std::string(folder) + "vorsa shortcut.LNK");
    ASSERT_FALSE(shortcut.empty());
    char shortTarget[MAX_PATH] = {};
    GetShortPathNameA(target.c_str(), shortTarget, MAX_PATH);

    OneFormatData files(CF_HDROP, fileList({shortcut, target}));
    dragAndDrop(&files);
    EXPECT_EQ(0, probe->dropType);
    EXPECT_EQ(2, probe->dropCount);
    EXPECT_EQ((std::vector<std::string>{shortTarget, target}), probe->dropped);
    DeleteFileA(shortcut.c_str());
    DeleteFileA(target.c_str());
}

}  // namespace
