#include "ui/slot_guard.h"

#include <new>
#include <string>

#include "persist/persist_error.h"
#include "ui/message_box.h"

namespace vexa::ui {

void ShowCurrentException(QWidget* parent) noexcept {
  std::string text;
  try {
    throw;
  } catch (const std::bad_alloc&) {
    text = "メモリが不足しています。";
  } catch (const TPersistError& e) {
    // A file error names its file, once.
    text = e.what();
    if (!e.Path().empty() && text.find(e.Path()) == std::string::npos) text = e.Path() + "\n" + text;
  } catch (const std::exception& e) {
    text = e.what();
  } catch (...) {
    text = "不明なエラーが発生しました。";
  }
  try {
    ShowError(parent, text);
  } catch (...) {
    // Nothing is left to report with.
  }
}

bool TGuardedApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    ShowCurrentException(activeWindow());
    return false;
  }
}

}  // namespace vexa::ui
