#include "ui/selector_playback.h"

#include "media/audio_decoder.h"
#include "ui/qt_text.h"

namespace vexa::ui {

TSelectorPlayback::TSelectorPlayback() {
  out_.OnInputEnd = [this] {
    // Feeder thread: post and return at once.
    const uint64_t play = play_.load();
    QMetaObject::invokeMethod(
        this,
        [this, play] {
          if (play == play_.load()) emit Ended();
        },
        Qt::QueuedConnection);
  };
  out_.OnNotice = [this](const std::string& text) {
    const QString message = Qs(text);
    QMetaObject::invokeMethod(this, [this, message] { emit Notice(message); }, Qt::QueuedConnection);
  };
}

TSelectorPlayback::~TSelectorPlayback() {
  // Before the decoder goes: no end notice comes after Stop.
  out_.Stop();
}

void TSelectorPlayback::Stop() {
  ++play_;
  out_.Stop();
}

void TSelectorPlayback::StartOutput(TAuDecoder& decoder) {
  out_.Stop();
  ++play_;
  out_.Input = &decoder;
  out_.Run();
}

}  // namespace vexa::ui
