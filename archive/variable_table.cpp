#include "archive/variable_table.hpp"

void variable_table::set(const std::string& key, const std::string& value) {
  m_entries[key] = value;
}

bool variable_table::insert_if_absent(const std::string& key, const std::string& value) {
  return m_entries.emplace(key, value).second;
}

std::string variable_table::get(const std::string& key) {
  return m_entries[key];
}

const std::string* variable_table::find(const std::string& key) const {
  const entries_type::const_iterator found = m_entries.find(key);
  return found == m_entries.end() ? nullptr : &found->second;
}
