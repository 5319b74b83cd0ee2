#include "plinth/registry2/exceptions.hpp"

namespace plinth {
namespace registry2 {

generic::generic(const std::string& message) : plinth::exception(message) { append_kind("registry2"); }

key_error::key_error(const std::string& message) : generic(message) { append_kind("key_error"); }

value_error::value_error(const std::string& message) : generic(message) { append_kind("value_error"); }

type_mismatch::type_mismatch(const std::string& message) : generic(message) { append_kind("type_mismatch"); }

size_mismatch::size_mismatch(const std::string& message) : generic(message) { append_kind("size_mismatch"); }

}  // namespace registry2
}  // namespace plinth
