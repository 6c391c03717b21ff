#include "preview/preview_picture.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QPainter>
#include <algorithm>

#include "preview/frame_exchange.h"

namespace vexa::ui {
namespace {

// The frame's bytes are blue, green, red, transparency, bottom row first: uploaded as they are,
// the texture's first row is the picture's bottom row, as OpenGL counts rows. Desktop OpenGL
// takes the bytes as BGRA (a plain copy for most drivers); OpenGL ES takes them as RGBA and the
// shader swaps the channels back.
constexpr GLenum kBgra = 0x80E1;
constexpr const char* kVertexShader = R"(
attribute vec2 position;
attribute vec2 texel;
varying vec2 at;
void main() {
  at = texel;
  gl_Position = vec4(position, 0.0, 1.0);
})";

constexpr const char* kFragmentShader = R"(
#ifdef GL_ES
precision mediump float;
#endif
varying vec2 at;
uniform sampler2D frame;
void main() {
#ifdef SWAP_CHANNELS
  gl_FragColor = vec4(texture2D(frame, at).bgr, 1.0);
#else
  gl_FragColor = vec4(texture2D(frame, at).rgb, 1.0);
#endif
})";

}  // namespace

// ---- copying ----

TCopyPicture::TCopyPicture(int width, int height, QWidget* parent)
    : QWidget(parent), image_(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32) {
  setObjectName("Picture_Preview");
  setAccessibleName(QStringLiteral("プレビュー"));
  setFixedSize(width, height);
  // Every pixel is painted by the frame: nothing to erase first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  image_.fill(Qt::black);
}

void TCopyPicture::ShowFrame(const TPreviewFrame& frame) {
  const TABitmap& b = frame.Picture;
  if (b.BitsPerPixel() != 32 || !HasArea(b)) return;
  if (image_.width() != b.Width() || image_.height() != b.Height())
    image_ = QImage(b.Width(), b.Height(), QImage::Format_RGB32);
  // Top row first, and opaque: the engine's fourth byte is transparency, Qt's is opacity.
  for (int32_t y = 0; y < b.Height(); ++y) {
    const auto* from = reinterpret_cast<const uint32_t*>(b.ScanLine(y));
    auto* to = reinterpret_cast<uint32_t*>(image_.scanLine(y));
    for (int32_t x = 0; x < b.Width(); ++x)
      to[x] = from[x] | 0xFF000000u;
  }
  serial_ = frame.Serial;
  update();
}

void TCopyPicture::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(rect(), image_);
  if (Painted && serial_) Painted(serial_);
}

// ---- OpenGL ----

TGlPicture::TGlPicture(int width, int height, QWidget* parent)
    : QOpenGLWidget(parent), width_(std::max(width, 1)), height_(std::max(height, 1)) {
  setObjectName("Picture_Preview");
  setAccessibleName(QStringLiteral("プレビュー"));
  setFixedSize(width, height);
}

TGlPicture::~TGlPicture() {
  if (ready_ && context()) {
    makeCurrent();
    ReleaseResources();
    doneCurrent();
  }
}

bool TGlPicture::ContextAvailable() {
  QOpenGLContext context;
  if (!context.create()) return false;
  QOffscreenSurface surface;
  surface.setFormat(context.format());
  surface.create();
  if (!surface.isValid()) return false;
  if (!context.makeCurrent(&surface)) return false;
  context.doneCurrent();
  return true;
}

void TGlPicture::Fail() {
  if (failed_) return;
  failed_ = true;
  if (Failed) Failed();
}

void TGlPicture::ReleaseResources() {
  if (texture_) glDeleteTextures(1, &texture_);
  if (program_) glDeleteProgram(program_);
  texture_ = program_ = 0;
  ready_ = false;
}

void TGlPicture::initializeGL() {
  initializeOpenGLFunctions();
  // The context going away (a lost device) ends the OpenGL path for this preview.
  connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, [this] {
    if (!ready_) return;
    makeCurrent();
    ReleaseResources();
    doneCurrent();
    Fail();
  });
  uploadFormat_ = context()->isOpenGLES() ? GL_RGBA : kBgra;
  auto compile = [this](GLenum type, const char* source) -> GLuint {
    const GLuint s = glCreateShader(type);
    const char* parts[] = {uploadFormat_ == GL_RGBA ? "#define SWAP_CHANNELS\n" : "", source};
    glShaderSource(s, 2, parts, nullptr);
    glCompileShader(s);
    GLint ok = 0;
    glGetShaderiv(s, GL_COMPILE_STATUS, &ok);
    if (!ok) {
      glDeleteShader(s);
      return 0;
    }
    return s;
  };
  const GLuint vs = compile(GL_VERTEX_SHADER, kVertexShader);
  const GLuint fs = compile(GL_FRAGMENT_SHADER, kFragmentShader);
  if (vs && fs) {
    program_ = glCreateProgram();
    glAttachShader(program_, vs);
    glAttachShader(program_, fs);
    glBindAttribLocation(program_, 0, "position");
    glBindAttribLocation(program_, 1, "texel");
    glLinkProgram(program_);
    GLint linked = 0;
    glGetProgramiv(program_, GL_LINK_STATUS, &linked);
    if (!linked) {
      glDeleteProgram(program_);
      program_ = 0;
    }
  }
  if (vs) glDeleteShader(vs);
  if (fs) glDeleteShader(fs);

  glGenTextures(1, &texture_);
  glBindTexture(GL_TEXTURE_2D, texture_);
  // One texel per pixel: no filtering, no mipmaps (which also allows any size under ES 2).
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width_, height_, 0, uploadFormat_, GL_UNSIGNED_BYTE, nullptr);
  if (!program_ || glGetError() != GL_NO_ERROR) {
    ReleaseResources();
    Fail();
    return;
  }
  ready_ = true;
}

void TGlPicture::ShowFrame(const TPreviewFrame& frame) {
  const TABitmap& b = frame.Picture;
  if (failed_ || b.BitsPerPixel() != 32 || b.Width() != width_ || b.Height() != height_) return;
  if (!ready_) {
    // Shown but not initialised: no context after all. (Frames reach a shown window only.)
    if (isVisible()) Fail();
    return;
  }
  makeCurrent();
  glBindTexture(GL_TEXTURE_2D, texture_);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width_, height_, uploadFormat_, GL_UNSIGNED_BYTE, b.Bits());
  const bool ok = glGetError() == GL_NO_ERROR;
  doneCurrent();
  if (!ok) {
    Fail();
    return;
  }
  hasFrame_ = true;
  serial_ = frame.Serial;
  update();
}

void TGlPicture::paintGL() {
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  if (!ready_ || !hasFrame_) return;
  static const GLfloat positions[] = {-1, -1, 1, -1, -1, 1, 1, 1};
  static const GLfloat texels[] = {0, 0, 1, 0, 0, 1, 1, 1};
  glUseProgram(program_);
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, texture_);
  glUniform1i(glGetUniformLocation(program_, "frame"), 0);
  glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, positions);
  glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 0, texels);
  glEnableVertexAttribArray(0);
  glEnableVertexAttribArray(1);
  glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
  glDisableVertexAttribArray(0);
  glDisableVertexAttribArray(1);
  if (glGetError() != GL_NO_ERROR) {
    Fail();
    return;
  }
  if (Painted && serial_) Painted(serial_);
}

}  // namespace vexa::ui
