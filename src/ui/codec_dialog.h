// The codec choice of the graphic render: a dialog listing the codecs that open on this
// machine, with the quality, key frame and data rate settings, answering TCodecChoice.
#pragma once

#include <QDialog>

#include "media/video_codecs.h"

class QCheckBox;
class QComboBox;
class QSlider;

namespace vexa::ui {

class TNumberField;

class TForm_VideoCompression : public QDialog {
  Q_OBJECT

 public:
  // Starts from options (an empty or unknown handler selects the default compressed codec).
  TForm_VideoCompression(const TCodecOptions& options, QWidget* parent = nullptr);
  // The choice as the dialog shows it.
  TCodecOptions Options() const;
  const TVideoCodec* SelectedCodec() const;

 private:
  void ShowCodecAbilities();

  std::vector<const TVideoCodec*> codecs_;
  QComboBox* codec_;
  QSlider* qualitySlider_;
  TNumberField* quality_;
  QCheckBox* keyFrames_;
  TNumberField* keyFrameEvery_;
  QCheckBox* dataRate_;
  TNumberField* kilobytesPerSecond_;
};

// The dialog as a codec choice. Choose may be called from a render's worker thread: the
// dialog is then shown on the user interface thread while the worker waits.
class TCodecDialogChoice : public TCodecChoice {
 public:
  explicit TCodecDialogChoice(QObject* uiThreadObject) : context_(uiThreadObject) {}
  bool Choose(TCodecOptions& options) override;

 private:
  QObject* context_;
};

}  // namespace vexa::ui
