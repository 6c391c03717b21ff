// TForm_MovieSettings: the codec and quality of a finished movie file, offering the codecs that
// open on this machine and fit the chosen container.
#pragma once

#include <QDialog>
#include <vector>

#include "media/movie_writer.h"

class QComboBox;
class QSlider;

namespace vexa::ui {

class TNumberField;

class TForm_MovieSettings : public QDialog {
  Q_OBJECT

 public:
  TForm_MovieSettings(TMovieContainer container, QWidget* parent = nullptr);
  // True when some codec fits the container (otherwise there is nothing to choose).
  bool HasCodecs() const { return !codecs_.empty(); }
  // Codec and Quality as chosen; the render command fills in the rest.
  TMovieWriteSettings Settings() const;

 private:
  void ShowCodecAbilities();

  std::vector<const TVideoCodec*> codecs_;
  QComboBox* codec_;
  QSlider* qualitySlider_;
  TNumberField* quality_;
};

}  // namespace vexa::ui
