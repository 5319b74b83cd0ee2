// This program never saves or loads a record itself: every serializer found here was made before
// main by the registration object that linking config_record brings along.
#include <string>
#include <typeinfo>
#include <vector>

#include <boost/archive/detail/archive_serializer_map.hpp>
#include <boost/archive/xml_iarchive.hpp>
#include <boost/serialization/extended_type_info_typeid.hpp>
#include <gtest/gtest.h>

#include "config/suite_impl.hpp"

namespace {

// Asks Boost's registry of type records whether one exists for a type, without making one as
// extended_type_info_typeid<T>::get_const_instance() would. The serializers' constructors make
// them, so in this program a type is known exactly when its serializers were registered.
class type_registry_probe : public boost::serialization::typeid_system::extended_type_info_typeid_0 {
 public:
  type_registry_probe() : extended_type_info_typeid_0(nullptr) {}
  bool knows(const std::type_info& type) const { return get_extended_type_info(type) != nullptr; }

 private:
  void* construct(unsigned int, ...) const override { return nullptr; }
  void destroy(const void*) const override {}
};

TEST(record_registration, serializers_exist_before_main) {
  const type_registry_probe probe;
  EXPECT_TRUE(probe.knows(typeid(config::suite_impl)));
  EXPECT_TRUE(probe.knows(typeid(config::proxy_impl)));
  EXPECT_TRUE(probe.knows(typeid(config::update_impl)));
  EXPECT_TRUE(probe.knows(typeid(std::vector<std::wstring>)));
  EXPECT_TRUE(probe.knows(typeid(std::vector<config::update_impl>)));
  EXPECT_FALSE(probe.knows(typeid(std::vector<int>)));

  // Pointer serializers enter the archive's map; the suite record is loaded through a pointer.
  const auto& suite_type =
      boost::serialization::singleton<boost::serialization::extended_type_info_typeid<config::suite_impl>>::
          get_const_instance();
  EXPECT_NE(nullptr, boost::archive::detail::archive_serializer_map<boost::archive::xml_iarchive>::find(suite_type));
}

}  // namespace
