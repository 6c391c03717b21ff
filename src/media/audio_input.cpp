#include "media/audio_input.h"

namespace vexa {

void TAuInput::Init() {
  std::lock_guard<std::mutex> hold(Lock);
  DoInit();
}

void TAuInput::GetData(const uint8_t*& buffer, size_t& bytes) {
  std::lock_guard<std::mutex> hold(Lock);
  DoGetData(buffer, bytes);
}

void TAuInput::Flush() {
  std::lock_guard<std::mutex> hold(Lock);
  DoFlush();
}

std::string TAuInput::Error() const {
  std::lock_guard<std::mutex> hold(Lock);
  return ErrorText;
}

std::string TAuInput::Warning() const {
  std::lock_guard<std::mutex> hold(Lock);
  return WarningText;
}

void TAuInput::SetWarning(std::string message) {
  if (WarningText.empty()) WarningText = std::move(message);
}

void TAuInput::SetError(std::string message) {
  // The first reason is the useful one; later failures follow from it.
  if (ErrorText.empty()) ErrorText = std::move(message);
}

}  // namespace vexa
