// The two ways the preview window puts a frame on screen: copying it into the window (always
// there) and drawing it as an OpenGL texture (asked for with Ctrl). Both take the frames the
// runner hands over and tell the window which frame they painted.
#pragma once

#include <QImage>
#include <QOpenGLFunctions>
#include <QOpenGLWidget>
#include <QWidget>
#include <cstdint>
#include <functional>

namespace vexa {
struct TPreviewFrame;
}

namespace vexa::ui {

class TPreviewPicture {
 public:
  virtual ~TPreviewPicture() = default;
  virtual QWidget* Widget() = 0;
  // Takes the frame's pixels now (the frame changes at the next TakeFrame) and repaints.
  virtual void ShowFrame(const TPreviewFrame& frame) = 0;
  // The serial of each frame as it reaches the screen.
  std::function<void(uint64_t serial)> Painted;
};

// The copying presenter: the frame's colour bytes copied into an image, painted 1:1.
class TCopyPicture final : public QWidget, public TPreviewPicture {
 public:
  TCopyPicture(int width, int height, QWidget* parent);
  QWidget* Widget() override { return this; }
  void ShowFrame(const TPreviewFrame& frame) override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage image_;
  uint64_t serial_ = 0;
};

// The OpenGL presenter: one texture of the project's size, filled from each frame and drawn
// over the whole picture area. Failed tells the window to go on with copying.
class TGlPicture final : public QOpenGLWidget, protected QOpenGLFunctions, public TPreviewPicture {
 public:
  TGlPicture(int width, int height, QWidget* parent);
  ~TGlPicture() override;
  QWidget* Widget() override { return this; }
  void ShowFrame(const TPreviewFrame& frame) override;
  // The context, the shader or an upload failed (or the context went away).
  bool HasFailed() const { return failed_; }
  std::function<void()> Failed;

  // Whether this machine gives an OpenGL context at all; the window asks before it makes a
  // TGlPicture, since a window holding one that has no context shows nothing.
  static bool ContextAvailable();

 protected:
  void initializeGL() override;
  void paintGL() override;

 private:
  void Fail();
  void ReleaseResources();

  int width_, height_;
  unsigned program_ = 0;
  unsigned texture_ = 0;
  unsigned uploadFormat_ = 0;  // how the frame's bytes are handed to OpenGL
  bool ready_ = false;
  bool failed_ = false;
  bool hasFrame_ = false;
  uint64_t serial_ = 0;
};

}  // namespace vexa::ui
