// The GL renderer: draws queued as one instance record per quad, batched by texture, and
// drawn into an off-screen 640 x 480 target whose fragment shader repeats the software rasterizer's
// pixel-centre coverage, sampling, mask test and blend arithmetic.
#include "platform/gl/gl_renderer.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/core/image.h"

namespace platform::gl {
namespace {

// A GL object name and the call that deletes it, released with its owner.
class gl_name {
  public:
    using deleter = void (*)(const api &, GLuint);
    gl_name() = default;
    gl_name(const api *gl, GLuint name, deleter del) : gl_(gl), name_(name), del_(del) {}
    gl_name(gl_name &&other) noexcept
        : gl_(other.gl_), name_(std::exchange(other.name_, 0)), del_(other.del_) {}
    gl_name &operator=(gl_name &&other) noexcept {
        if (this != &other) {
            release();
            gl_ = other.gl_;
            name_ = std::exchange(other.name_, 0);
            del_ = other.del_;
        }
        return *this;
    }
    gl_name(const gl_name &) = delete;
    gl_name &operator=(const gl_name &) = delete;
    ~gl_name() { release(); }
    GLuint get() const { return name_; }

  private:
    void release() {
        if (name_ != 0) del_(*gl_, std::exchange(name_, 0));
    }
    const api *gl_ = nullptr;
    GLuint name_ = 0;
    deleter del_ = nullptr;
};

void delete_texture(const api &gl, GLuint n) { gl.DeleteTextures(1, &n); }
void delete_buffer(const api &gl, GLuint n) { gl.DeleteBuffers(1, &n); }
void delete_vertex_array(const api &gl, GLuint n) { gl.DeleteVertexArrays(1, &n); }
void delete_framebuffer(const api &gl, GLuint n) { gl.DeleteFramebuffers(1, &n); }
void delete_program(const api &gl, GLuint n) { gl.DeleteProgram(n); }
void delete_shader(const api &gl, GLuint n) { gl.DeleteShader(n); }

// One quad as the shaders read it. The picture's rectangle [0, size) in texel units sits in the
// texture at `offset`; `fwd` takes texel offsets from the handle to screen offsets from the origin and
// `inv` takes them back.
struct instance {
    float origin[2];
    float handle[2];
    float fwd[4];
    float inv[4];
    float size[2];
    float offset[2];
    float alpha;
    float kind;  // how the quad is coloured: one of the sample_* values
    float mode;  // the blend mode
    std::uint8_t tint[4];
};
constexpr float sample_nearest = 0, sample_bilinear = 1, sample_flat = 2;

// Screen pixels map to y-down coordinates with row 0 of the target as the top of the screen, so
// gl_FragCoord is the rasterizer's pixel centre as it is, and reading rows back needs no flip.
constexpr const char *vertex_source = R"(#version 330 core
layout(location = 0) in vec2 a_origin;
layout(location = 1) in vec2 a_handle;
layout(location = 2) in vec4 a_fwd;
layout(location = 3) in vec4 a_inv;
layout(location = 4) in vec2 a_size;
layout(location = 5) in vec2 a_offset;
layout(location = 6) in vec3 a_alpha_kind_mode;
layout(location = 7) in vec4 a_tint;
flat out vec2 v_origin;
flat out vec2 v_handle;
flat out vec4 v_inv;
flat out vec2 v_size;
flat out vec2 v_offset;
flat out float v_alpha;
flat out int v_kind;
flat out int v_mode;
flat out vec3 v_tint;
void main() {
    vec2 corner = vec2(float(gl_VertexID & 1), float(gl_VertexID >> 1));
    // One screen pixel of slack all round; the fragment shader decides coverage exactly.
    vec2 pad = vec2(length(a_inv.xy), length(a_inv.zw));
    vec2 t = mix(-pad, a_size + pad, corner) - a_handle;
    vec2 p = a_origin + vec2(a_fwd.x * t.x + a_fwd.y * t.y, a_fwd.z * t.x + a_fwd.w * t.y);
    gl_Position = vec4(p / vec2(320.0, 240.0) - 1.0, 0.0, 1.0);
    v_origin = a_origin;
    v_handle = a_handle;
    v_inv = a_inv;
    v_size = a_size;
    v_offset = a_offset;
    v_alpha = a_alpha_kind_mode.x;
    v_kind = int(a_alpha_kind_mode.y);
    v_mode = int(a_alpha_kind_mode.z);
    v_tint = a_tint.rgb;
}
)";

constexpr const char *fragment_source = R"(#version 330 core
uniform sampler2D u_texture;
flat in vec2 v_origin;
flat in vec2 v_handle;
flat in vec4 v_inv;
flat in vec2 v_size;
flat in vec2 v_offset;
flat in float v_alpha;
flat in int v_kind;
flat in int v_mode;
flat in vec3 v_tint;
// Every mode is one blend, result = colour + destination x factor, so modes never split a batch.
// The factor's alpha of 1 keeps the target's alpha as it is.
layout(location = 0, index = 0) out vec4 o_colour;
layout(location = 0, index = 1) out vec4 o_factor;
void main() {
    vec2 d = gl_FragCoord.xy - v_origin;
    vec2 t = vec2(v_inv.x * d.x + v_inv.y * d.y, v_inv.z * d.x + v_inv.w * d.y) + v_handle;
    if (t.x < 0.0 || t.y < 0.0 || t.x >= v_size.x || t.y >= v_size.y) discard;
    vec4 s;
    if (v_kind == 2)
        s = vec4(1.0);
    else if (v_kind == 1)
        s = textureLod(u_texture, (v_offset + t) / vec2(textureSize(u_texture, 0)), 0.0);
    else
        s = texelFetch(u_texture, ivec2(v_offset + floor(t)), 0);
    vec3 c = s.rgb * v_tint;
    if (v_mode == 2) {
        o_colour = vec4(c, 0.0);
        o_factor = vec4(0.0, 0.0, 0.0, 1.0);
        return;
    }
    float sa = floor(s.a * 255.0 + 0.5);
    if (sa == 0.0) discard;
    if (v_mode >= 3) {
        float a = floor(sa * v_alpha + 0.5) / 255.0;
        if (a == 0.0) discard;
        if (v_mode == 5) {
            o_colour = vec4(0.0);
            o_factor = vec4(c * a + (1.0 - a), 1.0);
        } else {
            o_colour = vec4(c * a, 0.0);
            o_factor = vec4(vec3(v_mode == 4 ? 1.0 : 1.0 - a), 1.0);
        }
        return;
    }
    if (sa * v_alpha < 127.5) discard;
    o_colour = vec4(c, 0.0);
    o_factor = vec4(0.0, 0.0, 0.0, 1.0);
}
)";

