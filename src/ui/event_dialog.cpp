#include "ui/event_dialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>
#include <map>

#include "ui/colour_swatch.h"
#include "ui/file_dialog.h"
#include "ui/logic/event_form.h"
#include "ui/number_field.h"
#include "ui/qt_text.h"
#include "ui/slot_guard.h"

namespace vexa::ui {

// The typeface label: shows the typeface name in its own font and opens the font dialog when
// clicked (or on Space and Enter).
class TFontLabel final : public QLabel {
 public:
  explicit TFontLabel(QWidget* parent) : QLabel(parent) {
    setObjectName("Label_Font");
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setAlignment(Qt::AlignCenter);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  }
  std::function<void()> Clicked;

 protected:
  void mouseReleaseEvent(QMouseEvent*) override {
    if (Clicked) Clicked();
  }
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
      if (Clicked) Clicked();
      return;
    }
    QLabel::keyPressEvent(event);
  }
};

namespace {

constexpr std::string_view kFileKindName = "JvFilenameEdit";
// The label shows the typeface at its size, up to this many points: a 999-point font would
// otherwise blow the dialog up (the memo shows it at its full size).
constexpr int kLabelPointLimit = 36;

QFont FontOf(const TFontChoice& f) {
  QFont font(Qs(f.Name));
  font.setPointSize(std::max(1, f.Size));
  font.setBold(f.Style & font_style::Bold);
  font.setItalic(f.Style & font_style::Italic);
  font.setUnderline(f.Style & font_style::Underline);
  font.setStrikeOut(f.Style & font_style::StrikeOut);
  return font;
}

// Bold and italic as the face the font resolves to has them: the font dialog names its styles
// ("Bold Oblique") rather than setting the weight.
int32_t StyleOf(const QFont& f) {
  const QFontInfo face(f);
  return (face.bold() ? font_style::Bold : 0) | (face.italic() ? font_style::Italic : 0) |
         (f.underline() ? font_style::Underline : 0) | (f.strikeOut() ? font_style::StrikeOut : 0);
}

// Text in the event has CR LF between lines, the memo has LF.
QString MemoText(const std::string& text) {
  return Qs(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}
std::string EventText(const QString& memo) {
  QString t = memo;
  return Utf8(t.replace('\n', QStringLiteral("\r\n")));
}

// "JvSpinEdit_StartX" -> 開始, "ComboBox_EndDirection" -> 終了.
QString StartOrEnd(std::string_view name) {
  const size_t underscore = name.find('_');
  if (underscore == std::string_view::npos) return {};
  const std::string_view role = name.substr(underscore + 1);
  if (role.starts_with("Start") && role != "Start") return Qs("開始");
  if (role.starts_with("End") && role != "End") return Qs("終了");
  return {};
}

QString WithoutColon(std::string_view label) {
  QString s = Qs(label).trimmed();
  while (s.endsWith(QChar(0xFF1A)) || s.endsWith(':'))
    s.chop(1);
  return s;
}

void Join(QString& to, const QString& part) {
  if (part.isEmpty()) return;
  if (!to.isEmpty()) to += ' ';
  to += part;
}

}  // namespace

QString AccessibleNameOf(const TControlDesc& c, std::string_view groupCaption) {
  QString name;
  switch (c.Kind) {
    case TControlKind::SpinEdit:
    case TControlKind::ComboBox:
      Join(name, Qs(groupCaption));
      Join(name, WithoutColon(c.Caption));
      Join(name, StartOrEnd(c.Name));
      break;
    case TControlKind::TimeSpin:
      Join(name, Qs(groupCaption));
      if (c.Time == TTimeSlot::RangeStart) Join(name, Qs("開始"));
      if (c.Time == TTimeSlot::RangeEnd) Join(name, Qs("終了"));
      Join(name, Qs(c.Caption));
      break;
    case TControlKind::RadioButton:
      Join(name, Qs(groupCaption));
      Join(name, Qs(c.Caption));
      break;
    case TControlKind::ListView:
      for (std::string_view column : c.Items)
        Join(name, Qs(column));
      break;
    case TControlKind::Button:
    case TControlKind::Note:
      name = Qs(c.Caption).replace(QStringLiteral("\r\n"), QStringLiteral(" "));
      break;
    default:
      Join(name, Qs(groupCaption));
      Join(name, WithoutColon(c.Caption));
      break;
  }
  return name;
}

// A control and the widget that shows it.
struct TEventDialog::TBound {
  const TControlDesc* Desc;
  QWidget* Widget;
};

TEventDialog::TEventDialog(TEventForm& form, TEventDialogHost& host, QWidget* parent)
    : QDialog(parent), form_(form), host_(host) {
  const TDialogDescriptor& d = form_.Descriptor();
  setObjectName(Qs(d.ClassName));
  setWindowTitle(Qs(d.Caption));
  setAccessibleName(windowTitle());
  // A fixed frame with the system menu and the minimise box.
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  Build();
  ShowForm();
}

TEventDialog::~TEventDialog() = default;

template <class F>
void TEventDialog::Edit(F work) {
  if (showing_) return;
  Guarded(this, [&] {
    work();
    ShowForm();
  });
}

void TEventDialog::Build() {
  const TDialogDescriptor& d = form_.Descriptor();
  // Each group is a box with a grid: column 0 holds labels, the fields follow. Groups without
  // a caption are frameless.
  std::vector<QWidget*> boxes(d.Groups.size());
  std::vector<QGridLayout*> grids(d.Groups.size());
  auto* top = new QGridLayout(this);
  top->setSizeConstraint(QLayout::SetFixedSize);
  auto gridOf = [&](int group) { return group < 0 ? top : grids[static_cast<size_t>(group)]; };
  for (size_t i = 0; i < d.Groups.size(); ++i) {
    const TGroupDesc& g = d.Groups[i];
    QWidget* parent = g.Parent < 0 ? static_cast<QWidget*>(this) : boxes[static_cast<size_t>(g.Parent)];
    QWidget* box;
    if (g.Caption.empty()) {
      box = new QWidget(parent);
    } else {
      auto* groupBox = new QGroupBox(Qs(g.Caption), parent);
      groupBox->setAccessibleName(groupBox->title());
      box = groupBox;
    }
    box->setObjectName(QString("GroupBox_%1").arg(i));
    boxes[i] = box;
    grids[i] = new QGridLayout(box);
    if (g.Caption.empty()) grids[i]->setContentsMargins(0, 0, 0, 0);
    // A group of the dialog takes its cell; a group inside a group spans its parent's width.
    if (g.Parent < 0)
      top->addWidget(box, g.Row, g.Column, 1, g.ColumnSpan);
    else
      gridOf(g.Parent)->addWidget(box, g.Row, 0, 1, -1);
  }

  std::map<int, std::vector<QWidget*>> buttonRows;  // the frameless button rows
  std::map<std::pair<int, const void*>, QHBoxLayout*> rows;
  std::map<int, int> rangeRow;  // per group: the row of the play range's times
  for (const TControlDesc& c : d.Controls) {
    QWidget* parent = c.Group < 0 ? static_cast<QWidget*>(this) : boxes[static_cast<size_t>(c.Group)];
    const std::string_view groupCaption = c.Group < 0 ? std::string_view{} : d.Groups[static_cast<size_t>(c.Group)].Caption;
    QWidget* w = MakeControl(c, parent);
    const QString accessible = AccessibleNameOf(c, groupCaption);
    if (c.Kind == TControlKind::FileEdit) {
      // The line edit is the field; its browse button says what it browses for.
      w->findChild<QLineEdit*>()->setAccessibleName(accessible);
      w->findChild<QToolButton*>()->setAccessibleName(accessible + ' ' + Qs("参照"));
    } else {
      w->setAccessibleName(accessible);
      // Start and end fields sit side by side without headings: the tip says which is which.
      if (!StartOrEnd(c.Name).isEmpty()) w->setToolTip(accessible);
    }
    bound_.push_back({&c, w});
    QGridLayout* grid = gridOf(c.Group);
    // A row of widgets side by side in one cell: the four fields of a time, the buttons of a
    // radio group. Keyed by the group and what the row holds.
    auto rowAt = [&](const void* key, int row, int column, int span) {
      QHBoxLayout*& box = rows[{c.Group, key}];
      if (!box) {
        box = new QHBoxLayout;
        grid->addLayout(box, row, column, 1, span);
      }
      return box;
    };
    switch (c.Kind) {
      case TControlKind::SpinEdit:
      case TControlKind::ComboBox:
        // Labels in column 0, start values in column 1, end values in column 2.
        if (!c.Caption.empty()) {
          auto* label = new QLabel(Qs(c.Caption), parent);
          label->setBuddy(w);
          grid->addWidget(label, c.Row, 0);
        }
        grid->addWidget(w, c.Row, 1 + c.Column);
        break;
      case TControlKind::TimeSpin: {
        // The four fields of a time and their units in one row; a play range's start and end
        // times stand side by side under the start and end values.
        auto* unit = new QLabel(Qs(c.Caption), parent);
        unit->setBuddy(w);
        QHBoxLayout* row;
        if (c.Time == TTimeSlot::RangeStart || c.Time == TTimeSlot::RangeEnd) {
          const int at = rangeRow.try_emplace(c.Group, c.Row).first->second;
          row = rowAt(reinterpret_cast<const void*>(static_cast<uintptr_t>(c.Time)), at,
                      c.Time == TTimeSlot::RangeStart ? 1 : 2, 1);
        } else {
          row = rowAt(reinterpret_cast<const void*>(static_cast<uintptr_t>(c.Time)), c.Row, 0, -1);
        }
        row->addWidget(w);
        row->addWidget(unit);
        break;
      }
      case TControlKind::RadioButton:
        // The buttons of one field side by side.
        rowAt(c.Param, c.Row, 0, -1)->addWidget(w);
        break;
      case TControlKind::Button:
        if (c.Group >= 0 && d.Groups[static_cast<size_t>(c.Group)].Caption.empty()) {
          buttonRows[c.Group].push_back(w);
          break;
        }
        grid->addWidget(w, c.Row, 0, 1, -1, Qt::AlignLeft);
        break;
      case TControlKind::ColorSwatch:
        grid->addWidget(w, c.Row, 0, 1, -1, Qt::AlignLeft);
        break;
      default:
        grid->addWidget(w, c.Row, 0, 1, -1);
        break;
    }
  }
  // What is left of a group's width goes to a last, empty column.
  for (QGridLayout* grid : grids)
    grid->setColumnStretch(3, 1);
  for (auto& [key, box] : rows)
    box->addStretch(1);
  for (auto& [group, buttons] : buttonRows)
    PlaceButtons(boxes[static_cast<size_t>(group)], buttons);

  // Carry between the four fields of each time: seconds step into minutes, and so on.
  for (size_t i = 0; i < bound_.size(); ++i) {
    const TControlDesc& c = *bound_[i].Desc;
    if (c.Kind != TControlKind::TimeSpin || c.TimePart == 0) continue;
    for (size_t j = 0; j < bound_.size(); ++j) {
      const TControlDesc& o = *bound_[j].Desc;
      if (o.Kind == TControlKind::TimeSpin && o.Time == c.Time && o.TimePart == c.TimePart - 1)
        static_cast<TNumberField*>(bound_[i].Widget)->SetCarry(static_cast<TNumberField*>(bound_[j].Widget));
    }
  }
}

// Preview on the left, OK and cancel on the right.
void TEventDialog::PlaceButtons(QWidget* box, const std::vector<QWidget*>& buttons) {
  delete box->layout();
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(0, 0, 0, 0);
  for (QWidget* b : buttons) {
    if (b->objectName() == "Button_OK") row->addStretch(1);
    row->addWidget(b);
  }
  if (buttons.size() == 2) row->insertStretch(0, 1);
}

QWidget* TEventDialog::MakeFileEdit(const TControlDesc& c, QWidget* parent) {
  auto* box = new QWidget(parent);
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(0, 0, 0, 0);
  auto* edit = new QLineEdit(box);
  edit->setObjectName(Qs(c.Name));
  edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * 40);
  auto* browse = new QToolButton(box);
  browse->setObjectName(Qs(c.Name) + "_Button");
  browse->setText(QStringLiteral("..."));
  row->addWidget(edit, 1);
  row->addWidget(browse);
  const std::string name(c.Name);
  connect(edit, &QLineEdit::textChanged, this,
          [this, name](const QString& text) { Edit([&] { form_.SetText(name, Utf8(text)); }); });
  const TControlDesc* desc = &c;
  connect(browse, &QToolButton::clicked, this, [this, desc, edit] {
    Guarded(this, [&] {
      const TFileDialogText text{desc->BrowseTitle, desc->Filter, "OpenDialog"};
      // No quotes round the name; the dialog starts where the current file is.
      if (auto file = ChooseOpenFile(this, text)) edit->setText(Qs(*file));
    });
  });
  // The box stands for the field: its accessible name is set on the line edit.
  box->setFocusProxy(edit);
  return box;
}

