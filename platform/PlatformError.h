#pragma once
// The error every platform stand-in throws when the system refuses what it
// needs (an unsafe endpoint folder, a socket that cannot be bound).

#include <stdexcept>

namespace perch {

class TPlatformError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace perch
