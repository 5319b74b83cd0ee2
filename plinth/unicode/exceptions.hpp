#pragma once
// Failures of the code-page conversions. Each carries an empty message: the kind path alone
// ("unicode.invalid_codepage") tells them apart.
#include "plinth/exception.hpp"

namespace plinth {
namespace unicode {

class generic : public plinth::exception {
 public:
  explicit generic(const std::string& message = std::string());
  generic(const generic& other) = default;
};

class out_of_memory : public generic {
 public:
  explicit out_of_memory(const std::string& message = std::string());
  out_of_memory(const out_of_memory& other) = default;
};

class invalid_codepage : public generic {
 public:
  explicit invalid_codepage(const std::string& message = std::string());
  invalid_codepage(const invalid_codepage& other) = default;
};

class unmappable_character : public generic {
 public:
  explicit unmappable_character(const std::string& message = std::string());
  unmappable_character(const unmappable_character& other) = default;
};

}  // namespace unicode
}  // namespace plinth
