// The whole-number field of the editor's dialogs: a spin box that takes digits only, with no
// input-method composition (a Japanese input method would otherwise hold the digits back in
// its composition window). A number typed beyond a limit becomes the limit.
#pragma once

#include <QSpinBox>

namespace vexa::ui {

class TNumberField : public QSpinBox {
  Q_OBJECT

 public:
  TNumberField(const QString& objectName, int min, int max, int step, QWidget* parent = nullptr);

  // The field of the next larger unit (minutes for seconds): an arrow step past this field's
  // limit wraps round and carries one into it, as long as it can take it.
  void SetCarry(TNumberField* higher) { higher_ = higher; }

  void stepBy(int steps) override;
  // One more step up (1) or down (-1) fits here or, carried, in the larger units.
  bool CanStep(int direction) const;

 protected:
  QValidator::State validate(QString& input, int& pos) const override;

 private:
  TNumberField* higher_ = nullptr;
};

}  // namespace vexa::ui
