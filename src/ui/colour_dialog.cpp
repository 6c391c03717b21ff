#include "ui/colour_dialog.h"

#include <QColorDialog>

namespace vexa::ui {

QColor ColourFromBgr(int32_t bgr) {
  const auto v = static_cast<uint32_t>(bgr);
  return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF));
}

int32_t BgrFromColour(const QColor& colour) {
  const QColor c = colour.toRgb();
  return static_cast<int32_t>(static_cast<uint32_t>(c.red()) | static_cast<uint32_t>(c.green()) << 8 |
                              static_cast<uint32_t>(c.blue()) << 16);
}

std::optional<int32_t> ChooseColour(QWidget* parent, int32_t initial) {
  // Qt's own dialog is always fully expanded (custom colours and the spectrum shown).
  QColorDialog dialog(ColourFromBgr(initial), parent);
  dialog.setObjectName("ColorDialog");
  dialog.setOption(QColorDialog::DontUseNativeDialog, false);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return BgrFromColour(dialog.selectedColor());
}

}  // namespace vexa::ui
