// PNG reading and writing over libpng. libpng reports errors by longjmp, so each call that may fail runs
// in a small function that owns no C++ objects between its setjmp and the libpng calls; the RAII owners
// live in the callers and clean up whichever way the call ended.
#include "platform/core/png_codec.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <memory>

namespace platform {
namespace {

// The largest picture accepted, so a damaged header cannot ask for gigabytes.
constexpr png_uint_32 max_side = 16384;

// Records libpng's message and jumps back to the setjmp of the failing call (returning would let
// libpng print its own message first).
[[noreturn]] void on_error(png_structp png, png_const_charp message) {
    auto *error = static_cast<std::string *>(png_get_error_ptr(png));
    if (error && error->empty()) *error = message ? message : "unknown libpng error";
    png_longjmp(png, 1);
}
void on_warning(png_structp, png_const_charp) {}

struct memory_source {
    const unsigned char *bytes;
    std::size_t size;
    std::size_t pos;
};

void read_memory(png_structp png, png_bytep data, png_size_t length) {
    auto *src = static_cast<memory_source *>(png_get_io_ptr(png));
    if (length > src->size - src->pos) png_error(png, "the file ends too soon");
    std::copy(src->bytes + src->pos, src->bytes + src->pos + length, data);
    src->pos += length;
}

struct reader {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::string error;
    memory_source source{};

    reader() {
        png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &error, on_error, on_warning);
        if (png) info = png_create_info_struct(png);
    }
    ~reader() {
        if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    }
    reader(const reader &) = delete;
    reader &operator=(const reader &) = delete;
};

// Reads the header and asks libpng for 8-bit RGBA rows whatever the file holds.
bool read_header(reader &r, png_uint_32 &width, png_uint_32 &height) {
    if (setjmp(png_jmpbuf(r.png))) return false;
    png_set_user_limits(r.png, max_side, max_side);
    png_set_read_fn(r.png, &r.source, read_memory);
    png_read_info(r.png, r.info);
    width = png_get_image_width(r.png, r.info);
    height = png_get_image_height(r.png, r.info);
    const int colour = png_get_color_type(r.png, r.info);
    const int depth = png_get_bit_depth(r.png, r.info);
    if (colour == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(r.png);
    if (colour == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(r.png);
    if (png_get_valid(r.png, r.info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(r.png);
    if (depth == 16) png_set_strip_16(r.png);
    if (colour == PNG_COLOR_TYPE_GRAY || colour == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(r.png);
    png_set_filler(r.png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(r.png);
    png_read_update_info(r.png, r.info);
    if (png_get_rowbytes(r.png, r.info) != static_cast<png_size_t>(width) * 4)
        png_error(r.png, "unexpected row layout");
    return true;
}

bool read_rows(reader &r, png_bytepp rows) {
    if (setjmp(png_jmpbuf(r.png))) return false;
    png_read_image(r.png, rows);
    png_read_end(r.png, nullptr);
    return true;
}

struct writer {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::string error;

    writer() {
        png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, on_error, on_warning);
        if (png) info = png_create_info_struct(png);
    }
    ~writer() {
        if (png) png_destroy_write_struct(&png, info ? &info : nullptr);
    }
    writer(const writer &) = delete;
    writer &operator=(const writer &) = delete;
};

bool write_rows(writer &w, std::FILE *file, png_uint_32 width, png_uint_32 height, png_bytepp rows) {
    if (setjmp(png_jmpbuf(w.png))) return false;
    png_init_io(w.png, file);
    png_set_IHDR(w.png, w.info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(w.png, w.info);
    png_write_image(w.png, rows);
    png_write_end(w.png, nullptr);
    return true;
}

struct file_closer {
    void operator()(std::FILE *f) const { std::fclose(f); }
};

}  // namespace

bool decode_png(std::span<const unsigned char> bytes, decoded_png &out, std::string &error) {
    out = decoded_png{};
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) {
        error = bytes.empty() ? "empty file" : "not a PNG file";
        return false;
    }
    reader r;
    if (!r.png || !r.info) {
        error = "libpng could not start";
        return false;
    }
    r.source = {bytes.data(), bytes.size(), 0};
    png_uint_32 width = 0, height = 0;
    if (!read_header(r, width, height)) {
        error = r.error.empty() ? "damaged file" : r.error;
        return false;
    }
    std::vector<unsigned char> rgba(static_cast<std::size_t>(width) * height * 4);
    std::vector<png_bytep> rows(height);
    for (png_uint_32 y = 0; y < height; ++y) rows[y] = rgba.data() + static_cast<std::size_t>(y) * width * 4;
    if (!read_rows(r, rows.data())) {
        error = r.error.empty() ? "damaged file" : r.error;
        return false;
    }
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    out.pixels.resize(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < out.pixels.size(); ++i) {
        const unsigned char *p = &rgba[i * 4];
        out.pixels[i] =
            (std::uint32_t{p[3]} << 24) | (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
    }
    return true;
}

bool encode_png(const frame_buffer &frame, const std::string &path, std::string &error) {
    if (frame.width <= 0 || frame.height <= 0 ||
        frame.pixels.size() < static_cast<std::size_t>(frame.width) * frame.height) {
        error = "empty frame";
        return false;
    }
    std::vector<unsigned char> rgb(static_cast<std::size_t>(frame.width) * frame.height * 3);
    for (std::size_t i = 0; i < static_cast<std::size_t>(frame.width) * frame.height; ++i) {
        const std::uint32_t c = frame.pixels[i];
        rgb[i * 3] = static_cast<unsigned char>(c >> 16);
        rgb[i * 3 + 1] = static_cast<unsigned char>(c >> 8);
        rgb[i * 3 + 2] = static_cast<unsigned char>(c);
    }
    std::vector<png_bytep> rows(frame.height);
    for (int y = 0; y < frame.height; ++y)
        rows[y] = rgb.data() + static_cast<std::size_t>(y) * frame.width * 3;

    std::unique_ptr<std::FILE, file_closer> file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        error = "cannot open the file for writing";
        return false;
    }
    writer w;
    if (!w.png || !w.info) {
        error = "libpng could not start";
        return false;
    }
    if (!write_rows(w, file.get(), static_cast<png_uint_32>(frame.width),
                    static_cast<png_uint_32>(frame.height), rows.data())) {
        error = w.error;
        return false;
    }
    if (std::fflush(file.get()) != 0 || std::ferror(file.get())) {
        error = "write failed";
        return false;
    }
    if (std::fclose(file.release()) != 0) {
        error = "write failed";
        return false;
    }
    return true;
}

}  // namespace platform
