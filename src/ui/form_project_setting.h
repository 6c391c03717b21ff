// TForm_ProjectSetting: the project's name, picture format and background colour. It edits a
// TProjectSettingForm; the caller applies the form's values on OK.
#pragma once

#include <QDialog>

namespace vexa {
class TProjectSettingForm;
}

class QLineEdit;

namespace vexa::ui {

class TColourSwatch;
class TNumberField;

class TForm_ProjectSetting : public QDialog {
  Q_OBJECT

 public:
  TForm_ProjectSetting(TProjectSettingForm& form, QWidget* parent = nullptr);
  void accept() override;

 private:
  TProjectSettingForm& form_;
  QLineEdit* name_;
  TNumberField* width_;
  TNumberField* height_;
  TNumberField* fps_;
  TColourSwatch* swatch_;
};

}  // namespace vexa::ui
