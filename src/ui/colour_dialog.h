// Colours as the project stores them (0x00BBGGRR) and the platform colour dialog.
#pragma once

#include <QColor>
#include <cstdint>
#include <optional>

class QWidget;

namespace vexa::ui {

QColor ColourFromBgr(int32_t bgr);
int32_t BgrFromColour(const QColor& colour);

// The colour dialog preset with initial; the chosen colour, or nothing when cancelled.
std::optional<int32_t> ChooseColour(QWidget* parent, int32_t initial);

}  // namespace vexa::ui