// The blend mode as the rasterizer treats it: anything unknown draws as a mask.
int blend_of(const draw_state &s) {
    return s.blend >= blend_solid && s.blend <= blend_shade ? s.blend : blend_mask;
}

// An image's frames in one texture, laid out in columns with a transparent black texel between and
// around them, so that bilinear sampling past a frame's edge reads transparent black.
struct image_texture {
    gl_name texture;
    int width = 0, height = 0, rows = 1;
    bool dirty = true;

    void frame_offset(int frame, float &ox, float &oy) const {
        ox = static_cast<float>(1 + (frame / rows) * (width + 1));
        oy = static_cast<float>(1 + (frame % rows) * (height + 1));
    }
};

// A font's glyph atlas, taken whole when it grows and glyph by glyph as they appear.
struct atlas_texture {
    gl_name texture;
    const std::uint32_t *base = nullptr;
    int width = 0, height = 0;
    std::unordered_set<std::ptrdiff_t> glyphs;  // texel offsets of the glyphs known to be uploaded
};

struct batch {
    GLuint texture = 0;
    int first = 0;
    int count = 0;
};

class renderer_impl final : public gl_renderer {
  public:
    explicit renderer_impl(const api &gl) : gl_(gl) {}
    bool init(std::string &error);

    void clear() override;
    void picture(std::int32_t image, int frame, const texture_view &pic, bool filtered, double x, double y,
                 double handle_x, double handle_y, const draw_state &state) override;
    void rect(double x, double y, double width, double height, const draw_state &state) override;
    void text(std::int32_t font_id, std::span<const placed_glyph> glyphs, double x, double y,
              const draw_state &state) override;
    void read(int x, int y, int width, int height, std::uint32_t *out) override;
    void image_changed(std::int32_t image) override {
        if (auto it = images_.find(image); it != images_.end()) it->second.dirty = true;
    }
    void forget_images() override {
        flush();
        images_.clear();
        atlases_.clear();
    }
    // Copies kept from before a reset of the image store belong to ids now given out afresh.
    void follow_store() {
        if (seen_resets_ == image_store_resets()) return;
        forget_images();
        seen_resets_ = image_store_resets();
    }
    void present(int window_h, int x, int y, int w, int h) override;
    void flush() override;

