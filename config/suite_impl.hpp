#pragma once
// The suite settings record: the user's account data, the service and update end points, the
// update entries, the proxy settings and a few paths and names of the suite. Its persistent form
// is a Boost.Serialization XML archive (xml_oarchive / xml_iarchive) with one element per field,
// named after the field, in declaration order.
//
// Wide texts: the narrow XML archive writes them as UTF-8, but reads them back with std::mbrtowc,
// i.e. under the C library's LC_CTYPE. A program that loads records with non-ASCII wide text must
// run with a UTF-8 LC_CTYPE (on glibc e.g. setlocale(LC_CTYPE, "C.UTF-8")); msvcrt has no such
// locale, so a Windows build reads every non-ASCII character back as its separate UTF-8 bytes.
#include <cstdint>
#include <string>
#include <vector>

#include <boost/serialization/nvp.hpp>
#include <boost/serialization/split_member.hpp>
#include <boost/serialization/string.hpp>
#include <boost/serialization/vector.hpp>
#include <boost/serialization/version.hpp>

#include "config/proxy_impl.hpp"
#include "config/update_impl.hpp"

namespace config {

struct suite_impl {
  // The class version written today. Older archives lack the elements added since: version 0 has
  // no m_suite_name, m_parameters arrived with 2, m_login_parameters with 3, m_used_flag with 4.
  static constexpr std::uint32_t current_version = 4;

  std::wstring m_user_name;
  std::wstring m_user_site;
  std::vector<std::wstring> m_login_urls;
  std::int32_t m_login_success = 0;
  std::wstring m_machine_id;
  std::wstring m_user_id;
  std::int64_t m_last_synchronize_time = 0;
  std::wstring m_msg_system_data;
  std::wstring m_last_used_language;
  std::wstring m_product_id;
  std::wstring m_partner_id;
  std::wstring m_version;
  std::wstring m_suite_name;
  std::wstring m_suite_launcher_path;
  std::wstring m_suite_msgsys_path;
  std::wstring m_community_url;
  std::wstring m_service_name;
  std::wstring m_service_end_point;
  std::wstring m_update_end_point;
  std::wstring m_update_url;
  std::vector<update_impl> m_update_paths;
  proxy_impl m_proxy;
  std::string m_parameters;
  std::string m_login_parameters;
  bool m_used_flag = false;

  // Not written to the archive: the class version of the archive this record was last loaded
  // from. Saving always writes the current layout, so it sets this back to the current version;
  // that is why it may change while a const record is saved.
  mutable std::uint32_t m_archive_version = current_version;

  // Saving writes every element and announces the current version. Loading reads the elements of
  // the archive's version; a field the archive lacks keeps its value (version 0 archives, which
  // predate the suite name, give the name "Suite"). Boost's archive exceptions pass unchanged; a
  // load that fails leaves m_archive_version as it was. Defined for the XML archives only.
  template <class Archive>
  void save(Archive& archive, unsigned int version) const;
  template <class Archive>
  void load(Archive& archive, unsigned int version);
  BOOST_SERIALIZATION_SPLIT_MEMBER()
};

}  // namespace config

BOOST_CLASS_VERSION(config::suite_impl, config::suite_impl::current_version)
