#include "config/proxy_impl.hpp"

#include <boost/archive/xml_iarchive.hpp>
#include <boost/archive/xml_oarchive.hpp>

namespace config {

template <class Archive>
void proxy_impl::serialize(Archive& archive, unsigned int /*version*/) {
  archive & BOOST_SERIALIZATION_NVP(m_proxy_enabled);
  archive & BOOST_SERIALIZATION_NVP(m_proxy_server);
  archive & BOOST_SERIALIZATION_NVP(m_proxy_port);
}

template void proxy_impl::serialize(boost::archive::xml_oarchive&, unsigned int);
template void proxy_impl::serialize(boost::archive::xml_iarchive&, unsigned int);

}  // namespace config
