// The image store: records kept in the order they were made, an image's id being its place plus one,
// and each frame's coverage kept beside its texels.
#include "platform/core/image.h"

#include <memory>

namespace platform {
namespace {

std::vector<std::unique_ptr<image_rec>> &images() {
    static std::vector<std::unique_ptr<image_rec>> list;
    return list;
}

}  // namespace

texture_view image_rec::frame_view(int frame) const {
    texture_view view{pixels.data() + static_cast<std::size_t>(frame) * width * height, width, height, width};
    if (!has_frame(frame) || pixels.size() < static_cast<std::size_t>(frames) * width * height) return view;
    if (covers_.size() != static_cast<std::size_t>(frames)) covers_.assign(frames, cached_cover{});
    cached_cover &c = covers_[frame];
    // Built again after a change, and also if the texels moved or the size changed underneath.
    if (!c.built || c.texels != view.pixels || c.width != width || c.height != height) {
        c.cover = make_coverage(view);
        c.texels = view.pixels;
        c.width = width;
        c.height = height;
        c.built = true;
    }
    view.cover = &c.cover;
    return view;
}

void image_rec::pixels_changed(int frame) {
    if (frame < 0) {
        covers_.clear();
    } else if (static_cast<std::size_t>(frame) < covers_.size()) {
        covers_[frame].built = false;
    }
}

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
