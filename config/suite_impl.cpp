#include "config/suite_impl.hpp"

#include <boost/archive/xml_iarchive.hpp>
#include <boost/archive/xml_oarchive.hpp>

namespace config {

template <class Archive>
void suite_impl::save(Archive& archive, unsigned int /*version*/) const {
  archive << BOOST_SERIALIZATION_NVP(m_user_name);
  archive << BOOST_SERIALIZATION_NVP(m_user_site);
  archive << BOOST_SERIALIZATION_NVP(m_login_urls);
  archive << BOOST_SERIALIZATION_NVP(m_login_success);
  archive << BOOST_SERIALIZATION_NVP(m_machine_id);
  archive << BOOST_SERIALIZATION_NVP(m_user_id);
  archive << BOOST_SERIALIZATION_NVP(m_last_synchronize_time);
  archive << BOOST_SERIALIZATION_NVP(m_msg_system_data);
  archive << BOOST_SERIALIZATION_NVP(m_last_used_language);
  archive << BOOST_SERIALIZATION_NVP(m_product_id);
  archive << BOOST_SERIALIZATION_NVP(m_partner_id);
  archive << BOOST_SERIALIZATION_NVP(m_version);
  archive << BOOST_SERIALIZATION_NVP(m_suite_name);
  archive << BOOST_SERIALIZATION_NVP(m_suite_launcher_path);
  archive << BOOST_SERIALIZATION_NVP(m_suite_msgsys_path);
  archive << BOOST_SERIALIZATION_NVP(m_community_url);
  archive << BOOST_SERIALIZATION_NVP(m_service_name);
  archive << BOOST_SERIALIZATION_NVP(m_service_end_point);
  archive << BOOST_SERIALIZATION_NVP(m_update_end_point);
  archive << BOOST_SERIALIZATION_NVP(m_update_url);
  archive << BOOST_SERIALIZATION_NVP(m_update_paths);
  archive << BOOST_SERIALIZATION_NVP(m_proxy);
  // Every element, whatever layout the record was loaded from: the archive announces the current
  // version, so leaving out an element of it would write an archive that does not load back.
  archive << BOOST_SERIALIZATION_NVP(m_parameters);
  archive << BOOST_SERIALIZATION_NVP(m_login_parameters);
  archive << BOOST_SERIALIZATION_NVP(m_used_flag);
  // Written only when it differs, so that saving a current record never writes to it.
  if (m_archive_version != current_version) {
    m_archive_version = current_version;
  }
}

template <class Archive>
void suite_impl::load(Archive& archive, unsigned int version) {
  archive >> BOOST_SERIALIZATION_NVP(m_user_name);
  archive >> BOOST_SERIALIZATION_NVP(m_user_site);
  archive >> BOOST_SERIALIZATION_NVP(m_login_urls);
  archive >> BOOST_SERIALIZATION_NVP(m_login_success);
  archive >> BOOST_SERIALIZATION_NVP(m_machine_id);
  archive >> BOOST_SERIALIZATION_NVP(m_user_id);
  archive >> BOOST_SERIALIZATION_NVP(m_last_synchronize_time);
  archive >> BOOST_SERIALIZATION_NVP(m_msg_system_data);
  archive >> BOOST_SERIALIZATION_NVP(m_last_used_language);
  archive >> BOOST_SERIALIZATION_NVP(m_product_id);
  archive >> BOOST_SERIALIZATION_NVP(m_partner_id);
  archive >> BOOST_SERIALIZATION_NVP(m_version);
  // Boost has already refused versions above the current one, so 0 to 4 remain here.
  if (version >= 1) {
    archive >> BOOST_SERIALIZATION_NVP(m_suite_name);
  } else {
    m_suite_name = L"Suite";  // version 0 archives predate the element
  }
  archive >> BOOST_SERIALIZATION_NVP(m_suite_launcher_path);
  archive >> BOOST_SERIALIZATION_NVP(m_suite_msgsys_path);
  archive >> BOOST_SERIALIZATION_NVP(m_community_url);
  archive >> BOOST_SERIALIZATION_NVP(m_service_name);
  archive >> BOOST_SERIALIZATION_NVP(m_service_end_point);
  archive >> BOOST_SERIALIZATION_NVP(m_update_end_point);
  archive >> BOOST_SERIALIZATION_NVP(m_update_url);
  archive >> BOOST_SERIALIZATION_NVP(m_update_paths);
  archive >> BOOST_SERIALIZATION_NVP(m_proxy);
  if (version >= 2) {
    archive >> BOOST_SERIALIZATION_NVP(m_parameters);
  }
  if (version >= 3) {
    archive >> BOOST_SERIALIZATION_NVP(m_login_parameters);
  }
  if (version >= 4) {
    archive >> BOOST_SERIALIZATION_NVP(m_used_flag);
  }
  m_archive_version = version;
}

template void suite_impl::save(boost::archive::xml_oarchive&, unsigned int) const;
template void suite_impl::load(boost::archive::xml_iarchive&, unsigned int);

}  // namespace config
