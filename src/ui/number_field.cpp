#include "ui/number_field.h"

#include <QLineEdit>

namespace vexa::ui {

TNumberField::TNumberField(const QString& name, int min, int max, int step, QWidget* parent) : QSpinBox(parent) {
  setObjectName(name);
  setRange(min, max);
  setSingleStep(step);
  setAccelerated(true);
  setKeyboardTracking(true);
  setAlignment(Qt::AlignRight);
  for (QWidget* w : {static_cast<QWidget*>(this), static_cast<QWidget*>(lineEdit())}) {
    w->setAttribute(Qt::WA_InputMethodEnabled, false);
    w->setInputMethodHints(Qt::ImhDigitsOnly | Qt::ImhPreferNumbers | Qt::ImhNoPredictiveText);
  }
}

}  // namespace vexa::ui