QWidget* TEventDialog::MakeControl(const TControlDesc& c, QWidget* parent) {
  const std::string name(c.Name);
  switch (c.Kind) {
    case TControlKind::SpinEdit:
    case TControlKind::TimeSpin: {
      const TSpinField& f = form_.Spin(c.Name);
      auto* w = new TNumberField(Qs(c.Name), static_cast<int>(f.Min()), static_cast<int>(f.Max()), 1, parent);
      connect(w, &QSpinBox::valueChanged, this, [this, name](int v) { Edit([&] { form_.SetSpin(name, v); }); });
      return w;
    }
    case TControlKind::RadioButton: {
      auto* w = new QRadioButton(Qs(c.Caption), parent);
      w->setObjectName(Qs(c.Name));
      // One exclusive group per field.
      QButtonGroup* group = nullptr;
      for (auto& [param, g] : radioGroups_)
        if (param == c.Param) group = g;
      if (!group) {
        group = new QButtonGroup(this);
        radioGroups_.emplace_back(c.Param, group);
      }
      group->addButton(w);
      connect(w, &QRadioButton::toggled, this, [this, name](bool on) {
        if (on) Edit([&] { form_.ClickRadio(name); });
      });
      return w;
    }
    case TControlKind::ComboBox: {
      auto* w = new QComboBox(parent);
      w->setObjectName(Qs(c.Name));
      w->setEditable(false);
      for (std::string_view item : c.Items)
        w->addItem(Qs(item));
      connect(w, &QComboBox::currentIndexChanged, this, [this, name](int i) {
        if (i >= 0) Edit([&] { form_.SelectCombo(name, i); });
      });
      return w;
    }
    case TControlKind::FileEdit:
      return MakeFileEdit(c, parent);
    case TControlKind::ColorSwatch: {
      auto* w = new TColourSwatch(Qs(c.Name), form_.Color(c.Name), parent);
      connect(w, &TColourSwatch::ColourChanged, this, [this, name](int32_t bgr) { Edit([&] { form_.SetColor(name, bgr); }); });
      return w;
    }
    case TControlKind::FontLabel: {
      fontLabel_ = new TFontLabel(parent);
      fontLabel_->Clicked = [this] { Guarded(this, [&] { ChooseFont(); }); };
      return fontLabel_;
    }
    case TControlKind::Memo: {
      memo_ = new QTextEdit(parent);
      memo_->setObjectName(Qs(c.Name));
      memo_->setAcceptRichText(false);
      memo_->setLineWrapMode(QTextEdit::NoWrap);
      memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
      memo_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
      memo_->setTabChangesFocus(true);
      memo_->setMinimumSize(memo_->fontMetrics().averageCharWidth() * 48, memo_->fontMetrics().height() * 6);
      connect(memo_, &QTextEdit::textChanged, this,
              [this, name] { Edit([&] { form_.SetText(name, EventText(memo_->toPlainText())); }); });
      return memo_;
    }
    case TControlKind::LineEdit: {
      auto* w = new QLineEdit(parent);
      w->setObjectName(Qs(c.Name));
      connect(w, &QLineEdit::textChanged, this,
              [this, name](const QString& text) { Edit([&] { form_.SetText(name, Utf8(text)); }); });
      return w;
    }
    case TControlKind::ListView: {
      layers_ = new QTreeWidget(parent);
      layers_->setObjectName(Qs(c.Name));
      QStringList columns;
      for (std::string_view column : c.Items)
        columns << Qs(column);
      layers_->setHeaderLabels(columns);
      layers_->setRootIsDecorated(false);
      layers_->setSelectionMode(QAbstractItemView::SingleSelection);
      layers_->setSelectionBehavior(QAbstractItemView::SelectRows);
      layers_->setEditTriggers(QAbstractItemView::NoEditTriggers);
      // The selection stays visible when the list loses the focus.
      QPalette p = layers_->palette();
      p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
      p.setColor(QPalette::Inactive, QPalette::HighlightedText, p.color(QPalette::Active, QPalette::HighlightedText));
      layers_->setPalette(p);
      layers_->setMinimumHeight(layers_->fontMetrics().height() * 8);
      connect(layers_, &QTreeWidget::itemSelectionChanged, this, [this] {
        const QList<QTreeWidgetItem*> items = layers_->selectedItems();
        if (items.isEmpty()) return;
        const int row = layers_->indexOfTopLevelItem(items.front());
        Edit([&] { form_.SelectLayerRow(row); });
      });
      return layers_;
    }
    case TControlKind::Button: {
      auto* w = new QPushButton(Qs(c.Caption), parent);
      w->setObjectName(Qs(c.Name));
      w->setAutoDefault(false);
      const TButtonRole role = c.Role;
      if (role == TButtonRole::Ok) w->setDefault(true);
      connect(w, &QPushButton::clicked, this, [this, role] {
        Guarded(this, [&] {
          switch (role) {
            case TButtonRole::Ok:
              accept();
              return;
            case TButtonRole::Cancel:
              reject();
              return;
            case TButtonRole::Preview:
              host_.Preview(form_, this);
              return;
            case TButtonRole::SampleSelect:
              host_.SelectSampleRange(form_, this);
              break;
            case TButtonRole::FrameSelect:
              host_.SelectFrameRange(form_, this);
              break;
            case TButtonRole::None:
              return;
          }
          ShowForm();
        });
      });
      return w;
    }
    case TControlKind::Note: {
      auto* w = new QLabel(Qs(c.Caption).replace(QStringLiteral("\r\n"), QStringLiteral("\n")), parent);
      w->setObjectName(Qs(c.Name));
      w->setTextInteractionFlags(Qt::TextSelectableByMouse);
      return w;
    }
  }
  return new QWidget(parent);
}

