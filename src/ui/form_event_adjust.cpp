#include "ui/form_event_adjust.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/logic/event_adjust_form.h"
#include "ui/number_field.h"
#include "ui/qt_text.h"
#include "ui/slot_guard.h"

namespace vexa::ui {
namespace {

using TTime = TEventAdjustForm::TTime;
using TPart = TTimeFields::TPart;
using TRhythm = TEventAdjustForm::TRhythm;

QGroupBox* Group(const char* caption, const char* name, QWidget* parent) {
  auto* g = new QGroupBox(Qs(caption), parent);
  g->setObjectName(name);
  g->setAccessibleName(Qs(caption));
  return g;
}

QPushButton* Button(const char* caption, const char* name, QWidget* parent) {
  auto* b = new QPushButton(Qs(caption), parent);
  b->setObjectName(name);
  b->setAccessibleName(Qs(caption));
  b->setAutoDefault(false);
  return b;
}

}  // namespace

TForm_Event_Adjust::TForm_Event_Adjust(TEventAdjustForm& form, QWidget* parent) : QDialog(parent), form_(form) {
  setObjectName("TForm_Event_Adjust");
  setWindowTitle(Qs("時間調節"));
  setAccessibleName(windowTitle());
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

  auto* times = new QVBoxLayout;
  times->addWidget(BuildTimeGroup(TTime::Start, "開始時間", "StartTime", "Millisecond"));
  times->addWidget(BuildTimeGroup(TTime::End, "終了時間", "EndTime", "Millisecond"));
  times->addWidget(BuildTimeGroup(TTime::Interval, "間隔", "EnableTime", "MilliSecond"));
  times->addStretch(1);

  auto* right = new QVBoxLayout;
  right->addWidget(BuildChoiceGroups());
  right->addWidget(BuildRhythmGroup());

  auto* top = new QHBoxLayout;
  top->addLayout(times);
  top->addLayout(right);

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
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  ShowForm();
  // The end time's hour field has the focus first.
  times_[TTime::End][TPart::Hour]->setFocus();
}

QWidget* TForm_Event_Adjust::BuildTimeGroup(int time, const char* caption, const char* role,
                                            const char* millisecondName) {
  auto* g = Group(caption, (QString("GroupBox_") + role).toUtf8().constData(), this);
  auto* row = new QHBoxLayout(g);
  struct TPartText {
    const char* Name;
    const char* Unit;
  };
  const TPartText parts[] = {{"Hour", "時間"}, {"Minute", "分"}, {"Second", "秒"}, {millisecondName, "ミリ秒"}};
  for (int p = 0; p < 4; ++p) {
    const TSpinField& f = form_.TimeField(static_cast<TTime>(time), static_cast<TPart>(p));
    auto* field = new TNumberField(QString("JvSpinEdit_") + role + "_" + parts[p].Name, static_cast<int>(f.Min()),
                                   static_cast<int>(f.Max()), 1, g);
    field->setAccessibleName(Qs(caption) + ' ' + Qs(parts[p].Unit));
    auto* unit = new QLabel(Qs(parts[p].Unit), g);
    unit->setBuddy(field);
    row->addWidget(field);
    row->addWidget(unit);
    times_[static_cast<size_t>(time)][static_cast<size_t>(p)] = field;
    connect(field, &QSpinBox::valueChanged, this, [this, time, p](int value) {
      Guarded(this, [&] {
        form_.SetTimeField(static_cast<TTime>(time), static_cast<TPart>(p), value);
        ShowForm();
      });
    });
  }
  return g;
}

QWidget* TForm_Event_Adjust::BuildChoiceGroups() {
  auto* box = new QWidget(this);
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(0, 0, 0, 0);

  auto radios = [this](QGroupBox* g, const char* role, std::initializer_list<std::pair<const char*, const char*>> items,
                       int checked, auto onChoose) {
    auto* column = new QVBoxLayout(g);
    auto* group = new QButtonGroup(g);
    int id = 0;
    for (const auto& [name, caption] : items) {
      auto* r = new QRadioButton(Qs(caption), g);
      r->setObjectName(QString("RadioButton_") + role + "_" + name);
      r->setAccessibleName(g->title() + ' ' + Qs(caption));
      r->setChecked(id == checked);
      group->addButton(r, id++);
      column->addWidget(r);
    }
    column->addStretch(1);
    connect(group, &QButtonGroup::idClicked, this, [this, onChoose](int i) { Guarded(this, [&] { onChoose(i); }); });
  };
  auto* start = Group("開始時間の処理内容", "GroupBox_StartTimeMode", box);
  radios(start, "StartTime",
         {{"Direct", "そのまま設定"}, {"Add", "足す"}, {"Sub", "引く"}, {"NoChange", "変更しない"}},
         static_cast<int>(form_.StartChoice), [this](int i) { form_.StartChoice = static_cast<TStartChoice>(i); });
  auto* end = Group("終了時間の処理内容", "GroupBox_EndTimeMode", box);
  radios(end, "EndTime",
         {{"Direct", "そのまま設定"},
          {"Add", "足す"},
          {"Sub", "引く"},
          {"NoChange", "変更しない"},
          {"FitEnableTime", "間隔を合わせる"}},
         static_cast<int>(form_.EndChoice), [this](int i) { form_.EndChoice = static_cast<TEndChoice>(i); });
  row->addWidget(start);
  row->addWidget(end);
  return box;
}

QWidget* TForm_Event_Adjust::BuildRhythmGroup() {
  auto* g = Group("リズム", "GroupBox_Rhythm", this);
  auto* grid = new QGridLayout(g);
  auto field = [&](TRhythm r, const char* name, const char* accessible) {
    const TSpinField& f = form_.RhythmField(r);
    auto* w = new TNumberField(QString("JvSpinEdit_Rhythm_") + name, static_cast<int>(f.Min()),
                               static_cast<int>(f.Max()), 1, g);
    w->setAccessibleName(Qs(accessible));
    rhythm_[static_cast<size_t>(r)] = w;
    connect(w, &QSpinBox::valueChanged, this, [this, r](int value) {
      Guarded(this, [&] {
        form_.SetRhythmField(r, value);
        ShowForm();
      });
    });
    return w;
  };
  auto label = [&](const char* caption, QWidget* buddy) {
    auto* l = new QLabel(Qs(caption), g);
    l->setBuddy(buddy);
    return l;
  };
  QWidget* bpm = field(TRhythm::Bpm, "BPM", "BPM");
  QWidget* numerator = field(TRhythm::Numerator, "Beat_Numerator", "拍子 分子");
  QWidget* denominator = field(TRhythm::Denominator, "Beat_Denominater", "拍子 分母");
  QWidget* bar = field(TRhythm::Bar, "Bar", "小節");
  QWidget* note = field(TRhythm::Note, "Note", "拍");
  grid->addWidget(label("BPM", bpm), 0, 0);
  grid->addWidget(bpm, 0, 1, 1, 3);
  grid->addWidget(label("拍子", numerator), 1, 0);
  grid->addWidget(numerator, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("/"), g), 1, 2);
  grid->addWidget(denominator, 1, 3);
  grid->addWidget(label("小節", bar), 2, 0);
  grid->addWidget(bar, 2, 1, 1, 3);
  grid->addWidget(label("拍", note), 3, 0);
  grid->addWidget(note, 3, 1, 1, 3);

