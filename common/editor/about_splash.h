// The about screen of both editors: a picture shown over the middle of the
// editor with the product's version line, the maker, the web address and the
// interface credit printed on it. A click on the picture closes it.
#pragma once

#include "gui/overlay_splash.h"

class AboutSplash : public OverlaySplash {
public:
    static constexpr const char* kMakerLine = "Vorsa Audio";
    static constexpr const char* kWebLine = "www.vorsa-audio.example";
    static constexpr const char* kCreditLine = "VST PlugIn Technology by Steinberg";

    // `textOrigin`: the first line's offset from the picture's top-left.
    // `versionText` is not copied and must outlive the control.
    AboutSplash(const GuiRect& clickArea, ControlObserver* listener, int tag, GuiBitmap* picture,
                const GuiRect& pictureRect, GuiPoint pictureOrigin, GuiPoint textOrigin, const char* versionText);

    void draw(Canvas* canvas) override;

private:
    GuiPoint textOrigin;
    const char* versionText;
};