  private:
    gl_name make_texture(int width, int height, const std::uint32_t *pixels);
    const image_texture *texture_for(std::int32_t image);
    atlas_texture *atlas_for(std::int32_t font_id);
    // Fills the geometry and state of a quad; false when the state can show nothing.
    bool place(instance &q, double x, double y, double handle_x, double handle_y, double width, double height,
               const draw_state &s, bool &transformed) const;
    void queue(instance &q, GLuint texture, int mode);

    api gl_;
    gl_name program_, vertex_array_, buffer_, target_texture_, framebuffer_, white_;
    int max_texture_ = 0;
    std::vector<instance> instances_;
    std::vector<batch> batches_;
    std::unordered_map<std::int32_t, image_texture> images_;
    std::unordered_map<std::int32_t, atlas_texture> atlases_;
    bool too_large_noted_ = false;
    std::uint64_t seen_resets_ = image_store_resets();
};

bool compile(const api &gl, GLenum kind, const char *source, gl_name &out, std::string &error) {
    out = gl_name(&gl, gl.CreateShader(kind), delete_shader);
    gl.ShaderSource(out.get(), 1, &source, nullptr);
    gl.CompileShader(out.get());
    GLint ok = 0;
    gl.GetShaderiv(out.get(), GL_COMPILE_STATUS, &ok);
    if (ok) return true;
    char log[1024] = {};
    gl.GetShaderInfoLog(out.get(), sizeof log, nullptr, log);
    error = std::string("shader does not compile: ") + log;
    return false;
}

bool renderer_impl::init(std::string &error) {
    GLint major = 0, minor = 0;
    gl_.GetIntegerv(GL_MAJOR_VERSION, &major);
    gl_.GetIntegerv(GL_MINOR_VERSION, &minor);
    if (major < 3 || (major == 3 && minor < 3)) {
        error = "OpenGL " + std::to_string(major) + "." + std::to_string(minor) + " is older than 3.3";
        return false;
    }
    gl_.GetIntegerv(GL_MAX_TEXTURE_SIZE, &max_texture_);

    gl_name vs, fs;
    if (!compile(gl_, GL_VERTEX_SHADER, vertex_source, vs, error) ||
        !compile(gl_, GL_FRAGMENT_SHADER, fragment_source, fs, error))
        return false;
    program_ = gl_name(&gl_, gl_.CreateProgram(), delete_program);
    gl_.AttachShader(program_.get(), vs.get());
    gl_.AttachShader(program_.get(), fs.get());
    gl_.LinkProgram(program_.get());
    GLint linked = 0;
    gl_.GetProgramiv(program_.get(), GL_LINK_STATUS, &linked);
    if (!linked) {
        char log[1024] = {};
        gl_.GetProgramInfoLog(program_.get(), sizeof log, nullptr, log);
        error = std::string("shaders do not link: ") + log;
        return false;
    }
    gl_.UseProgram(program_.get());
    gl_.Uniform1i(gl_.GetUniformLocation(program_.get(), "u_texture"), 0);

    GLuint n = 0;
    gl_.GenVertexArrays(1, &n);
    vertex_array_ = gl_name(&gl_, n, delete_vertex_array);
    gl_.BindVertexArray(n);
    gl_.GenBuffers(1, &n);
    buffer_ = gl_name(&gl_, n, delete_buffer);
    gl_.BindBuffer(GL_ARRAY_BUFFER, n);
    for (GLuint a = 0; a < 8; ++a) {
        gl_.EnableVertexAttribArray(a);
        gl_.VertexAttribDivisor(a, 1);
    }

    gl_.ActiveTexture(GL_TEXTURE0);
    target_texture_ = make_texture(screen_width, screen_height, nullptr);
    gl_.GenFramebuffers(1, &n);
    framebuffer_ = gl_name(&gl_, n, delete_framebuffer);
    gl_.BindFramebuffer(GL_FRAMEBUFFER, n);
    gl_.FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, target_texture_.get(), 0);
    if (gl_.CheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        error = "no off-screen 640 x 480 RGBA8 target";
        return false;
    }
    const std::uint32_t white = 0xFFFFFFFFu;
    white_ = make_texture(1, 1, &white);
    gl_.Viewport(0, 0, screen_width, screen_height);
    gl_.Enable(GL_BLEND);
    gl_.BlendFunc(GL_ONE, GL_SRC1_COLOR);
    clear();
    if (const GLenum e = gl_.GetError(); e != GL_NO_ERROR) {
        error = "GL error " + std::to_string(e) + " while setting up";
        return false;
    }
    return true;
}

