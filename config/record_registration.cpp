// The serializers of the settings records for both XML archive directions, created by static
// initialisation before the program's entry point runs and destroyed at exit. A program that
// never saves or loads a record (the installer) would otherwise not contain them at all, since
// Boost makes them on first use. Nothing refers to this file's object, so it is not put into the
// config_record archive but linked into every program that links config_record (CMakeLists.txt).
//
// Registration is by type identity only: no export key, so no class name goes into an archive.
#include <string>
#include <vector>

#include <boost/archive/detail/iserializer.hpp>
#include <boost/archive/detail/oserializer.hpp>
#include <boost/archive/xml_iarchive.hpp>
#include <boost/archive/xml_oarchive.hpp>
#include <boost/serialization/singleton.hpp>

#include "config/suite_impl.hpp"

namespace {

using boost::archive::xml_iarchive;
using boost::archive::xml_oarchive;
using boost::serialization::singleton;

template <class T>
void register_both_directions() {
  singleton<boost::archive::detail::oserializer<xml_oarchive, T>>::get_const_instance();
  singleton<boost::archive::detail::iserializer<xml_iarchive, T>>::get_const_instance();
}

struct record_serializers {
  record_serializers() {
    register_both_directions<config::suite_impl>();
    register_both_directions<config::proxy_impl>();
    register_both_directions<config::update_impl>();
    register_both_directions<std::vector<std::wstring>>();
    register_both_directions<std::vector<config::update_impl>>();
    // The suite record alone is also loaded through a pointer. There is deliberately no pointer
    // serializer for saving: its presence would switch on object tracking for the record and
    // change the archive's attributes.
    singleton<boost::archive::detail::pointer_iserializer<xml_iarchive, config::suite_impl>>::
        get_const_instance();
  }
};

const record_serializers the_record_serializers;

}  // namespace
