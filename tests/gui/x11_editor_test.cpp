// The X11 backend against a real X server: the test starts its own Xvfb,
// plays the host (a top-level window handed to effEditOpen), reads back the
// pixels and drags a knob with xdotool.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "gui/rotary_knob.h"
#include "gui_test_support.h"

// Last: Xlib's macros (None, Bool, ...) clash with names in the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

bool onPath(const char* program) {
    std::string command = std::string("command -v ") + program + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

// One Xvfb for the whole suite, on a display number it picks itself.
class Xvfb {
public:
    static Xvfb& instance() {
        static Xvfb server;
        return server;
    }
    bool running() const { return pid > 0; }
    const std::string& why() const { return problem; }
    const std::string& display() const { return name; }

    ~Xvfb() {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }

private:
    Xvfb() {
        if (!onPath("Xvfb")) {
            problem = "Xvfb is not installed (Debian package xvfb)";
            return;
        }
        int fds[2];
        if (pipe(fds) != 0) {
            problem = "no pipe for Xvfb";
            return;
        }
        pid = fork();
        if (pid == 0) {
            close(fds[0]);
            std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "640x480x24", "-nolisten", "tcp",
                   "-noreset", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        pollfd wait{fds[0], POLLIN, 0};
        char number[16] = {};
        if (pid > 0 && poll(&wait, 1, 15000) == 1 && read(fds[0], number, sizeof number - 1) > 0 &&
            waitUntilConnectable(":" + std::to_string(std::atoi(number)))) {
            name = ":" + std::to_string(std::atoi(number));
            setenv("DISPLAY", name.c_str(), 1);
        } else {
            problem = "Xvfb did not start";
            if (pid > 0) {
                kill(pid, SIGTERM);
                waitpid(pid, nullptr, 0);
            }
            pid = -1;
        }
        close(fds[0]);
    }

    // The display number can arrive a moment before connections are accepted.
    // (-noreset keeps the server from resetting when this probe disconnects.)
    static bool waitUntilConnectable(const std::string& display) {
        for (int attempt = 0; attempt < 100; ++attempt) {
            if (Display* d = XOpenDisplay(display.c_str())) {
                XCloseDisplay(d);
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    pid_t pid = -1;
    std::string name;
    std::string problem;
};

class X11Editor : public ::testing::Test {
protected:
    void SetUp() override {
        Xvfb& server = Xvfb::instance();
        if (!server.running()) GTEST_SKIP() << "X11 editor test skipped: " << server.why();
        host = XOpenDisplay(server.display().c_str());
        ASSERT_NE(nullptr, host);
        recordingHost() = RecordingHost();
        GuiEditorBase::setKnobMode(KnobCircular);
        parent = makeHostWindow(0, 0);
    }

    void TearDown() override {
        for (TestEffect* e : effects) e->getAeffect()->dispatcher(e->getAeffect(), effClose, 0, 0, nullptr, 0);
        if (host) XCloseDisplay(host);
    }

    // A mapped top-level window, as a host gives to effEditOpen.
    Window makeHostWindow(int x, int y) {
        Window w = XCreateSimpleWindow(host, DefaultRootWindow(host), x, y, 300, 200, 0, 0, 0x404040);
        XSelectInput(host, w, StructureNotifyMask);
        XMapWindow(host, w);
        XEvent event;
        do XWindowEvent(host, w, StructureNotifyMask, &event);
        while (event.type != MapNotify);
        return w;
    }

    TestEffect* newEffect() {
        effects.push_back(new TestEffect());
        attachTestEditor(effects.back());
        return effects.back();
    }

    static VstIntPtr dispatch(TestEffect* e, VstInt32 opcode, VstIntPtr value = 0, void* ptr = nullptr) {
        return e->getAeffect()->dispatcher(e->getAeffect(), opcode, 0, value, ptr, 0.0f);
    }

    static void* asParent(Window w) { return reinterpret_cast<void*>(static_cast<uintptr_t>(w)); }

    // Idles every effect's editor, as a host does from its timer, for a while.
    void idleFor(int milliseconds) {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        while (std::chrono::steady_clock::now() < end) {
            for (TestEffect* e : effects) dispatch(e, effEditIdle);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    // Runs xdotool with `arguments` while the host keeps idling the editors.
    bool xdotool(const std::string& arguments) {
        std::string command = "xdotool " + arguments + " >/dev/null 2>&1";
        pid_t helper = fork();
        if (helper == 0) {
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        if (helper < 0) return false;
        int status = 0;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (waitpid(helper, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                kill(helper, SIGKILL);
                waitpid(helper, &status, 0);
                return false;
            }
            idleFor(10);
        }
        idleFor(200);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    unsigned long pixelOf(Window w, int x, int y) {
        XImage* image = XGetImage(host, w, x, y, 1, 1, AllPlanes, ZPixmap);
        if (!image) return ~0ul;
        unsigned long p = XGetPixel(image, 0, 0) & 0xffffff;
        XDestroyImage(image);
        return p;
    }

    int childCount(Window w) {
        Window root, parentOfW, *children = nullptr;
        unsigned int n = 0;
        XQueryTree(host, w, &root, &parentOfW, &children, &n);
        if (children) XFree(children);
        return static_cast<int>(n);
    }

    Window firstChild(Window w) {
        Window root, parentOfW, *children = nullptr;
        unsigned int n = 0;
        XQueryTree(host, w, &root, &parentOfW, &children, &n);
        Window child = n ? children[0] : 0;
        if (children) XFree(children);
        return child;
    }

    static unsigned long backgroundPixel(int x, int y) { return unsigned(x) << 16 | unsigned(y * 2) << 8 | 90u; }

    Display* host = nullptr;
    Window parent = 0;
    std::vector<TestEffect*> effects;
};

TEST_F(X11Editor, OpensAnEmbeddedChildThatShowsTheFrameAndGoesAwayOnClose) {
    TestEffect* effect = newEffect();
    ASSERT_EQ(1, dispatch(effect, effEditOpen, 0, asParent(parent)));
    ASSERT_EQ(1, childCount(parent));
    Window child = firstChild(parent);

    Atom xembed = XInternAtom(host, "_XEMBED_INFO", False);
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    ASSERT_EQ(Success,
              XGetWindowProperty(host, child, xembed, 0, 2, False, xembed, &type, &format, &count, &after, &data));
    ASSERT_EQ(2u, count);
    EXPECT_EQ(1, reinterpret_cast<long*>(data)[1] & 1);  // mapped flag
    XFree(data);

    idleFor(300);
    EXPECT_EQ(backgroundPixel(5, 5), pixelOf(parent, 5, 5));
    EXPECT_EQ(backgroundPixel(150, 100), pixelOf(parent, 150, 100));
    EXPECT_EQ(0x404040u, pixelOf(parent, 250, 150));  // the host window outside the editor

    dispatch(effect, effEditClose);
    XSync(host, False);
    EXPECT_EQ(0, childCount(parent));
}

TEST_F(X11Editor, XdotoolDragsAKnobThroughTheLiveTrackingLoop) {
    if (!onPath("xdotool")) GTEST_SKIP() << "xdotool is not installed (Debian package xdotool)";
    TestEffect* effect = newEffect();
    auto* editor = testEditorOf(effect);
    ASSERT_EQ(1, dispatch(effect, effEditOpen, 0, asParent(parent)));
    EXPECT_EQ(1, dispatch(effect, effSetEditKnobMode, KnobLinear));
    auto* knob = new RotaryKnob(GuiRect(50, 40, 86, 76), editor, 3, editor->background, nullptr, GuiPoint(50, 40));
    knob->setValue(0.2f);
    editor->getFrame()->addView(knob);
    idleFor(200);
    unsigned long pointerBefore = pixelOf(parent, 68, 50);

    int x = 0, y = 0;
    Window ignored;
    XTranslateCoordinates(host, parent, DefaultRootWindow(host), 60, 70, &x, &y, &ignored);
    std::string at = std::to_string(x) + " " + std::to_string(y);
    std::string above = std::to_string(x) + " " + std::to_string(y - 60);
    ASSERT_TRUE(xdotool("mousemove " + at + " mousedown 1 sleep 0.4 mousemove " + above + " sleep 0.4 mouseup 1"));

    EXPECT_NEAR(0.5f, effect->values[3], 0.011f);  // 60 pixels up at 1/200
    EXPECT_EQ(1, recordingHost().count(audioMasterBeginEdit));
    EXPECT_EQ(1, recordingHost().count(audioMasterEndEdit));
    EXPECT_NE(pointerBefore, pixelOf(parent, 68, 50));
    EXPECT_EQ(0xffffffu, pixelOf(parent, 68, 50));  // the pointer now points straight up

    // The wheel arrives as button 4 and reaches the knob under the cursor.
    ASSERT_TRUE(xdotool("mousemove " + at + " click 4"));
    EXPECT_NEAR(0.6f, effect->values[3], 0.011f);
}

TEST_F(X11Editor, TwoEditorsInOneHostDoNotDisturbEachOther) {
    Window otherParent = makeHostWindow(320, 0);
    TestEffect* first = newEffect();
    TestEffect* second = newEffect();
    ASSERT_EQ(1, dispatch(first, effEditOpen, 0, asParent(parent)));
    ASSERT_EQ(1, dispatch(second, effEditOpen, 0, asParent(otherParent)));
    idleFor(200);
    dispatch(first, effEditClose);
    XSync(host, False);
    EXPECT_EQ(0, childCount(parent));
    EXPECT_EQ(1, childCount(otherParent));

    auto* editor = testEditorOf(second);
    auto* knob = new RotaryKnob(GuiRect(10, 10, 46, 46), editor, 0, nullptr);
    knob->setValue(0.5f);
    editor->getFrame()->addView(knob);
    idleFor(200);
    EXPECT_EQ(0xffffffu, pixelOf(otherParent, 28, 20));  // the white pointer line, drawn after the other closed
}

TEST_F(X11Editor, BadParentsFailTheOpenAndRepeatedOpensLeakNoConnections) {
    TestEffect* effect = newEffect();
    EXPECT_EQ(0, dispatch(effect, effEditOpen, 0, nullptr));
    EXPECT_EQ(0, dispatch(effect, effEditOpen, 0, asParent(0x7ffff1)));  // no such window
    // More open and close cycles than the server accepts clients: a leaked
    // connection or window would make a later open fail.
    for (int i = 0; i < 300; ++i) {
        ASSERT_EQ(1, dispatch(effect, effEditOpen, 0, asParent(parent))) << "cycle " << i;
        if (i % 2) dispatch(effect, effEditOpen, 0, asParent(parent));  // open twice
        dispatch(effect, effEditIdle);
        dispatch(effect, effEditClose);
    }
    XSync(host, False);
    EXPECT_EQ(0, childCount(parent));
}

TEST_F(X11Editor, AParentDestroyedBeforeCloseIsSurvived) {
    TestEffect* effect = newEffect();
    ASSERT_EQ(1, dispatch(effect, effEditOpen, 0, asParent(parent)));
    idleFor(100);
    XDestroyWindow(host, parent);
    XSync(host, False);
    idleFor(50);
    EXPECT_FALSE(effect->getEditor() == nullptr);
    dispatch(effect, effEditClose);
    dispatch(effect, effEditClose);
    parent = makeHostWindow(0, 0);
    EXPECT_EQ(1, dispatch(effect, effEditOpen, 0, asParent(parent)));
}

}  // namespace
