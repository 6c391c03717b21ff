#include "ui/movie_settings_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "ui/logic/movie_render_name.h"
#include "ui/number_field.h"
#include "ui/qt_text.h"

namespace vexa::ui {

TForm_MovieSettings::TForm_MovieSettings(TMovieContainer container, QWidget* parent) : QDialog(parent) {
  setObjectName("TForm_MovieSettings");
  setWindowTitle(Qs(movie_render_text::kSettingsTitle) + " - " + Qs(MovieContainerName(container)));
  setAccessibleName(windowTitle());
  for (const TVideoCodec* c : AvailableVideoCodecs())
    if (MovieContainerTakes(container, *c)) codecs_.push_back(c);

  codec_ = new QComboBox(this);
  codec_->setObjectName("ComboBox_Codec");
  codec_->setAccessibleName(Qs("圧縮プログラム"));
  for (const TVideoCodec* c : codecs_) {
    codec_->addItem(Qs(c->Title));
    if (c == &DefaultCompressedCodec()) codec_->setCurrentIndex(codec_->count() - 1);
  }
  // Quality 0 ... 10000 shows as 0 ... 100, as in the AVI render's codec dialog.
  qualitySlider_ = new QSlider(Qt::Horizontal, this);
  qualitySlider_->setObjectName("TrackBar_Quality");
  qualitySlider_->setAccessibleName(Qs("品質"));
  qualitySlider_->setRange(0, 100);
  quality_ = new TNumberField("SpinEdit_Quality", 0, 100, 1, this);
  quality_->setAccessibleName(Qs("品質"));
  quality_->setValue(kDefaultQuality / 100);
  qualitySlider_->setValue(quality_->value());
  connect(qualitySlider_, &QSlider::valueChanged, quality_, &QSpinBox::setValue);
  connect(quality_, &QSpinBox::valueChanged, qualitySlider_, &QSlider::setValue);

  auto* grid = new QGridLayout;
  auto* codecLabel = new QLabel(Qs("圧縮プログラム："), this);
  codecLabel->setBuddy(codec_);
  grid->addWidget(codecLabel, 0, 0);
  grid->addWidget(codec_, 0, 1, 1, 2);
  auto* qualityLabel = new QLabel(Qs("品質："), this);
  qualityLabel->setBuddy(quality_);
  grid->addWidget(qualityLabel, 1, 0);
  grid->addWidget(qualitySlider_, 1, 1);
  grid->addWidget(quality_, 1, 2);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  ok->setObjectName("Button_OK");
  ok->setDefault(true);
  ok->setEnabled(!codecs_.empty());
  QPushButton* cancel = buttons->addButton(Qs("キャンセル"), QDialogButtonBox::RejectRole);
  cancel->setObjectName("Button_Cancel");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  connect(codec_, &QComboBox::currentIndexChanged, this, [this] { ShowCodecAbilities(); });
  ShowCodecAbilities();
}

// A lossless codec has no quality to choose.
void TForm_MovieSettings::ShowCodecAbilities() {
  const int i = codec_->currentIndex();
  const bool quality = i >= 0 && codecs_[static_cast<size_t>(i)]->UsesQuality;
  qualitySlider_->setEnabled(quality);
  quality_->setEnabled(quality);
}

TMovieWriteSettings TForm_MovieSettings::Settings() const {
  TMovieWriteSettings s;
  const int i = codec_->currentIndex();
  if (i >= 0) s.Codec = std::string(codecs_[static_cast<size_t>(i)]->Name);
  s.Quality = quality_->value() * 100;
  return s;
}

}  // namespace vexa::ui
