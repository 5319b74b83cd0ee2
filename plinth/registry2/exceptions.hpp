#pragma once
// Failures of the registry library. type_mismatch and size_mismatch derive from generic, not from
// value_error: a caller that treats a missing value as normal still hears about a value of the
// wrong shape.
#include <string>

#include "plinth/exception.hpp"

namespace plinth {
namespace registry2 {

class generic : public plinth::exception {
 public:
  explicit generic(const std::string& message);
  generic(const generic& other) = default;
};

// A key cannot be opened.
class key_error : public generic {
 public:
  explicit key_error(const std::string& message);
  key_error(const key_error& other) = default;
};

// A value does not exist, cannot be read or cannot be written.
class value_error : public generic {
 public:
  explicit value_error(const std::string& message);
  value_error(const value_error& other) = default;
};

// A value exists but is not a string (REG_SZ or REG_EXPAND_SZ).
class type_mismatch : public generic {
 public:
  explicit type_mismatch(const std::string& message);
  type_mismatch(const type_mismatch& other) = default;
};

// The data read back is not of the size announced for it: the value changed in between.
class size_mismatch : public generic {
 public:
  explicit size_mismatch(const std::string& message);
  size_mismatch(const size_mismatch& other) = default;
};

}  // namespace registry2
}  // namespace plinth
