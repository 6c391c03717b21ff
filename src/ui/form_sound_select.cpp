#include "ui/form_sound_select.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "ui/qt_text.h"
#include "ui/slot_guard.h"

namespace vexa::ui {

TForm_SoundSource_Select::TForm_SoundSource_Select(TSoundRangeSelector& selector, QWidget* parent)
    : TRangeSelectWindow(selector, "TForm_SoundSource_Select", parent), selector_(selector) {
  setAccessibleName(Qs("範囲選択"));
  auto* layout = new QVBoxLayout(this);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  layout->addWidget(MakeTrack(TRangeSelector::Start));
  layout->addWidget(MakePanel(TRangeSelector::Start, "開始サンプル："));
  layout->addWidget(MakeTrack(TRangeSelector::End));
  layout->addWidget(MakePanel(TRangeSelector::End, "終了サンプル："));

  auto* row = new QHBoxLayout;
  auto* caption = new QLabel(Qs("再生位置："), this);
  position_ = new QLabel(this);
  position_->setObjectName("Label_Position");
  position_->setAccessibleName(Qs("再生位置"));
  caption->setBuddy(position_);
  auto* play = new QPushButton(Qs("再生"), this);
  play->setObjectName("Button_Play");
  play->setAccessibleName(play->text());
  auto* stop = new QPushButton(Qs("停止"), this);
  stop->setObjectName("Button_Stop");
  stop->setAccessibleName(stop->text());
  row->addWidget(caption);
  row->addWidget(position_);
  row->addStretch(1);
  row->addWidget(play);
  row->addWidget(stop);
  layout->addLayout(row);

  timer_.setObjectName("Timer_Sound");
  timer_.setInterval(static_cast<int>(TSoundRangeSelector::kTimerInterval));
  connect(&timer_, &QTimer::timeout, this, [this] {
    Guarded(this, [&] {
      selector_.TimerTick();
      ShowSelector();
    });
  });
  connect(play, &QPushButton::clicked, this, [this] {
    Guarded(this, [&] {
      timer_.stop();  // the clock's beat starts again with the play
      selector_.Play();
      ShowSelector();
    });
  });
  connect(stop, &QPushButton::clicked, this, [this] {
    Guarded(this, [&] {
      selector_.StopPlaying();
      ShowSelector();
    });
  });
  ShowSelector();
}

void TForm_SoundSource_Select::PlaybackEnded() {
  Guarded(this, [&] {
    selector_.PlaybackEnded();
    ShowSelector();
  });
}

void TForm_SoundSource_Select::ShowSelector() {
  TRangeSelectWindow::ShowSelector();
  position_->setText(Qs(selector_.PositionLabel()));
  // The timer runs exactly while the selector's clock does; a restart keeps the 250 ms beat
  // from the Play.
  if (selector_.TimerOn() && !timer_.isActive()) timer_.start();
  if (!selector_.TimerOn()) timer_.stop();
}

// However the window closes, the sound stops (and the decoder goes) before the window does.
void TForm_SoundSource_Select::done(int result) {
  Guarded(this, [&] { selector_.CloseQuery(); });
  timer_.stop();
  TRangeSelectWindow::done(result);
}

}  // namespace vexa::ui
