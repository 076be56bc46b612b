// The value and label fields of both editors: black 9-point text, transparent
// over the editor's background picture.
#pragma once

#include "gui/gui_types.h"
#include "gui/value_display.h"

class GuiBitmap;

// A new field over `area` of `background`, showing `value` through
// `formatter`; null when it cannot be made. The caller lists it in a frame.
ValueDisplay* newValueField(const GuiRect& area, GuiBitmap* background, float value, ValueFormatter formatter,
                            int align);
