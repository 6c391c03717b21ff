// The open and save dialogs. Titles and filters come in the program's own notation,
// "プロジェクトファイル(*.vxpj)|*.vxpj": pairs of a description and its patterns separated by "|",
// several patterns of one pair separated by ";".
#pragma once

#include <QStringList>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QWidget;

namespace vexa::ui {

// Qt's filter list for a filter in the program's notation.
QStringList QtNameFilters(std::string_view filter);

// What a dialog shows: its title, the filter, its object name (for tests and accessibility).
struct TFileDialogText {
  std::string_view Title;
  std::string_view Filter;
  std::string_view ObjectName;
};

// One existing file, or nothing when cancelled.
std::optional<std::string> ChooseOpenFile(QWidget* parent, const TFileDialogText& text);
// Several existing files, empty when cancelled.
std::vector<std::string> ChooseOpenFiles(QWidget* parent, const TFileDialogText& text);
// A name to save under, asking before an existing file is overwritten; proposed is the name
// the dialog starts with (a bare name or a path).
std::optional<std::string> ChooseSaveFile(QWidget* parent, const TFileDialogText& text,
                                          const std::string& proposed);

// An existing folder, or nothing when cancelled (the filter is not used).
std::optional<std::string> ChooseFolder(QWidget* parent, const TFileDialogText& text);

}  // namespace vexa::ui
