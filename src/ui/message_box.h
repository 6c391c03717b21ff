// Message boxes as the program shows them: Japanese texts, the application title as caption,
// the standard buttons translated ("はい", "いいえ").
#pragma once

#include <string_view>

class QWidget;

namespace vexa::ui {

// A plain box with OK and no icon.
void ShowMessage(QWidget* parent, std::string_view text);
// An error box with OK: the reason of a failure that reached the user.
void ShowError(QWidget* parent, std::string_view text);
// Yes/No with the question icon; true for Yes.
bool AskYesNo(QWidget* parent, std::string_view text);
// A warning with "続行" and "キャンセル" (Esc), details behind the box's details button when
// given; true for "続行".
bool AskToContinue(QWidget* parent, std::string_view text, std::string_view details);

}  // namespace vexa::ui
