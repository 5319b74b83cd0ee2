#include "plinth/log/generic.hpp"

namespace plinth {
namespace log {

generic::generic(const std::string& message) : plinth::exception(message) { append_kind("log"); }

}  // namespace log
}  // namespace plinth
