#include "ui/form_relink.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ui/file_dialog.h"
#include "ui/logic/relink.h"
#include "ui/message_box.h"
#include "ui/qt_text.h"
#include "ui/slot_guard.h"

namespace vexa::ui {
namespace {

constexpr std::string_view kIntro = "次のメディアファイルが見つかりません。移動先のフォルダを検索するか、ファイルを指定してください。";
constexpr std::string_view kAnyFile = "すべてのファイル(*)|*";

}  // namespace

TForm_Relink::TForm_Relink(TRelinkForm& form, QWidget* parent) : QDialog(parent), form_(form) {
  setObjectName("TForm_Relink");
  setWindowTitle(Qs(relink_text::kTitle));
  setAccessibleName(Qs(relink_text::kTitle));
  auto* intro = new QLabel(Qs(kIntro), this);
  intro->setObjectName("Label_Intro");
  intro->setWordWrap(true);

  list_ = new QTreeWidget(this);
  list_->setObjectName("ListView_Missing");
  list_->setAccessibleName(Qs(relink_text::kTitle));
  list_->setRootIsDecorated(false);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setHeaderLabels({Qs("ファイル"), Qs("使用箇所")});
  list_->header()->resizeSection(0, 320);
  intro->setBuddy(list_);

  auto* search = new QPushButton(Qs(relink_text::kSearchFolder), this);
  search->setObjectName("Button_SearchFolder");
  search->setAccessibleName(Qs(relink_text::kSearchFolder));
  relinkFile_ = new QPushButton(Qs(relink_text::kRelinkFile), this);
  relinkFile_->setObjectName("Button_RelinkFile");
  relinkFile_->setAccessibleName(Qs(relink_text::kRelinkFile));
  auto* close = new QPushButton(Qs("閉じる"), this);
  close->setObjectName("Button_Close");
  close->setAccessibleName(Qs("閉じる"));
  close->setDefault(true);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(search);
  buttons->addWidget(relinkFile_);
  buttons->addStretch(1);
  buttons->addWidget(close);
  auto* column = new QVBoxLayout(this);
  column->addWidget(intro);
  column->addWidget(list_, 1);
  column->addLayout(buttons);
  resize(640, 320);

  connect(search, &QPushButton::clicked, this, [this] { Guarded(this, [&] { SearchFolder(); }); });
  connect(relinkFile_, &QPushButton::clicked, this, [this] { Guarded(this, [&] { RelinkFile(); }); });
  connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { Guarded(this, [&] { RelinkFile(); }); });
  connect(list_, &QTreeWidget::itemSelectionChanged, this,
          [this] { relinkFile_->setEnabled(!list_->selectedItems().isEmpty()); });
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  ShowRows();
}

void TForm_Relink::ShowRows() {
  list_->clear();
  for (const TMissingMedia& m : form_.Missing()) {
    auto* item = new QTreeWidgetItem(list_, {Qs(m.Path), Qs(TRelinkForm::UseText(m))});
    item->setToolTip(0, Qs(m.Path));
  }
  if (list_->topLevelItemCount() > 0) list_->setCurrentItem(list_->topLevelItem(0));
  relinkFile_->setEnabled(!list_->selectedItems().isEmpty());
  // Nothing left to relink: the dialog has done its work.
  if (form_.Missing().empty()) accept();
}

void TForm_Relink::SearchFolder() {
  const auto folder = ChooseFolder(this, {relink_text::kSearchFolderTitle, {}, "FolderDialog_Relink"});
  if (!folder) return;
  if (form_.SearchFolder(*folder) == 0) ShowMessage(this, relink_text::kNothingFound);
  ShowRows();
}

void TForm_Relink::RelinkFile() {
  const int row = list_->indexOfTopLevelItem(list_->currentItem());
  if (row < 0) return;
  const auto file = ChooseOpenFile(this, {relink_text::kRelinkFile, kAnyFile, "OpenDialog_Relink"});
  if (!file) return;
  form_.RelinkFile(static_cast<size_t>(row), *file);
  ShowRows();
}

}  // namespace vexa::ui
