#include "ui/codec_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QThread>
#include <QVBoxLayout>

#include "ui/number_field.h"
#include "ui/qt_text.h"
#include "ui/slot_guard.h"

namespace vexa::ui {
namespace {

constexpr int kKilobyte = 1024;

}  // namespace

TForm_VideoCompression::TForm_VideoCompression(const TCodecOptions& options, QWidget* parent)
    : QDialog(parent), codecs_(AvailableVideoCodecs()) {
  setObjectName("TForm_VideoCompression");
  setWindowTitle(Qs("ビデオの圧縮"));
  setAccessibleName(windowTitle());

  codec_ = new QComboBox(this);
  codec_->setObjectName("ComboBox_Codec");
  codec_->setAccessibleName(Qs("圧縮プログラム"));
  const TVideoCodec* current = options.Handler.empty() ? nullptr : FindVideoCodec(options.Handler);
  if (!current || !VideoCodecAvailable(*current)) current = &DefaultCompressedCodec();
  for (const TVideoCodec* c : codecs_) {
    codec_->addItem(Qs(c->Title));
    if (c == current) codec_->setCurrentIndex(codec_->count() - 1);
  }

  // Quality 0 ... 10000 shows as 0 ... 100.
  qualitySlider_ = new QSlider(Qt::Horizontal, this);
  qualitySlider_->setObjectName("TrackBar_Quality");
  qualitySlider_->setAccessibleName(Qs("圧縮の品質"));
  qualitySlider_->setRange(0, 100);
  quality_ = new TNumberField("SpinEdit_Quality", 0, 100, 1, this);
  quality_->setAccessibleName(Qs("圧縮の品質"));
  quality_->setValue(std::clamp(options.Quality, 0, kMaxQuality) / 100);
  qualitySlider_->setValue(quality_->value());
  connect(qualitySlider_, &QSlider::valueChanged, quality_, &QSpinBox::setValue);
  connect(quality_, &QSpinBox::valueChanged, qualitySlider_, &QSlider::setValue);

  keyFrames_ = new QCheckBox(Qs("キーフレーム"), this);
  keyFrames_->setObjectName("CheckBox_KeyFrame");
  keyFrames_->setChecked(options.Flags & kCompressKeyFrames);
  keyFrameEvery_ = new TNumberField("SpinEdit_KeyFrame", 1, 1000000, 1, this);
  keyFrameEvery_->setAccessibleName(Qs("キーフレーム"));
  keyFrameEvery_->setValue(std::max(options.KeyFrameEvery, 1));

  dataRate_ = new QCheckBox(Qs("データレート"), this);
  dataRate_->setObjectName("CheckBox_DataRate");
  dataRate_->setChecked(options.Flags & kCompressDataRate);
  kilobytesPerSecond_ = new TNumberField("SpinEdit_DataRate", 1, 1000000, 1, this);
  kilobytesPerSecond_->setAccessibleName(Qs("データレート"));
  kilobytesPerSecond_->setValue(std::max(options.BytesPerSecond / kKilobyte, 1));

  auto* label = [](const char* text, QWidget* buddy) {
    auto* l = new QLabel(Qs(text));
    l->setBuddy(buddy);
    return l;
  }("圧縮プログラム：", codec_);

  auto* grid = new QGridLayout;
  grid->addWidget(label, 0, 0);
  grid->addWidget(codec_, 0, 1, 1, 3);
  auto* qualityLabel = new QLabel(Qs("圧縮の品質："), this);
  qualityLabel->setBuddy(quality_);
  grid->addWidget(qualityLabel, 1, 0);
  grid->addWidget(qualitySlider_, 1, 1, 1, 2);
  grid->addWidget(quality_, 1, 3);
  grid->addWidget(keyFrames_, 2, 0);
  grid->addWidget(keyFrameEvery_, 2, 1);
  grid->addWidget(new QLabel(Qs("フレームごと"), this), 2, 2);
  grid->addWidget(dataRate_, 3, 0);
  grid->addWidget(kilobytesPerSecond_, 3, 1);
  grid->addWidget(new QLabel(Qs("KB/秒"), this), 3, 2);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  ok->setObjectName("Button_OK");
  ok->setDefault(true);
  QPushButton* cancel = buttons->addButton(Qs("キャンセル"), QDialogButtonBox::RejectRole);
  cancel->setObjectName("Button_Cancel");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(codec_, &QComboBox::currentIndexChanged, this, [this] { ShowCodecAbilities(); });
  connect(keyFrames_, &QCheckBox::toggled, this, [this] { ShowCodecAbilities(); });
  connect(dataRate_, &QCheckBox::toggled, this, [this] { ShowCodecAbilities(); });
  ShowCodecAbilities();
}

const TVideoCodec* TForm_VideoCompression::SelectedCodec() const {
  const int i = codec_->currentIndex();
  return i >= 0 && i < static_cast<int>(codecs_.size()) ? codecs_[static_cast<size_t>(i)] : nullptr;
}

// Settings the selected codec does not use are shown but cannot be changed.
void TForm_VideoCompression::ShowCodecAbilities() {
  const TVideoCodec* c = SelectedCodec();
  const bool quality = c && c->UsesQuality, keys = c && c->UsesKeyFrames, rate = c && c->UsesDataRate;
  qualitySlider_->setEnabled(quality);
  quality_->setEnabled(quality);
  keyFrames_->setEnabled(keys);
  keyFrameEvery_->setEnabled(keys && keyFrames_->isChecked());
  dataRate_->setEnabled(rate);
  kilobytesPerSecond_->setEnabled(rate && dataRate_->isChecked());
}

TCodecOptions TForm_VideoCompression::Options() const {
  TCodecOptions o;
  const TVideoCodec* c = SelectedCodec();
  o.Handler = c ? std::string(c->Name) : std::string();
  o.Quality = quality_->value() * 100;
  o.KeyFrameEvery = keyFrameEvery_->value();
  o.BytesPerSecond = kilobytesPerSecond_->value() * kKilobyte;
  o.Flags = (keyFrames_->isChecked() ? kCompressKeyFrames : 0) | (dataRate_->isChecked() ? kCompressDataRate : 0);
  return o;
}

bool TCodecDialogChoice::Choose(TCodecOptions& options) {
  bool chosen = false;
  auto ask = [&] {
    try {
      TForm_VideoCompression dialog(options);
      if (dialog.exec() == QDialog::Accepted) {
        options = dialog.Options();
        chosen = true;
      }
    } catch (...) {
      ShowCurrentException(nullptr);
    }
  };
  if (QThread::currentThread() == context_->thread())
    ask();
  else
    QMetaObject::invokeMethod(context_, ask, Qt::BlockingQueuedConnection);
  return chosen;
}

}  // namespace vexa::ui
