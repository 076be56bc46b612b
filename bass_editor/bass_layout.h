// Where everything sits in the bass editor: the one table that both the
// editor (placing its controls) and the artwork generator (painting what lies
// under them) read, so a picture can never drift away from its control.
// Plain data only; positions are editor pixels, rectangles are left, top,
// right, bottom with the right and bottom edges outside the area.
#pragma once

namespace bass_layout {

struct Box {
    int left, top, right, bottom;
    constexpr int width() const { return right - left; }
    constexpr int height() const { return bottom - top; }
};

constexpr int kWidth = 343;
constexpr int kHeight = 160;

// Resource numbers and sizes of the pictures.
constexpr int kBackgroundBitmap = 128;
constexpr int kOverloadBitmap = 129;  // two 30 x 30 frames: dark, lit
constexpr int kProcessBitmap = 130;   // two 27 x 15 frames: off, on
constexpr int kSaturationBitmap = 131;
constexpr int kStereoMonoBitmap = 132;  // two 20 x 16 frames
constexpr int kPointerBitmap = 133;
constexpr int kMixFaderBitmap = 134;
constexpr int kMixHandleBitmap = 135;
constexpr int kAboutBitmap = 200;

constexpr int kPointerSize = 5;
constexpr int kToggleWidth = 27, kToggleHeight = 30;
constexpr int kStereoMonoWidth = 20, kStereoMonoHeight = 32;
constexpr int kOverloadSize = 30;
constexpr int kHandleWidth = 15, kHandleHeight = 16;

// The field size unless a field says otherwise.
constexpr int kFieldWidth = 50, kFieldHeight = 14;

enum Label {
    kLabelGain = 0,
    kLabelTune = 1,
    kLabelThreshold = 2,
    kLabelColour = 5,
    kLabelBass = 8,
    kLabelSaturation = 9,
    kLabelProcess = 10,
    kLabelMix = 14
};

struct Knob {
    int tag;
    Box box;
    int labelX, labelY, label;
    int valueX, valueY;  // the value field; what it shows is the parameter table's field rule
};

// In the order they join the frame.
constexpr Knob kKnobs[] = {
    {3, {39, 93, 76, 130}, 33, 81, kLabelTune, 33, 127},
    {4, {114, 93, 151, 130}, 108, 81, kLabelThreshold, 108, 127},
    {5, {191, 29, 228, 66}, 185, 18, kLabelColour, 185, 63},
    {6, {191, 93, 228, 130}, 185, 81, kLabelBass, 185, 127},
    {1, {268, 93, 304, 130}, 261, 81, kLabelGain, 261, 127},
};
constexpr int kNumKnobs = sizeof(kKnobs) / sizeof(kKnobs[0]);

// The point the pointer circles: the knob control puts its pointer at
// (int)(r + cos a * reach + 0.5) with r half the width, and a 5-pixel
// pointer centres half a pixel further on, so the circle's centre lies half
// a pixel right of and below the middle of the width.
constexpr double knobCentreX(const Knob& k) { return k.box.left + k.box.width() * 0.5 + 0.5; }
constexpr double knobCentreY(const Knob& k) { return k.box.top + k.box.width() * 0.5 + 0.5; }
// How far from that centre the pointer's middle travels.
constexpr double knobReach(const Knob& k) { return k.box.width() * 0.5 - int(kPointerSize * 0.5 + 2.5); }

struct Toggle {
    int tag;
    int x, y;
    int bitmap, width, height;  // the bitmap holds both frames
    Box label;                  // no label: empty box
    int labelNumber;
    constexpr Box box() const { return {x, y, x + width, y + height / 2}; }
};

// Saturation, process, stereo/mono, in the order they join the frame.
constexpr Toggle kSaturation{7, 273, 36, kSaturationBitmap, kToggleWidth, kToggleHeight,
                             {261, 21, 311, 35}, kLabelSaturation};
constexpr Toggle kProcess{0, 44, 36, kProcessBitmap, kToggleWidth, kToggleHeight, {32, 21, 82, 35}, kLabelProcess};
constexpr Toggle kStereoMono{8, 48, 58, kStereoMonoBitmap, kStereoMonoWidth, kStereoMonoHeight, {0, 0, 0, 0}, -1};

// The mix fader: the handle travels from left to right, its slot picture
// (resource 134) fills the fader's rectangle.
constexpr int kMixTag = 2;
constexpr Box kMixFader{250, 144, 319, 160};
constexpr int kMixLeft = 250;
constexpr int kMixRight = kMixLeft + kMixFader.width() - kHandleWidth;
constexpr Box kMixLabel{232, 145, 250, 159};
constexpr Box kMixValue{319, 145, 349, 159};

// The gain needle and its dial.
constexpr Box kNeedleBox{110, 28, 156, 77};
constexpr int kNeedleX = 133, kNeedleY = 51;
constexpr int kNeedleInner = 0, kNeedleOuter = 20;
// Meter value v (gain in dB / 48) points at angle 1.2 pi - 1.4 pi v.
constexpr double kNeedleStartAngle = 3.7699111843077517;
constexpr double kNeedleSweep = 4.39822971502571;
constexpr double kDialMaxDecibels = 48.0;

constexpr int kOverloadX = 272, kOverloadY = 52;

// The about screen: a click area in the logo strip opens the picture over
// the whole editor width.
constexpr int kAboutTag = 10;
constexpr Box kAboutClick{112, 146, 232, 154};
constexpr int kAboutWidth = 343, kAboutHeight = 122;
constexpr Box kAboutPicture{(344 - kAboutWidth) / 2, (kHeight - kAboutHeight) / 2,
                            (344 - kAboutWidth) / 2 + kAboutWidth, (kHeight - kAboutHeight) / 2 + kAboutHeight};
constexpr int kAboutTextX = 0, kAboutTextY = 24;

// Panel sections, left to right, and the logo strip along the bottom.
struct Section {
    const char* title;
    Box box;
};
constexpr Section kSections[] = {
    {"INPUT", {3, 3, 95, 142}},
    {"COMPRESS", {98, 3, 170, 142}},
    {"TONE", {173, 3, 247, 142}},
    {"OUTPUT", {250, 3, 340, 142}},
};
constexpr Box kLogoStrip{0, 143, kWidth, kHeight};

}  // namespace bass_layout
