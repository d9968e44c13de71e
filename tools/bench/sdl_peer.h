// What the two benchmarks' SDL2 peers share: owners for SDL's handles, textures made from ARGB texels,
// and the game's blend modes in SDL's terms.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>

#include "platform/core/core.h"

namespace bench {

struct sdl_free {
    void operator()(SDL_Window *w) const { SDL_DestroyWindow(w); }
    void operator()(SDL_Renderer *r) const { SDL_DestroyRenderer(r); }
    void operator()(SDL_Texture *t) const { SDL_DestroyTexture(t); }
    void operator()(SDL_Surface *s) const { SDL_FreeSurface(s); }
};
using window_ptr = std::unique_ptr<SDL_Window, sdl_free>;
using renderer_ptr = std::unique_ptr<SDL_Renderer, sdl_free>;
using texture_ptr = std::unique_ptr<SDL_Texture, sdl_free>;
using surface_ptr = std::unique_ptr<SDL_Surface, sdl_free>;

// A static texture of ARGB texels, copied in; `stride` counts texels. Empty when SDL refuses it.
texture_ptr make_texture(SDL_Renderer *r, const std::uint32_t *texels, int width, int height, int stride);

// The game's blend mode as the nearest SDL has: mask is drawn as ordinary blending.
SDL_BlendMode sdl_blend(int blend);

// A draw's alpha (0 to 1, clamped) as SDL's 0 to 255, rounded.
Uint8 sdl_alpha(float alpha);

// A rect draw: the box at (x, y) scaled by the draw's scale, in its tint, alpha and blend.
void fill_rect(SDL_Renderer *r, const platform::draw_record &d);

}  // namespace bench
