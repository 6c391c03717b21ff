// Message boxes as the program shows them: Japanese texts, the application title as caption,
// the standard buttons translated ("はい", "いいえ").
#pragma once

#include <string_view>

#include "ui/logic/user_prompt.h"

class QWidget;

namespace vexa::ui {

// A plain box with OK and no icon.
void ShowMessage(QWidget* parent, std::string_view text);
// An error box with OK: the reason of a failure that reached the user.
void ShowError(QWidget* parent, std::string_view text);
// Yes/No with the question icon; true for Yes.
bool AskYesNo(QWidget* parent, std::string_view text);

// The prompts of the editor's commands, answered with the boxes above.
class TQtUserPrompt : public TUserPrompt {
 public:
  explicit TQtUserPrompt(QWidget* parent) : parent_(parent) {}
  void Message(std::string_view text) override { ShowMessage(parent_, text); }
  bool Confirm(std::string_view text) override { return AskYesNo(parent_, text); }

 private:
  QWidget* parent_;
};

}  // namespace vexa::ui
