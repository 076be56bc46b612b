// The frame: hit testing, modal routing, dirty tracking and the idle pacing.
#include "gui_fixture.h"

namespace {

// Records what the frame asks of a view.
class ProbeView : public GuiView {
public:
    explicit ProbeView(const GuiRect& r, std::vector<ProbeView*>* log = nullptr) : GuiView(r), clickLog(log) {}
    void draw(Canvas* canvas) override {
        ++draws;
        GuiView::draw(canvas);
    }
    void mouse(Canvas* /*canvas*/, GuiPoint where) override {
        ++clicks;
        lastClick = where;
        if (clickLog) clickLog->push_back(this);
    }
    bool wheel(Canvas* /*canvas*/, GuiPoint /*where*/, float distance) override {
        wheeled += distance;
        return true;
    }
    int draws = 0;
    int clicks = 0;
    float wheeled = 0;
    GuiPoint lastClick;
    std::vector<ProbeView*>* clickLog;
};

class FrameTest : public GuiFixture {
protected:
    void clickAt(int x, int y) { drag({{GuiPoint(x, y), ButtonLeft}}); }
};

TEST_F(FrameTest, ClicksOnTheRightAndBottomEdgesHitTheView) {
    ProbeView* view = add(new ProbeView(GuiRect(10, 10, 20, 20)));
    clickAt(20, 20);
    clickAt(10, 10);
    clickAt(21, 15);
    clickAt(15, 21);
    clickAt(9, 15);
    EXPECT_EQ(2, view->clicks);
}

TEST_F(FrameTest, OverlappingViewsGiveTheClickToTheLastAddedClickableOne) {
    std::vector<ProbeView*> log;
    ProbeView* first = add(new ProbeView(GuiRect(0, 0, 50, 50), &log));
    ProbeView* second = add(new ProbeView(GuiRect(40, 40, 80, 80), &log));
    ProbeView* disabled = add(new ProbeView(GuiRect(45, 45, 60, 60), &log));
    disabled->setClickable(false);
    clickAt(45, 45);  // all three overlap; the disabled one is passed over
    clickAt(10, 10);
    clickAt(70, 70);
    ASSERT_EQ(3u, log.size());
    EXPECT_EQ(second, log[0]);
    EXPECT_EQ(first, log[1]);
    EXPECT_EQ(second, log[2]);
    EXPECT_EQ(0, disabled->clicks);
}

TEST_F(FrameTest, ModalViewTakesOnlyClicksInsideItButTheWheelStillReachesTheViewUnderTheCursor) {
    ProbeView* below = add(new ProbeView(GuiRect(0, 0, 100, 100)));
    ProbeView* modal = add(new ProbeView(GuiRect(20, 20, 40, 40)));
    ASSERT_TRUE(frame->setModal(modal));
    EXPECT_FALSE(frame->setModal(below));  // only one modal view at a time
    clickAt(5, 5);
    EXPECT_EQ(0, below->clicks);
    EXPECT_EQ(0, modal->clicks);
    clickAt(40, 40);
    EXPECT_EQ(1, modal->clicks);

    headlessPlatform().scriptMouse({{GuiPoint(5, 5), 0}});
    EXPECT_TRUE(editor->wheel(2.0f));
    EXPECT_EQ(2.0f, below->wheeled);
    headlessPlatform().scriptMouse({{GuiPoint(150, 110), 0}});
    EXPECT_FALSE(editor->wheel(1.0f));  // nothing under the cursor

    EXPECT_TRUE(frame->setModal(nullptr));
    clickAt(5, 5);
    EXPECT_EQ(1, below->clicks);
}

TEST_F(FrameTest, WheelGoesToTheLastViewUnderTheCursorEvenWhenNotClickable) {
    ProbeView* back = add(new ProbeView(GuiRect(0, 0, 100, 100)));
    ProbeView* front = add(new ProbeView(GuiRect(10, 10, 30, 30)));
    front->setClickable(false);
    headlessPlatform().scriptMouse({{GuiPoint(30, 30), 0}});
    window->turnWheel(-1.0f);
    EXPECT_EQ(-1.0f, front->wheeled);
    EXPECT_EQ(0.0f, back->wheeled);
}

TEST_F(FrameTest, IdleRedrawsOnlyDirtyViewsAndAFullPaintLeavesDirtyViewsDirty) {
    ProbeView* a = add(new ProbeView(GuiRect(0, 0, 10, 10)));
    ProbeView* b = add(new ProbeView(GuiRect(20, 0, 30, 10)));
    dispatch(effEditIdle);
    EXPECT_EQ(0, a->draws);
    EXPECT_EQ(0, b->draws);

    b->setDirty(true);
    dispatch(effEditIdle);
    EXPECT_EQ(0, a->draws);
    EXPECT_EQ(1, b->draws);
    dispatch(effEditIdle);
    EXPECT_EQ(1, b->draws);  // clean again

    // A paint draws every view but must not swallow a pending dirty redraw.
    a->setDirty(true);
    window->requestPaint();
    dispatch(effEditIdle);
    EXPECT_EQ(2, a->draws);
    EXPECT_EQ(2, b->draws);
    EXPECT_FALSE(a->isDirty());
    EXPECT_FALSE(b->isDirty());
}

TEST_F(FrameTest, ADirtyFrameRedrawsEverythingAtIdleAndAModalViewAloneIsUpdated) {
    ProbeView* a = add(new ProbeView(GuiRect(0, 0, 10, 10)));
    ProbeView* modal = add(new ProbeView(GuiRect(20, 0, 30, 10)));
    frame->setDirty(true);
    dispatch(effEditIdle);
    EXPECT_EQ(1, a->draws);
    EXPECT_EQ(1, modal->draws);

    frame->setModal(modal);
    a->setDirty(true);
    modal->setDirty(true);
    dispatch(effEditIdle);
    EXPECT_EQ(1, a->draws);
    EXPECT_EQ(2, modal->draws);
}

TEST_F(FrameTest, NothingIsRedrawnAtIdleBeforeTheFirstPaint) {
    // A second editor on a fresh window whose first paint has not happened.
    dispatch(effEditClose);
    ASSERT_EQ(1, dispatch(effEditOpen, 0, 0, fakeParentWindow()));
    GuiFrame* fresh = editor->getFrame();
    HeadlessWindow* freshWindow = headlessPlatform().lastWindow();
    ProbeView* view = new ProbeView(GuiRect(0, 0, 10, 10));
    fresh->addView(view);
    view->setDirty(true);
    EXPECT_TRUE(fresh->firstDrawPending());
    fresh->idle();
    EXPECT_EQ(0, view->draws);
    EXPECT_EQ(0, freshWindow->paintCount());
    dispatch(effEditIdle);  // delivers the paint
    EXPECT_EQ(1, freshWindow->paintCount());
    EXPECT_FALSE(fresh->firstDrawPending());
    EXPECT_EQ(2, view->draws);  // the paint, then the dirty redraw
}

TEST_F(FrameTest, ViewsAreReferenceCountedAndRemovedViewsLeaveNoGap) {
    ProbeView* a = add(new ProbeView(GuiRect(0, 0, 10, 10)));
    ProbeView* b = add(new ProbeView(GuiRect(0, 0, 10, 10)));
    ProbeView* c = add(new ProbeView(GuiRect(0, 0, 10, 10)));
    for (int i = 0; i < 25; ++i) frame->addView(new ProbeView(GuiRect(150, 100, 160, 110)));
    EXPECT_EQ(28, frame->viewCount());
    b->retain();
    frame->removeView(b, true);
    EXPECT_EQ(1, b->referenceCount());
    EXPECT_FALSE(frame->contains(b));
    EXPECT_EQ(a, frame->viewAt(0));
    EXPECT_EQ(c, frame->viewAt(1));
    EXPECT_EQ(nullptr, b->getFrame());
    b->release();
}

TEST_F(FrameTest, PumpIdleSleepsAndGivesTheHostAnIdleEvery50MsWhileTimeStandsStill) {
    ProbeView* view = add(new ProbeView(GuiRect(0, 0, 10, 10)));
    HeadlessPlatform& platform = headlessPlatform();
    int idles = recordingHost().count(audioMasterIdle);
    window->requestPaint();
    for (int step = 1; step <= 4; ++step) {
        view->pumpIdle();
        EXPECT_EQ(idles, recordingHost().count(audioMasterIdle)) << step;
        EXPECT_TRUE(window->isPaintPending());
    }
    view->pumpIdle();  // 5 sleeps of 10 ms: 50 ms since the last host idle
    EXPECT_EQ(idles + 1, recordingHost().count(audioMasterIdle));
    EXPECT_FALSE(window->isPaintPending());  // one pending paint flushed just before
    EXPECT_EQ(5, platform.sleepCount());
    for (int step = 0; step < 15; ++step) view->pumpIdle();
    EXPECT_EQ(idles + 4, recordingHost().count(audioMasterIdle));
    EXPECT_EQ(20, platform.sleepCount());
}

TEST_F(FrameTest, PumpIdleNeitherSleepsNorWaitsWhenTheLastHostIdleIsOld) {
    ProbeView* view = add(new ProbeView(GuiRect(0, 0, 10, 10)));
    HeadlessPlatform& platform = headlessPlatform();
    platform.setTicks(100);  // the editor took its last-idle time at 0
    platform.setTicksPerRead(100);
    int idles = recordingHost().count(audioMasterIdle);
    for (int step = 0; step < 3; ++step) view->pumpIdle();
    EXPECT_EQ(idles + 3, recordingHost().count(audioMasterIdle));
    EXPECT_EQ(0, platform.sleepCount());

    // 60 ms after the last host idle (taken at 300): one sleep, and with it
    // the host idle is due.
    platform.setTicksPerRead(0);
    platform.setTicks(360);
    view->pumpIdle();
    EXPECT_EQ(idles + 4, recordingHost().count(audioMasterIdle));
    EXPECT_EQ(1, platform.sleepCount());
    // 45 ms later (after that sleep): sleep again, and no host idle yet.
    platform.setTicks(370 + 35);
    view->pumpIdle();
    EXPECT_EQ(idles + 4, recordingHost().count(audioMasterIdle));
    EXPECT_EQ(2, platform.sleepCount());
}

TEST_F(FrameTest, PumpIdleRedrawsDirtyViewsAndRunsARequestedUpdateAtEveryStep) {
    ProbeView* view = add(new ProbeView(GuiRect(0, 0, 10, 10)));
    view->setDirty(true);
    editor->postUpdate();
    view->pumpIdle();
    EXPECT_EQ(1, view->draws);
    EXPECT_FALSE(editor->updateIsRequested());
}

TEST_F(FrameTest, AHostIdleInsidePumpIdleCannotReenterTheEditorIdle) {
    ProbeView* view = add(new ProbeView(GuiRect(0, 0, 10, 10)));
    headlessPlatform().setTicks(100);
    int reentered = 0;
    recordingHost().onIdle = [&] {
        view->setDirty(true);
        int before = view->draws;
        dispatch(effEditIdle);  // a host that idles the editor from audioMasterIdle
        reentered += view->draws - before;
    };
    view->pumpIdle();
    EXPECT_EQ(1, recordingHost().count(audioMasterIdle));
    EXPECT_EQ(0, reentered);
    recordingHost().onIdle = nullptr;
    dispatch(effEditIdle);
    EXPECT_EQ(1, view->draws);
}

TEST_F(FrameTest, DropsGoToTheLastClickableViewThatAcceptsAndNotWhileModal) {
    struct DropView : ProbeView {
        using ProbeView::ProbeView;
        bool acceptDrop(void*, int count, int type, GuiPoint) override {
            lastCount = count;
            lastType = type;
            return accepting;
        }
        bool accepting = true;
        int lastCount = -1;
        int lastType = -1;
    };
    DropView* back = add(new DropView(GuiRect(0, 0, 50, 50)));
    DropView* front = add(new DropView(GuiRect(0, 0, 50, 50)));
    front->accepting = false;
    char text[] = "hello";
    EXPECT_TRUE(window->drop(text, 5, 1, GuiPoint(10, 10)));
    EXPECT_EQ(5, back->lastCount);
    EXPECT_EQ(1, front->lastType);
    EXPECT_FALSE(frame->acceptDrop(text, 5, 1, GuiPoint(90, 90)));
    frame->setModal(front);
    back->lastCount = -1;
    EXPECT_FALSE(frame->acceptDrop(text, 5, 1, GuiPoint(10, 10)));
    EXPECT_EQ(-1, back->lastCount);
}

}  // namespace
