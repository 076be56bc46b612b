#include "common/editor/about_splash.h"

#include <initializer_list>

#include "gui/canvas.h"

namespace {
constexpr GuiColor kLineColor{45, 45, 120, 0};
constexpr GuiColor kCreditColor{60, 60, 60, 0};
}  // namespace

AboutSplash::AboutSplash(const GuiRect& clickArea, ControlObserver* l, int t, GuiBitmap* picture,
                         const GuiRect& pictureRect, GuiPoint pictureOrigin, GuiPoint origin, const char* version)
    : OverlaySplash(clickArea, l, t, picture, pictureRect, pictureOrigin), textOrigin(origin), versionText(version) {}

void AboutSplash::draw(Canvas* canvas) {
    OverlaySplash::draw(canvas);
    if (value == 0.0f) return;
    // While shown the control's rectangle is the picture's, so the lines centre on the picture.
    GuiRect line(size.left + textOrigin.h, size.top + textOrigin.v, size.left + textOrigin.h + size.width(),
                 size.top + textOrigin.v + 15);
    canvas->setFontId(FontSmall);
    canvas->setTextColor(kLineColor);
    for (const char* text : {versionText ? versionText : "", kMakerLine, kWebLine}) {
        canvas->drawText(text, line, false, AlignCenter);
        line.offset(0, 16);
    }
    line.offset(0, 24);
    canvas->setFontId(FontTiny);
    canvas->setTextColor(kCreditColor);
    canvas->drawText(kCreditLine, line, false, AlignCenter);
}
