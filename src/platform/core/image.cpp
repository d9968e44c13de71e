// The image store: records kept in the order they were made, an image's id being its place plus one.
#include "platform/core/image.h"

#include <memory>

namespace platform {
namespace {

std::vector<std::unique_ptr<image_rec>> &images() {
    static std::vector<std::unique_ptr<image_rec>> list;
    return list;
}

}  // namespace

std::int32_t add_image(image_rec rec) {
    images().push_back(std::make_unique<image_rec>(std::move(rec)));
    return static_cast<std::int32_t>(images().size());
}

image_rec *find_image(std::int32_t id) {
    if (id <= 0 || static_cast<std::size_t>(id) > images().size()) return nullptr;
    return images()[id - 1].get();
}

void reset_images() { images().clear(); }

}  // namespace platform
