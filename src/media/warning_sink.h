// Where the media and sound code report what they worked around without failing: a damaged
// stretch of a sound file skipped, a file that ends early. The caller decides how to show it.
#pragma once

#include <string>

namespace vexa {

class TWarningSink {
 public:
  virtual ~TWarningSink() = default;
  // One line naming the file and what was done about it.
  virtual void Warn(const std::string& text) = 0;
};

}  // namespace vexa
