// Failures of the sound render that the user is told about: the message says what and why.
#pragma once

#include <stdexcept>

namespace vexa {

class ESoundError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace vexa
