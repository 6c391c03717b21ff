// A colour swatch that opens the colour dialog when clicked (or on Space and Enter), with the
// hand cursor over it.
#pragma once

#include <QFrame>
#include <cstdint>

namespace vexa::ui {

class TColourSwatch : public QFrame {
  Q_OBJECT

 public:
  TColourSwatch(const QString& objectName, int32_t bgr, QWidget* parent = nullptr);
  int32_t Colour() const { return bgr_; }
  void SetColour(int32_t bgr);

 signals:
  void ColourChanged(int32_t bgr);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Choose();
  int32_t bgr_;
};

}  // namespace vexa::ui
