#include "ui/number_field.h"

#include <QLineEdit>
#include <algorithm>

namespace vexa::ui {

TNumberField::TNumberField(const QString& name, int min, int max, int step, QWidget* parent) : QSpinBox(parent) {
  setObjectName(name);
  setRange(min, max);
  setSingleStep(step);
  setAccelerated(true);
  setKeyboardTracking(true);
  setAlignment(Qt::AlignRight);
  setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
  for (QWidget* w : {static_cast<QWidget*>(this), static_cast<QWidget*>(lineEdit())}) {
    w->setAttribute(Qt::WA_InputMethodEnabled, false);
    w->setInputMethodHints(Qt::ImhDigitsOnly | Qt::ImhPreferNumbers | Qt::ImhNoPredictiveText);
  }
}

QValidator::State TNumberField::validate(QString& input, int& pos) const {
  // A whole number beyond a limit is taken as the limit rather than refused, so that typing
  // 75 into a field of 0 to 59 gives 59.
  bool ok = false;
  const qlonglong n = input.trimmed().toLongLong(&ok);
  if (ok && (n > maximum() || (n < minimum() && n < 0))) {
    input = QString::number(n > maximum() ? maximum() : minimum());
    pos = static_cast<int>(input.size());
    return QValidator::Acceptable;
  }
  return QSpinBox::validate(input, pos);
}

bool TNumberField::CanStep(int direction) const {
  if (direction > 0 ? value() < maximum() : value() > minimum()) return true;
  return higher_ && higher_->CanStep(direction);
}

void TNumberField::stepBy(int steps) {
  if (higher_ && steps != 0) {
    const qlonglong span = qlonglong{maximum()} - minimum() + 1;
    const qlonglong target = value() + qlonglong{steps} * singleStep();
    if (target > maximum() && higher_->CanStep(1)) {
      higher_->stepBy(1);
      setValue(static_cast<int>(minimum() + std::min(target - maximum() - 1, span - 1)));
      return;
    }
    if (target < minimum() && higher_->CanStep(-1)) {
      higher_->stepBy(-1);
      setValue(static_cast<int>(maximum() - std::min(minimum() - target - 1, span - 1)));
      return;
    }
  }
  QSpinBox::stepBy(steps);
}

}  // namespace vexa::ui
