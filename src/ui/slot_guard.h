// No exception may leave a Qt slot or event handler: Qt's event loop is not written for it.
// Every slot of the editor runs its work through Guarded, which shows what went wrong in an
// error box; TGuardedApplication catches what an event handler let through all the same.
#pragma once

#include <QApplication>
#include <exception>
#include <utility>

namespace vexa::ui {

// Shows the error of the exception being handled (call only inside a catch block).
void ShowCurrentException(QWidget* parent) noexcept;

template <class F>
void Guarded(QWidget* parent, F&& work) noexcept {
  try {
    std::forward<F>(work)();
  } catch (...) {
    ShowCurrentException(parent);
  }
}

class TGuardedApplication : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace vexa::ui
