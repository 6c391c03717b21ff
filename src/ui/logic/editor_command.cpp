#include "ui/logic/editor_command.h"

#include <exception>

#include "ui/logic/project_document.h"

namespace vexa {

void TEditorCommand::Guarded(void (TEditorCommand::*step)()) noexcept {
  doc_.BeginBatch();
  try {
    (this->*step)();
  } catch (const std::exception& e) {
    doc_.Notify({TNoticeKind::CommandFailed, {}, -1, 0, nullptr, nullptr, {}, e.what()});
  } catch (...) {
    doc_.Notify({TNoticeKind::CommandFailed, {}, -1, 0, nullptr, nullptr, {}, text_});
  }
  doc_.EndBatch();
}

void TEditorCommand::Do() noexcept {
  Guarded(&TEditorCommand::DoChange);
}

void TEditorCommand::Undo() noexcept {
  Guarded(&TEditorCommand::UndoChange);
}

void TSnapshotCommand::DoChange() {
  if (!done_) {
    before_ = doc_.Snapshot();
    First();
    after_ = doc_.Snapshot();
    done_ = true;
    return;
  }
  Forward();
  doc_.Restore(after_);
  doc_.RefreshEvents(changed_);
}

void TSnapshotCommand::UndoChange() {
  Backward();
  doc_.Restore(before_);
  doc_.RefreshEvents(changed_);
}

void TCommandHistory::Push(std::unique_ptr<TEditorCommand> command) {
  DropFrom(index_);
  command->Do();
  commands_.push_back(std::move(command));
  index_ = commands_.size();
}

void TCommandHistory::Undo() {
  if (!CanUndo()) return;
  commands_[--index_]->Undo();
}

void TCommandHistory::Redo() {
  if (!CanRedo()) return;
  commands_[index_++]->Do();
}

void TCommandHistory::Clear() {
  DropFrom(0);
  index_ = 0;
}

void TCommandHistory::DropFrom(size_t index) {
  // The newest first: a later command may hold what an earlier one refers to.
  while (commands_.size() > index)
    commands_.pop_back();
}

}  // namespace vexa
