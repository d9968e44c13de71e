// What the two benchmarks' SDL2 peers share: textures made from ARGB texels and the blend modes.
#include "sdl_peer.h"

#include <algorithm>

#include "game.h"

namespace bench {

texture_ptr make_texture(SDL_Renderer *r, const std::uint32_t *texels, int width, int height, int stride) {
    texture_ptr t(SDL_CreateTexture(r, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, width, height));
    if (t) SDL_UpdateTexture(t.get(), nullptr, texels, stride * 4);
    return t;
}

SDL_BlendMode sdl_blend(int blend) {
    switch (blend) {
        case blend_solid:
            return SDL_BLENDMODE_NONE;
        case blend_light:
            return SDL_BLENDMODE_ADD;
        case blend_shade:
            return SDL_BLENDMODE_MOD;
        default:
            return SDL_BLENDMODE_BLEND;
    }
}

Uint8 sdl_alpha(float alpha) { return static_cast<Uint8>(std::clamp(alpha, 0.0f, 1.0f) * 255.0f + 0.5f); }

void fill_rect(SDL_Renderer *r, const platform::draw_record &d) {
    SDL_SetRenderDrawBlendMode(r, sdl_blend(d.blend));
    SDL_SetRenderDrawColor(r, Uint8(d.r), Uint8(d.g), Uint8(d.b), sdl_alpha(d.alpha));
    const SDL_FRect box{d.x, d.y, d.w * d.sx, d.h * d.sy};
    SDL_RenderFillRectF(r, &box);
}

}  // namespace bench
