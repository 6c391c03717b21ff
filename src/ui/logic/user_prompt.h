// What the editor's commands ask of the window that runs them: message boxes, confirmations,
// modal dialogs and the refreshing of rows. The widgets implement it; tests script it.
#pragma once

#include <string_view>

namespace vexa {

struct TEvent;
class TEventAdjustForm;

class TUserPrompt {
 public:
  virtual ~TUserPrompt() = default;
  // A plain message box with OK.
  virtual void Message(std::string_view text) = 0;
  // A Yes/No box with the confirmation icon; true for Yes.
  virtual bool Confirm(std::string_view text) = 0;
};

class TEventCommandUi : public TUserPrompt {
 public:
  // Shows the time adjustment dialog modally on the form; true when it closed with OK.
  virtual bool ShowAdjustDialog(TEventAdjustForm& form) = 0;
  // The event changed: its row is described again. Calls made by one command arrive as one
  // batch, so the view may suspend its updates around the command.
  virtual void RefreshRow(TEvent& event) = 0;
  // The order of the view's events changed: the view is filled again from its layer.
  virtual void RefillView() = 0;
};

}  // namespace vexa