gl_name renderer_impl::make_texture(int width, int height, const std::uint32_t *pixels) {
    GLuint n = 0;
    gl_.GenTextures(1, &n);
    gl_name t(&gl_, n, delete_texture);
    gl_.BindTexture(GL_TEXTURE_2D, n);
    gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    gl_.PixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    gl_.PixelStorei(GL_UNPACK_ALIGNMENT, 4);
    gl_.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                   pixels);
    return t;
}

const image_texture *renderer_impl::texture_for(std::int32_t image) {
    follow_store();
    const image_rec *rec = find_image(image);
    if (!rec) return nullptr;
    image_texture &t = images_[image];
    if (!t.dirty) return &t;
    // Frames go down a column until the texture's height is used, then on to the next column.
    const std::int64_t limit = max_texture_;
    const std::int64_t rows = std::max<std::int64_t>(1, (limit - 1) / (rec->height + 1));
    const std::int64_t cols = (rec->frames + rows - 1) / rows;
    const std::int64_t tw = cols * (rec->width + 1) + 1;
    const std::int64_t th = std::min<std::int64_t>(rows, rec->frames) * (rec->height + 1) + 1;
    if (tw > limit || th > limit) {
        if (!std::exchange(too_large_noted_, true))
            std::fprintf(stderr, "saltburst: a picture of %d x %d pixels is too large for the GL renderer\n",
                         rec->width, rec->height);
        images_.erase(image);
        return nullptr;
    }
    t.width = rec->width;
    t.height = rec->height;
    t.rows = static_cast<int>(rows);
    std::vector<std::uint32_t> staging(static_cast<std::size_t>(tw * th), 0u);
    for (int f = 0; f < rec->frames; ++f) {
        float ox = 0, oy = 0;
        t.frame_offset(f, ox, oy);
        const texture_view v = rec->frame_view(f);
        for (int j = 0; j < v.height; ++j)
            std::copy_n(
                v.pixels + static_cast<std::size_t>(j) * v.stride, v.width,
                staging.data() + (static_cast<std::size_t>(oy) + j) * tw + static_cast<std::size_t>(ox));
    }
    t.texture = make_texture(static_cast<int>(tw), static_cast<int>(th), staging.data());
    t.dirty = false;
    return &t;
}

atlas_texture *renderer_impl::atlas_for(std::int32_t font_id) {
    follow_store();
    const texture_view atlas = font_atlas(font_id);
    if (!atlas.pixels || atlas.width > max_texture_ || atlas.height > max_texture_) return nullptr;
    atlas_texture &a = atlases_[font_id];
    if (a.base != atlas.pixels || a.width != atlas.width || a.height != atlas.height) {
        a.texture = make_texture(atlas.width, atlas.height, atlas.pixels);
        a.base = atlas.pixels;
        a.width = atlas.width;
        a.height = atlas.height;
        a.glyphs.clear();
    }
    return &a;
}

