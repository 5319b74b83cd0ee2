#include "config/update_impl.hpp"

#include <boost/archive/xml_iarchive.hpp>
#include <boost/archive/xml_oarchive.hpp>

namespace config {

template <class Archive>
void update_impl::serialize(Archive& archive, unsigned int /*version*/) {
  archive & BOOST_SERIALIZATION_NVP(m_name);
  archive & BOOST_SERIALIZATION_NVP(m_code);
  archive & BOOST_SERIALIZATION_NVP(m_local);
  archive & BOOST_SERIALIZATION_NVP(m_update_mode);
  archive & BOOST_SERIALIZATION_NVP(m_update_type);
}

template void update_impl::serialize(boost::archive::xml_oarchive&, unsigned int);
template void update_impl::serialize(boost::archive::xml_iarchive&, unsigned int);

}  // namespace config