// The font dialog preset with the label's font; the family the user picked is kept as its name,
// also when another face stands in for it on this machine.
void TEventDialog::ChooseFont() {
  const TFontChoice current = form_.Font();
  // The dialog lists installed faces only: it opens on the face that renders the label's
  // typeface here, and when the user keeps that face the typeface keeps its own name.
  QFont shown = FontOf(current);
  shown.setFamily(QFontInfo(shown).family());
  QFontDialog dialog(shown, this);
  dialog.setObjectName("FontDialog");
  dialog.setWindowTitle(Qs("フォント"));
  const QString shownFamily = dialog.currentFont().family();
  if (dialog.exec() != QDialog::Accepted) return;
  const QFont chosen = dialog.selectedFont();
  TFontChoice f;
  f.Name = chosen.family() == shownFamily ? current.Name : Utf8(chosen.family());
  f.Size = chosen.pointSize() > 0 ? chosen.pointSize() : current.Size;
  f.Style = StyleOf(chosen);
  Edit([&] { form_.SetFont(f); });
}

void TEventDialog::ShowForm() {
  showing_ = true;
  for (const TBound& b : bound_) {
    const TControlDesc& c = *b.Desc;
    QWidget* w = b.Widget;
    const QSignalBlocker block(w);
    switch (c.Kind) {
      case TControlKind::SpinEdit:
      case TControlKind::TimeSpin: {
        auto* field = static_cast<TNumberField*>(w);
        const TSpinField& f = form_.Spin(c.Name);
        field->setRange(static_cast<int>(f.Min()), static_cast<int>(std::max(f.Min(), f.Max())));
        // The field being typed in keeps its text and cursor when its value stays.
        if (field->value() != static_cast<int>(f.Value())) field->setValue(static_cast<int>(f.Value()));
        break;
      }
      case TControlKind::RadioButton:
        static_cast<QRadioButton*>(w)->setChecked(form_.Checked(c.Name));
        break;
      case TControlKind::ComboBox:
        static_cast<QComboBox*>(w)->setCurrentIndex(static_cast<int>(form_.ComboIndex(c.Name)));
        break;
      case TControlKind::FileEdit: {
        auto* edit = w->findChild<QLineEdit*>(Qs(c.Name));
        const QSignalBlocker blockEdit(edit);
        if (Utf8(edit->text()) != form_.Text(c.Name)) edit->setText(Qs(form_.Text(c.Name)));
        break;
      }
      case TControlKind::LineEdit: {
        auto* edit = static_cast<QLineEdit*>(w);
        if (Utf8(edit->text()) != form_.Text(c.Name)) edit->setText(Qs(form_.Text(c.Name)));
        break;
      }
      case TControlKind::Memo:
        if (EventText(memo_->toPlainText()) != form_.Text(c.Name)) memo_->setPlainText(MemoText(form_.Text(c.Name)));
        break;
      case TControlKind::ColorSwatch:
        static_cast<TColourSwatch*>(w)->SetColour(form_.Color(c.Name));
        break;
      case TControlKind::FontLabel: {
        QFont shown = FontOf(form_.Font());
        shown.setPointSize(std::min(kLabelPointLimit, shown.pointSize()));
        fontLabel_->setFont(shown);
        fontLabel_->setText(Qs(form_.Font().Name));
        break;
      }
      case TControlKind::ListView: {
        const std::vector<std::string>& names = form_.LayerNames();
        if (layers_->topLevelItemCount() != static_cast<int>(names.size())) {
          layers_->clear();
          for (const std::string& n : names)
            layers_->addTopLevelItem(new QTreeWidgetItem(QStringList{Qs(n)}));
        }
        const int row = form_.SelectedLayerRow();
        if (row >= 0 && row < layers_->topLevelItemCount()) layers_->setCurrentItem(layers_->topLevelItem(row));
        break;
      }
      default:
        break;
    }
  }
  // The memo writes in the chosen font and follows the alignment buttons; its text colour
  // does not follow the swatch.
  if (memo_) {
    const QSignalBlocker block(memo_);
    if (fontLabel_) memo_->setFont(FontOf(form_.Font()));
    if (const auto align = form_.RadioValue("Font.Align")) {
      const Qt::Alignment a = *align == 1 ? Qt::AlignHCenter : *align == 2 ? Qt::AlignRight : Qt::AlignLeft;
      QTextOption option = memo_->document()->defaultTextOption();
      if (option.alignment() != a) {
        option.setAlignment(a);
        memo_->document()->setDefaultTextOption(option);
        // Blocks already there keep their own format: align them too.
        QTextCursor all(memo_->document());
        all.select(QTextCursor::Document);
        QTextBlockFormat format;
        format.setAlignment(a);
        all.mergeBlockFormat(format);
      }
    }
  }
  showing_ = false;
}

void TEventDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Centred on the desktop.
  if (const QScreen* screen = this->screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
}

bool RunEventDialog(TEventForm& form, TEventDialogHost& host, QWidget* parent) {
  TEventDialog dialog(form, host, parent);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace vexa::ui