  auto* buttons = new QHBoxLayout;
  struct TRhythmButton {
    const char* Caption;
    const char* Name;
    TTime Target;  // the time the rhythm position goes into
  };
  const TRhythmButton list[] = {{"開始", "Button_Rhythm_StartTime", TTime::Start},
                                {"終了", "Button_Rhythm_EndTime", TTime::End},
                                {"間隔", "Button_Rhythm_EnableTime", TTime::Interval}};
  for (const TRhythmButton& b : list) {
    QPushButton* button = Button(b.Caption, b.Name, g);
    const TTime target = b.Target;
    connect(button, &QPushButton::clicked, this, [this, target] {
      Guarded(this, [&] {
        if (target == TTime::Start)
          form_.RhythmToStart();
        else if (target == TTime::End)
          form_.RhythmToEnd();
        else
          form_.RhythmToInterval();
        ShowForm();
      });
    });
    buttons->addWidget(button);
  }
  grid->addLayout(buttons, 4, 0, 1, 4);
  return g;
}

void TForm_Event_Adjust::ShowForm() {
  for (int t = 0; t < 3; ++t) {
    for (int p = 0; p < 4; ++p) {
      TNumberField* w = times_[static_cast<size_t>(t)][static_cast<size_t>(p)];
      const int value = static_cast<int>(form_.TimeField(static_cast<TTime>(t), static_cast<TPart>(p)).Value());
      // The field being typed in keeps its text and cursor when its value stays.
      if (w->value() == value) continue;
      const QSignalBlocker block(w);
      w->setValue(value);
    }
  }
  for (int r = 0; r < 5; ++r) {
    TNumberField* w = rhythm_[static_cast<size_t>(r)];
    const TSpinField& f = form_.RhythmField(static_cast<TRhythm>(r));
    const QSignalBlocker block(w);
    w->setMaximum(static_cast<int>(std::max(f.Min(), f.Max())));
    if (w->value() != static_cast<int>(f.Value())) w->setValue(static_cast<int>(f.Value()));
    w->setEnabled(f.Enabled());
  }
}

}  // namespace vexa::ui
