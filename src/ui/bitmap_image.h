// A picture of the engine as a Qt image: top row first, opaque.
#pragma once

#include <QImage>

namespace vexa {
class TABitmap;
}

namespace vexa::ui {

// A copy of a 24- or 32-bit picture; a null image for an empty one.
QImage ImageOfBitmap(const TABitmap& bitmap);

}  // namespace vexa::ui
