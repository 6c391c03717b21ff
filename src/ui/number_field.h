// The whole-number field of the editor's dialogs: a spin box that takes digits only, with no
// input-method composition (a Japanese input method would otherwise hold the digits back in
// its composition window).
#pragma once

#include <QSpinBox>

namespace vexa::ui {

class TNumberField : public QSpinBox {
  Q_OBJECT

 public:
  TNumberField(const QString& objectName, int min, int max, int step, QWidget* parent = nullptr);
};

}  // namespace vexa::ui
