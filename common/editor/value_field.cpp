#include "common/editor/value_field.h"

#include <new>

ValueDisplay* newValueField(const GuiRect& area, GuiBitmap* background, float value, ValueFormatter formatter,
                            int align) {
    auto* field = new (std::nothrow) ValueDisplay(area, background, 0);
    if (!field) return nullptr;
    // The field repaints exactly the picture under it.
    field->setBackgroundOrigin(GuiPoint(area.left, area.top));
    field->setAlignment(align);
    field->setFontId(FontTiny);
    field->setTextColor(kBlackColor);
    field->setTextTransparent(true);
    field->setFormatter(formatter);
    field->setValue(value);
    return field;
}
