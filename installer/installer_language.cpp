#include "installer/installer_language.hpp"

#include "plinth/registry2/key.hpp"

std::string add_language(const std::string& parameters, const std::wstring& product_name) {
  try {
    std::string language;
    {
      // The product key closes before the root key, at the end of this block.
      const plinth::registry2::key root(HKEY_LOCAL_MACHINE);
      const plinth::registry2::key product =
          root.open(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + product_name);
      language = product.get_string(L"InstallerLanguage");
    }
    return put_language_first(parameters, language);
  } catch (...) {
    // The language is a convenience: without it the payload asks, so nothing is reported.
    return parameters;
  }
}
