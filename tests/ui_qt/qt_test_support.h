// Shared by the window tests: the application set up as the editor sets it up, and a way to
// answer the modal dialog that a command is about to open.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <vector>

#include "ui/app_look.h"
#include "ui/slot_guard.h"

namespace vexa::test {

// Waits (without blocking the event loop) for a modal window to open and hands it to answer.
// Call before the command that opens it; the answer runs inside the dialog's own loop.
inline void WhenModalOpens(std::function<void(QWidget*)> answer, int attemptsLeft = 500) {
  QTimer::singleShot(10, qApp, [answer = std::move(answer), attemptsLeft]() mutable {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      answer(modal);
    } else if (attemptsLeft > 0) {
      WhenModalOpens(std::move(answer), attemptsLeft - 1);
    }
  });
}

// Clicks the button of a message box whose text is caption ("はい", "いいえ", "OK").
inline void ClickMessageButton(QWidget* modal, const QString& caption) {
  auto* box = qobject_cast<QMessageBox*>(modal);
  QVERIFY2(box, "a message box was expected");
  for (QAbstractButton* b : box->buttons()) {
    if (b->text().remove('&').startsWith(caption)) {
      b->click();
      return;
    }
  }
  QFAIL(qPrintable("no button " + caption));
}

using TAnswer = std::function<void(QWidget*)>;

// Answers the next modal windows in turn: each answer waits for a modal other than the one
// answered before it. A busy machine may take seconds to open one: a minute is allowed.
inline void AnswerInTurn(std::vector<TAnswer> answers, QPointer<QWidget> previous = nullptr,
                         int attemptsLeft = 6000) {
  if (answers.empty()) return;
  QTimer::singleShot(10, qApp, [answers = std::move(answers), previous, attemptsLeft]() mutable {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == previous) {
      if (attemptsLeft > 0) AnswerInTurn(std::move(answers), previous, attemptsLeft - 1);
      return;
    }
    TAnswer first = std::move(answers.front());
    answers.erase(answers.begin());
    AnswerInTurn(std::move(answers), modal);
    first(modal);
  });
}

// The answer that clicks a message box's button.
inline TAnswer Click(const QString& caption) {
  return [caption](QWidget* box) { ClickMessageButton(box, caption); };
}

}  // namespace vexa::test

// main() of a window test: the application set up as vexa-studio sets it up.
#define VEXA_QT_TEST_MAIN(TestClass)                 \
  int main(int argc, char** argv) {                  \
    vexa::ui::TGuardedApplication app(argc, argv);   \
    vexa::ui::SetUpApplication(app);                 \
    TestClass test;                                  \
    return QTest::qExec(&test, argc, argv);          \
  }
