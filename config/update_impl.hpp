#pragma once
// One update entry of the suite settings record.
#include <cstdint>
#include <string>

#include <boost/serialization/nvp.hpp>
#include <boost/serialization/string.hpp>

namespace config {

struct update_impl {
  std::wstring m_name;
  std::wstring m_code;
  std::wstring m_local;
  // Entries are normally made by loading, which sets both; one made in memory starts at 0 so that
  // saving it never writes an indeterminate value.
  std::int32_t m_update_mode = 0;
  std::int32_t m_update_type = 0;

  // Defined for the XML archives only (update_impl.cpp).
  template <class Archive>
  void serialize(Archive& archive, unsigned int version);
};

}  // namespace config
