#include "ui/file_dialog.h"

#include <QFileDialog>
#include <QFileInfo>

#include "ui/qt_text.h"

namespace vexa::ui {
namespace {

std::vector<std::string> Run(QWidget* parent, const TFileDialogText& text, QFileDialog::FileMode mode,
                             QFileDialog::AcceptMode accept, const std::string& proposed) {
  QFileDialog dialog(parent, Qs(text.Title));
  dialog.setObjectName(Qs(text.ObjectName));
  dialog.setAccessibleName(Qs(text.Title));
  if (mode == QFileDialog::Directory)
    dialog.setOption(QFileDialog::ShowDirsOnly);
  else
    dialog.setNameFilters(QtNameFilters(text.Filter));
  dialog.setFileMode(mode);
  dialog.setAcceptMode(accept);
  if (!proposed.empty()) {
    const QFileInfo info(Qs(proposed));
    if (info.isAbsolute()) dialog.setDirectory(info.absolutePath());
    dialog.selectFile(info.fileName());
  }
  std::vector<std::string> chosen;
  if (dialog.exec() != QDialog::Accepted) return chosen;
  for (const QString& f : dialog.selectedFiles())
    chosen.push_back(Utf8(f));
  return chosen;
}

}  // namespace

QStringList QtNameFilters(std::string_view filter) {
  const QStringList parts = Qs(filter).split('|');
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i].trimmed();
    const QString patterns = parts[i + 1].trimmed().replace(';', ' ');
    // Qt reads the patterns from the last bracket of the entry; a description that already
    // ends in them is used as it is.
    if (!description.endsWith('(' + patterns + ')')) description += " (" + patterns + ')';
    out << description;
  }
  return out;
}

std::optional<std::string> ChooseOpenFile(QWidget* parent, const TFileDialogText& text) {
  auto files = Run(parent, text, QFileDialog::ExistingFile, QFileDialog::AcceptOpen, {});
  if (files.empty()) return std::nullopt;
  return files.front();
}

std::vector<std::string> ChooseOpenFiles(QWidget* parent, const TFileDialogText& text) {
  return Run(parent, text, QFileDialog::ExistingFiles, QFileDialog::AcceptOpen, {});
}

std::optional<std::string> ChooseSaveFile(QWidget* parent, const TFileDialogText& text,
                                          const std::string& proposed) {
  auto files = Run(parent, text, QFileDialog::AnyFile, QFileDialog::AcceptSave, proposed);
  if (files.empty()) return std::nullopt;
  return files.front();
}

std::optional<std::string> ChooseFolder(QWidget* parent, const TFileDialogText& text) {
  auto folders = Run(parent, text, QFileDialog::Directory, QFileDialog::AcceptOpen, {});
  if (folders.empty()) return std::nullopt;
  return folders.front();
}

}  // namespace vexa::ui
