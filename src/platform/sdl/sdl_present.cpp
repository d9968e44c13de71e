// Presentation through an SDL renderer: the frame uploaded to a streaming texture and drawn into the
// letterbox, smoothly scaled.
#include "platform/sdl/sdl_present.h"

#include "platform/sdl/sdl_input.h"

namespace platform::sdl {
namespace {

struct renderer_deleter {
    void operator()(SDL_Renderer *r) const { SDL_DestroyRenderer(r); }
};
struct texture_deleter {
    void operator()(SDL_Texture *t) const { SDL_DestroyTexture(t); }
};
using renderer_ptr = std::unique_ptr<SDL_Renderer, renderer_deleter>;
using texture_ptr = std::unique_ptr<SDL_Texture, texture_deleter>;

class texture_presenter final : public presenter {
  public:
    texture_presenter(renderer_ptr renderer, texture_ptr texture, bool synced)
        : texture_(std::move(texture)), renderer_(std::move(renderer)), synced_(synced) {}

    void show(const frame_buffer &frame) override {
        SDL_UpdateTexture(texture_.get(), nullptr, frame.pixels.data(),
                          frame.width * static_cast<int>(sizeof(std::uint32_t)));
        int w = 0;
        int h = 0;
        SDL_GetRendererOutputSize(renderer_.get(), &w, &h);
        const letterbox box = fit_picture(w, h);
        const SDL_Rect target{box.x, box.y, box.w, box.h};
        SDL_SetRenderDrawColor(renderer_.get(), 0, 0, 0, 255);
        SDL_RenderClear(renderer_.get());
        SDL_RenderCopy(renderer_.get(), texture_.get(), nullptr, &target);
        SDL_RenderPresent(renderer_.get());
    }

    bool synced() const override { return synced_; }

    void stop_sync() override {
        SDL_RenderSetVSync(renderer_.get(), 0);
        synced_ = false;
    }

  private:
    texture_ptr texture_;  // destroyed before the renderer that made it
    renderer_ptr renderer_;
    bool synced_;
};

renderer_ptr make_renderer(SDL_Window *window, bool vsync) {
    const Uint32 sync = vsync ? SDL_RENDERER_PRESENTVSYNC : 0;
    renderer_ptr r(SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | sync));
    if (!r) r.reset(SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE));
    return r;
}

}  // namespace

std::unique_ptr<presenter> make_texture_presenter(SDL_Window *window, bool vsync, std::string &error) {
    renderer_ptr renderer = make_renderer(window, vsync);
    if (!renderer) {
        error = SDL_GetError();
        return nullptr;
    }
    SDL_RendererInfo info{};
    SDL_GetRendererInfo(renderer.get(), &info);
    const bool synced = (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0;

    texture_ptr texture(SDL_CreateTexture(renderer.get(), SDL_PIXELFORMAT_ARGB8888,
                                          SDL_TEXTUREACCESS_STREAMING, screen_width, screen_height));
    if (!texture) {
        error = SDL_GetError();
        return nullptr;
    }
    SDL_SetTextureScaleMode(texture.get(), SDL_ScaleModeLinear);
    SDL_SetTextureBlendMode(texture.get(), SDL_BLENDMODE_NONE);
    return std::make_unique<texture_presenter>(std::move(renderer), std::move(texture), synced);
}

}  // namespace platform::sdl
