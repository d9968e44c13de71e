// What the two benchmarks' SDL2 peers share: textures made from ARGB texels and the blend modes.
#include "sdl_peer.h"

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

}  // namespace bench
