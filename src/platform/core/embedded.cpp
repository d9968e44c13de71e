// The store of files compiled into the executable, looked up by the name they were registered under.
#include <map>

#include "platform/core/core.h"

namespace platform {
namespace {

std::map<std::string, std::span<const unsigned char>, std::less<>> &store() {
    static std::map<std::string, std::span<const unsigned char>, std::less<>> s;
    return s;
}

}  // namespace

std::span<const unsigned char> embedded_file(std::string_view name) {
    auto it = store().find(name);
    return it == store().end() ? std::span<const unsigned char>{} : it->second;
}

void reset_embedded() { store().clear(); }

}  // namespace platform

void register_embedded(std::string_view name, const unsigned char *bytes, std::size_t size) {
    if (!bytes) size = 0;
    platform::store()[std::string(name)] = std::span<const unsigned char>(bytes, size);
}
