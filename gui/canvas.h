// A short-lived drawing context: created for one paint, click or idle pass
// and destroyed right after. It keeps the pen, brush and font state and hands
// complete drawing calls to the platform surface.
#pragma once

#include <memory>

#include "gui/gui_types.h"

class DrawSurface;
class GuiFrame;
class PlatformWindow;

enum GuiLineStyle { LineSolid = 0, LineDotted = 1 };

class Canvas {
public:
    // A canvas on the frame's window, outside a paint request. Invalid (draws
    // nothing) when the window has no surface to give.
    explicit Canvas(GuiFrame* frame);
    // A canvas on a surface the caller owns (a paint request, an off-screen picture).
    Canvas(GuiFrame* frame, DrawSurface* surface);
    virtual ~Canvas();

    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool isValid() const { return surface != nullptr; }
    DrawSurface* drawSurface() const { return surface; }
    GuiFrame* getFrame() const { return frame; }

    void moveTo(GuiPoint p);
    void lineTo(GuiPoint p);
    void drawRect(const GuiRect& r);
    // Like GDI's FillRect of (left+1, top+1, right, bottom): the top and left
    // edge lines stay as they were, so an outline drawn first survives.
    void fillRect(const GuiRect& r);

    void setPenColor(GuiColor c) { frameColor = c; }
    void setPenStyle(int style) { lineStyle = style == LineDotted ? LineDotted : LineSolid; }
    void setLineWidth(int width) { lineWidth = width; }
    void setBrushColor(GuiColor c) { fillColor = c; }
    void setTextColor(GuiColor c) { fontColor = c; }
    // Ids outside the table become FontSystem; size 0 takes the table's size.
    void setFontId(int id, int size = 0);
    void drawText(const char* text, const GuiRect& r, bool opaque = false, int align = AlignCenter);

    GuiColor penColor() const { return frameColor; }
    GuiColor brushColor() const { return fillColor; }
    GuiColor textColor() const { return fontColor; }
    int lineWidthValue() const { return lineWidth; }
    int fontId() const { return currentFontId; }
    int fontSize() const { return currentFontSize; }

    // The live GuiButtonState bits (0 without a window).
    int buttonState() const;
    // The cursor in window coordinates.
    GuiPoint pointerPosition() const;

    // Added to every coordinate (0,0 for window canvases).
    GuiPoint offset;
    GuiRect clipRect;

protected:
    void setSurface(DrawSurface* s) { surface = s; }

private:
    GuiFrame* frame;
    PlatformWindow* window = nullptr;
    DrawSurface* surface = nullptr;
    bool ownsSurface = false;
    GuiPoint penPosition;
    GuiColor frameColor = kWhiteColor;
    GuiColor fillColor = kBlackColor;
    GuiColor fontColor = kWhiteColor;
    int lineWidth = 1;
    int lineStyle = LineSolid;
    int currentFontId = FontSystem;
    int currentFontSize = 12;
};
