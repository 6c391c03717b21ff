// The "範囲選択" buttons of the sound and movie dialogs: open the range selector on the
// dialog's file with the dialog's range, and take the range the selector shows back into the
// dialog's sample (or frame) fields, its range time fields and its end time, so that the event
// lasts exactly as long as the stretch plays at its own speed.
#pragma once

#include "ui/logic/dialog_prompt.h"
#include "ui/logic/event_form.h"

namespace vexa {

// Button_SampleSelectClick of the sound dialog; false when the selector did not run and the
// dialog's fields stayed as they were.
bool SampleSelectClick(TEventForm& form, TDialogUi& ui, TMediaAccess& media);
// Button_FrameSelectClick of the movie dialog; false when the movie could not be read and the
// dialog's fields stayed as they were.
bool FrameSelectClick(TEventForm& form, TDialogUi& ui, TMediaAccess& media);

}  // namespace vexa