bool renderer_impl::place(instance &q, double x, double y, double handle_x, double handle_y, double width,
                          double height, const draw_state &s, bool &transformed) const {
    // The same limits as the rasterizer's: nothing for a state that cannot show a picture.
    constexpr double max_texels_per_pixel = 65536.0;
    const double turn = std::fmod(static_cast<double>(s.rotation), 360.0);
    const double sx = s.sx, sy = s.sy;
    if (!std::isfinite(turn) || !std::isfinite(sx) || !std::isfinite(sy) ||
        std::fabs(sx) * max_texels_per_pixel < 1 || std::fabs(sy) * max_texels_per_pixel < 1 ||
        !std::isfinite(x) || !std::isfinite(y))
        return false;
    transformed = turn != 0 || sx != 1 || sy != 1;
    const double c = cos_deg(turn), sn = sin_deg(turn);
    q.origin[0] = static_cast<float>(x);
    q.origin[1] = static_cast<float>(y);
    q.handle[0] = static_cast<float>(handle_x);
    q.handle[1] = static_cast<float>(handle_y);
    q.fwd[0] = static_cast<float>(c * sx);
    q.fwd[1] = static_cast<float>(-sn * sy);
    q.fwd[2] = static_cast<float>(sn * sx);
    q.fwd[3] = static_cast<float>(c * sy);
    q.inv[0] = static_cast<float>(c / sx);
    q.inv[1] = static_cast<float>(sn / sx);
    q.inv[2] = static_cast<float>(-sn / sy);
    q.inv[3] = static_cast<float>(c / sy);
    q.size[0] = static_cast<float>(width);
    q.size[1] = static_cast<float>(height);
    q.alpha = s.alpha >= 0 ? std::min(1.0f, s.alpha) : 0.0f;
    q.tint[0] = static_cast<std::uint8_t>(std::clamp(s.r, 0, 255));
    q.tint[1] = static_cast<std::uint8_t>(std::clamp(s.g, 0, 255));
    q.tint[2] = static_cast<std::uint8_t>(std::clamp(s.b, 0, 255));
    q.tint[3] = 255;
    return true;
}

void renderer_impl::queue(instance &q, GLuint texture, int mode) {
    q.mode = static_cast<float>(mode);
    if (batches_.empty() || (texture != 0 && batches_.back().texture != texture)) {
        // A flat rectangle samples nothing: it joins whatever texture the batch has.
        batches_.push_back({texture != 0 ? texture : white_.get(), static_cast<int>(instances_.size()), 0});
    }
    ++batches_.back().count;
    instances_.push_back(q);
}

void renderer_impl::clear() {
    // Whatever was queued would be covered: it is dropped rather than drawn.
    instances_.clear();
    batches_.clear();
    gl_.ClearColor(0, 0, 0, 1);
    gl_.Clear(GL_COLOR_BUFFER_BIT);
}

void renderer_impl::picture(std::int32_t image, int frame, const texture_view &pic, bool filtered, double x,
                            double y, double handle_x, double handle_y, const draw_state &state) {
    if (!pic.pixels || pic.width <= 0 || pic.height <= 0) return;
    instance q{};
    bool transformed = false;
    if (!place(q, x, y, handle_x, handle_y, pic.width, pic.height, state, transformed)) return;
    const image_texture *t = texture_for(image);
    if (!t) return;
    t->frame_offset(frame, q.offset[0], q.offset[1]);
    q.kind = filtered && transformed ? sample_bilinear : sample_nearest;
    queue(q, t->texture.get(), blend_of(state));
}

void renderer_impl::rect(double x, double y, double width, double height, const draw_state &state) {
    if (!(width > 0) || !(height > 0)) return;
    instance q{};
    bool transformed = false;
    if (!place(q, x, y, 0, 0, width, height, state, transformed)) return;
    q.kind = sample_flat;
    queue(q, 0, blend_of(state));
}

