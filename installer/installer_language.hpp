#pragma once
// The language a product was installed in before, put in front of the payload's parameters as a
// /L switch, so that a repeated installation or an update runs in the same language unasked.
#include <string>

// The expanded payload parameters with "/L" + the language recorded in the product's uninstall
// registration and a blank in front. The language is the value "InstallerLanguage" of
// HKEY_LOCAL_MACHINE SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\<product name>. Any
// failure to read it (key or value missing, not a string, not in the ANSI code page) leaves the
// parameters as they are; it never throws and reports nothing.
std::string add_language(const std::string& parameters, const std::wstring& product_name);

// The rule alone: "/L" + language + " " + parameters, unless the language is empty or the
// parameters already hold a "/L" (exact case, anywhere: the user's own choice wins).
std::string put_language_first(const std::string& parameters, const std::string& language);
