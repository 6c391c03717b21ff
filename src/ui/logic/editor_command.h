// Every change to the open project is one command: it knows how to do itself again and how to
// undo itself, and names the step for an undo history. Commands work on the document only and
// report through its notices; they own nothing of the user interface.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/events.h"
#include "ui/logic/document_notice.h"
#include "ui/logic/row_model.h"

namespace vexa {

class TProjectDocument;

class TEditorCommand {
 public:
  TEditorCommand(TProjectDocument& doc, std::string text) : doc_(doc), text_(std::move(text)) {}
  virtual ~TEditorCommand() = default;
  TEditorCommand(const TEditorCommand&) = delete;
  TEditorCommand& operator=(const TEditorCommand&) = delete;

  // The step's name ("貼り付け", "レイヤーの削除" ...).
  const std::string& Text() const { return text_; }

  // Does the change: the first time as the user asked for it, afterwards exactly again.
  // Undo brings back the state before it, rows and selection included. Neither throws: a
  // failure reaches the views as a CommandFailed notice. The notices of one call form a batch.
  void Do() noexcept;
  void Undo() noexcept;

 protected:
  virtual void DoChange() = 0;
  virtual void UndoChange() = 0;

  TProjectDocument& doc_;

 private:
  void Guarded(void (TEditorCommand::*step)(), bool forward) noexcept;
  std::string text_;
  // The document's states before and after the command (0 until its first Do): undoing and
  // doing it again moves the document between the two, which is how it knows whether the
  // project differs from its files.
  uint64_t stateBefore_ = 0, stateAfter_ = 0;
};

// Several commands as one step: done in order, undone in the reverse order.
class TCompoundCommand : public TEditorCommand {
 public:
  TCompoundCommand(TProjectDocument& doc, std::string text, std::vector<std::unique_ptr<TEditorCommand>> parts)
      : TEditorCommand(doc, std::move(text)), parts_(std::move(parts)) {}
  ~TCompoundCommand() override;

 private:
  void DoChange() override;
  void UndoChange() override;
  std::vector<std::unique_ptr<TEditorCommand>> parts_;
};

// The rows, selection and focus of one view at one moment.
struct TViewState {
  TViewId View;
  std::vector<TLayerRow> LayerRows;  // layer views
  std::vector<TEvent*> Events;       // event views, in row order
  std::vector<int> Selected;
  int Focused = -1;
  bool Enabled = true;
};
// The EventNumber of every event of one layer at one moment. Selecting a layer fills its views,
// which renumbers its events (and their files record the numbers) without any command; an
// exact undo puts them back too.
struct TLayerNumbers {
  std::vector<std::pair<TEvent*, uint32_t>> Numbers;
};
struct TSnapshot {
  std::vector<std::shared_ptr<const TViewState>> Views;
  std::vector<std::shared_ptr<const TLayerNumbers>> Numbers;  // one per layer of the project
};

// A command whose undo puts the views back from snapshots. The first Do makes the change as the user asked (rows and notices as
// the menus describe); Undo and later Do's change the project back and forth and put the rows,
// selections and focus of all views back as they were before and after the first Do. All
// views, not just the tab's: selecting a layer refills its views and renumbers their events,
// which their files record, so an exact undo puts the other tab back as well.
class TSnapshotCommand : public TEditorCommand {
 protected:
  TSnapshotCommand(TProjectDocument& doc, std::string text) : TEditorCommand(doc, std::move(text)) {}

  virtual void First() = 0;     // the change with its rows, the first time
  virtual void Forward() = 0;   // the project's side of it again
  virtual void Backward() = 0;  // the project's side of it undone

  // Events whose values the command changes; their rows are described again after a restore.
  std::vector<TEvent*> changed_;

 private:
  void DoChange() final;
  void UndoChange() final;

  bool done_ = false;
  TSnapshot before_, after_;
};

// A plain undo history for the document and the tests; the editor may hand its commands to
// another (QUndoStack) through TProjectDocument::SetCommandSink.
class TCommandHistory {
 public:
  // Does the command and keeps it; commands undone before are dropped.
  void Push(std::unique_ptr<TEditorCommand> command);
  bool CanUndo() const { return index_ > 0; }
  bool CanRedo() const { return index_ < commands_.size(); }
  void Undo();
  void Redo();
  std::string UndoText() const { return CanUndo() ? commands_[index_ - 1]->Text() : std::string(); }
  std::string RedoText() const { return CanRedo() ? commands_[index_]->Text() : std::string(); }
  size_t Count() const { return commands_.size(); }
  void Clear();
  ~TCommandHistory() { Clear(); }

 private:
  void DropFrom(size_t index);
  std::vector<std::unique_ptr<TEditorCommand>> commands_;
  size_t index_ = 0;
};

}  // namespace vexa
