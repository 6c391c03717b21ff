#include "ui/form_project_setting.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/colour_swatch.h"
#include "ui/logic/project_setting_form.h"
#include "ui/number_field.h"
#include "ui/qt_text.h"
#include "ui/slot_guard.h"

namespace vexa::ui {
namespace {

TNumberField* Field(const char* name, const TSpinField& f, int64_t step, QWidget* parent) {
  auto* field = new TNumberField(name, static_cast<int>(f.Min()), static_cast<int>(f.Max()), static_cast<int>(step),
                                 parent);
  field->setValue(static_cast<int>(f.Value()));
  return field;
}

void Label(QFormLayout* form, const char* caption, QWidget* field) {
  auto* label = new QLabel(Qs(caption));
  label->setBuddy(field);
  field->setAccessibleName(Qs(caption).remove(u'：'));
  form->addRow(label, field);
}

}  // namespace

TForm_ProjectSetting::TForm_ProjectSetting(TProjectSettingForm& form, QWidget* parent)
    : QDialog(parent), form_(form) {
  setObjectName("TForm_ProjectSetting");
  setWindowTitle(Qs("プロジェクト設定"));
  setAccessibleName(windowTitle());
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);

  name_ = new QLineEdit(Qs(form.ProjectName), this);
  name_->setObjectName("Edit_ProjectName");
  width_ = Field("JvSpinEdit_Width", form.Width, TProjectSettingForm::kSizeStep, this);
  height_ = Field("JvSpinEdit_Height", form.Height, TProjectSettingForm::kSizeStep, this);
  fps_ = Field("JvSpinEdit_FPS", form.Fps, TProjectSettingForm::kFpsStep, this);
  swatch_ = new TColourSwatch("Shape_BackColor", form.BackColor, this);

  auto* top = new QFormLayout;
  Label(top, "プロジェクト名：", name_);
  name_->setMinimumWidth(fontMetrics().horizontalAdvance(QString(16, u'あ')));

  auto* group = new QGroupBox(Qs("AVI出力設定"), this);
  group->setObjectName("GroupBox_AviOutput");
  group->setAccessibleName(group->title());
  auto* inner = new QFormLayout(group);
  Label(inner, "幅：", width_);
  Label(inner, "高さ：", height_);
  Label(inner, "FPS：", fps_);
  Label(inner, "背景色：", swatch_);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  ok->setObjectName("Button_OK");
  ok->setDefault(true);
  QPushButton* cancel = buttons->addButton(Qs("キャンセル"), QDialogButtonBox::RejectRole);
  cancel->setObjectName("Button_Cancel");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(group);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TForm_ProjectSetting::accept() {
  Guarded(this, [&] {
    // A number typed but not yet confirmed counts as entered.
    for (TNumberField* f : {width_, height_, fps_})
      f->interpretText();
    form_.ProjectName = Utf8(name_->text());
    form_.Width.Set(width_->value());
    form_.Height.Set(height_->value());
    form_.Fps.Set(fps_->value());
    form_.BackColor = swatch_->Colour();
    QDialog::accept();
  });
}

}  // namespace vexa::ui
