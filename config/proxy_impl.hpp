#pragma once
// The proxy settings of the suite, a part of the suite settings record.
#include <cstdint>
#include <string>

#include <boost/serialization/nvp.hpp>
#include <boost/serialization/string.hpp>

namespace config {

struct proxy_impl {
  bool m_proxy_enabled = false;
  std::wstring m_proxy_server;
  std::uint16_t m_proxy_port = 0;

  // Defined for the XML archives only (proxy_impl.cpp): the record has no other persistent form.
  template <class Archive>
  void serialize(Archive& archive, unsigned int version);
};

}  // namespace config
