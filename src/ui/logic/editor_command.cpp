#include "ui/logic/editor_command.h"

#include <exception>

#include "ui/logic/project_document.h"

namespace vexa {

void TEditorCommand::Guarded(void (TEditorCommand::*step)(), bool forward) noexcept {
  doc_.BeginBatch();
  const uint64_t before = doc_.State();
  try {
    (this->*step)();
  } catch (const std::exception& e) {
    doc_.Notify({TNoticeKind::CommandFailed, {}, -1, 0, nullptr, nullptr, {}, e.what()});
  } catch (...) {
    doc_.Notify({TNoticeKind::CommandFailed, {}, -1, 0, nullptr, nullptr, {}, text_});
  }
  // Even a step that failed half-way may have changed the project: it counts as a change.
  if (stateAfter_ == 0) {
    stateBefore_ = before;
    stateAfter_ = doc_.NewState();
  }
  doc_.EnterState(forward ? stateAfter_ : stateBefore_);
  doc_.EndBatch();
}

void TEditorCommand::Do() noexcept {
  Guarded(&TEditorCommand::DoChange, true);
}

void TEditorCommand::Undo() noexcept {
  Guarded(&TEditorCommand::UndoChange, false);
}

TCompoundCommand::~TCompoundCommand() {
  // The newest first, as a history drops them.
  while (!parts_.empty())
    parts_.pop_back();
}

void TCompoundCommand::DoChange() {
  for (auto& part : parts_)
    part->Do();
}

void TCompoundCommand::UndoChange() {
  for (auto it = parts_.rbegin(); it != parts_.rend(); ++it)
    (*it)->Undo();
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
  // Kept first: those who hear of the change see it as the step to undo, as after Undo and Redo.
  commands_.push_back(std::move(command));
  index_ = commands_.size();
  commands_.back()->Do();
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
