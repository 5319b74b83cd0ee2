#include "installer/installer_language.hpp"

std::string put_language_first(const std::string& parameters, const std::string& language) {
  // A lower-case /l (as in the MSI log option /l*v) is another switch and does not count.
  if (language.empty() || parameters.find("/L") != std::string::npos) return parameters;
  return "/L" + language + " " + parameters;
}
