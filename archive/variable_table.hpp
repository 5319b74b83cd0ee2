#pragma once
// The run's named texts: set by the driver, added to by the archive, read back by the driver and
// by the %name% expansion. Keys are raw byte strings compared byte for byte as unsigned values.
#include <map>
#include <string>

class variable_table {
 public:
  using entries_type = std::map<std::string, std::string>;

  // Inserts the key, or replaces its value.
  void set(const std::string& key, const std::string& value);
  // Inserts the key only when it is absent; an existing value is never replaced. True when
  // inserted.
  bool insert_if_absent(const std::string& key, const std::string& value);
  // The key's value; an absent key is added with an empty value.
  std::string get(const std::string& key);
  // The value stored under exactly this key, or null; never inserts.
  const std::string* find(const std::string& key) const;

  // Every pair in key order, for listing.
  const entries_type& entries() const { return m_entries; }

 private:
  // std::string compares through char_traits<char>, which orders bytes as unsigned char: the
  // order the keys need without a comparator of our own.
  entries_type m_entries;
};