void renderer_impl::text(std::int32_t font_id, std::span<const placed_glyph> glyphs, double x, double y,
                         const draw_state &state) {
    atlas_texture *a = atlas_for(font_id);
    if (!a) return;
    instance q{};
    bool transformed = false;
    if (!place(q, x, y, 0, 0, 0, 0, state, transformed)) return;
    q.kind = transformed ? sample_bilinear : sample_nearest;
    const int mode = blend_of(state);
    gl_.BindTexture(GL_TEXTURE_2D, a->texture.get());
    for (const placed_glyph &g : glyphs) {
        const std::ptrdiff_t at = g.picture.pixels - a->base;
        if (at < 0 || g.picture.width <= 0 || g.picture.height <= 0) continue;
        const int gx = static_cast<int>(at % a->width), gy = static_cast<int>(at / a->width);
        if (a->glyphs.insert(at).second) {
            // A glyph new since the atlas was taken whole: only its own texels changed.
            gl_.PixelStorei(GL_UNPACK_ROW_LENGTH, a->width);
            gl_.PixelStorei(GL_UNPACK_ALIGNMENT, 4);
            gl_.TexSubImage2D(GL_TEXTURE_2D, 0, gx, gy, g.picture.width, g.picture.height, GL_BGRA,
                              GL_UNSIGNED_INT_8_8_8_8_REV, g.picture.pixels);
            gl_.PixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        }
        q.handle[0] = static_cast<float>(-g.x);
        q.handle[1] = static_cast<float>(-g.y);
        q.size[0] = static_cast<float>(g.picture.width);
        q.size[1] = static_cast<float>(g.picture.height);
        q.offset[0] = static_cast<float>(gx);
        q.offset[1] = static_cast<float>(gy);
        queue(q, a->texture.get(), mode);
    }
}

void renderer_impl::flush() {
    if (instances_.empty()) return;
    gl_.BufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(instances_.size() * sizeof(instance)),
                   instances_.data(), GL_STREAM_DRAW);
    for (const batch &b : batches_) {
        gl_.BindTexture(GL_TEXTURE_2D, b.texture);
        // GL 3.3 has no base instance: the attributes start at the batch's first record instead.
        const std::size_t base = static_cast<std::size_t>(b.first) * sizeof(instance);
        auto attribute = [&](GLuint index, GLint n, GLenum type, GLboolean normalise, std::size_t at) {
            gl_.VertexAttribPointer(index, n, type, normalise, sizeof(instance),
                                    reinterpret_cast<const void *>(base + at));
        };
        attribute(0, 2, GL_FLOAT, GL_FALSE, offsetof(instance, origin));
        attribute(1, 2, GL_FLOAT, GL_FALSE, offsetof(instance, handle));
        attribute(2, 4, GL_FLOAT, GL_FALSE, offsetof(instance, fwd));
        attribute(3, 4, GL_FLOAT, GL_FALSE, offsetof(instance, inv));
        attribute(4, 2, GL_FLOAT, GL_FALSE, offsetof(instance, size));
        attribute(5, 2, GL_FLOAT, GL_FALSE, offsetof(instance, offset));
        attribute(6, 3, GL_FLOAT, GL_FALSE, offsetof(instance, alpha));
        attribute(7, 4, GL_UNSIGNED_BYTE, GL_TRUE, offsetof(instance, tint));
        gl_.DrawArraysInstanced(GL_TRIANGLE_STRIP, 0, 4, b.count);
    }
    instances_.clear();
    batches_.clear();
}

void renderer_impl::read(int x, int y, int width, int height, std::uint32_t *out) {
    flush();
    gl_.PixelStorei(GL_PACK_ALIGNMENT, 4);
    gl_.PixelStorei(GL_PACK_ROW_LENGTH, 0);
    gl_.ReadPixels(x, y, width, height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, out);
    const std::size_t n = static_cast<std::size_t>(width) * height;
    for (std::size_t i = 0; i < n; ++i) out[i] |= 0xFF000000u;
}

void renderer_impl::present(int window_h, int x, int y, int w, int h) {
    flush();
    gl_.BindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    gl_.ClearColor(0, 0, 0, 1);
    gl_.Clear(GL_COLOR_BUFFER_BIT);
    // The target's row 0 is the top of the picture; the window's is the bottom.
    gl_.BlitFramebuffer(0, 0, screen_width, screen_height, x, window_h - y, x + w, window_h - y - h,
                        GL_COLOR_BUFFER_BIT, GL_LINEAR);
    gl_.BindFramebuffer(GL_FRAMEBUFFER, framebuffer_.get());
}

}  // namespace

std::unique_ptr<gl_renderer> gl_renderer::create(proc_loader loader, std::string &error) {
    api gl;
    if (!load_api(loader, gl, error)) return nullptr;
    auto r = std::make_unique<renderer_impl>(gl);
    if (!r->init(error)) return nullptr;
    return r;
}

}  // namespace platform::gl
