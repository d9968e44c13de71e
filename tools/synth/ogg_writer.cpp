// Writes a clip as an OGG Vorbis file with libvorbisenc.
#include "ogg_writer.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace synth {
namespace {

struct file_closer {
    void operator()(std::FILE *f) const { std::fclose(f); }
};
using file_ptr = std::unique_ptr<std::FILE, file_closer>;

// The encoder's five library records, cleared in reverse order of their set-up.
class encoder {
  public:
    encoder() {
        vorbis_info_init(&info_);
        vorbis_comment_init(&comment_);
    }
    ~encoder() {
        if (stream_ready_) ogg_stream_clear(&stream_);
        if (block_ready_) vorbis_block_clear(&block_);
        if (dsp_ready_) vorbis_dsp_clear(&dsp_);
        vorbis_comment_clear(&comment_);
        vorbis_info_clear(&info_);
    }
    encoder(const encoder &) = delete;
    encoder &operator=(const encoder &) = delete;

    bool start(int channels, float quality) {
        if (vorbis_encode_init_vbr(&info_, channels, sample_rate, quality) != 0) return false;
        vorbis_comment_add_tag(&comment_, "ENCODER", "saltburst synth");
        if (vorbis_analysis_init(&dsp_, &info_) != 0) return false;
        dsp_ready_ = true;
        if (vorbis_block_init(&dsp_, &block_) != 0) return false;
        block_ready_ = true;
        if (ogg_stream_init(&stream_, 0x5a17) != 0) return false;
        stream_ready_ = true;
        return true;
    }

    bool write_headers(std::FILE *f) {
        ogg_packet id, comments, codebooks;
        vorbis_analysis_headerout(&dsp_, &comment_, &id, &comments, &codebooks);
        ogg_stream_packetin(&stream_, &id);
        ogg_stream_packetin(&stream_, &comments);
        ogg_stream_packetin(&stream_, &codebooks);
        ogg_page page;
        while (ogg_stream_flush(&stream_, &page) != 0) {
            if (!write_page(f, page)) return false;
        }
        return true;
    }

    bool feed(std::FILE *f, const clip &c, std::size_t from, std::size_t count) {
        float **buffer = vorbis_analysis_buffer(&dsp_, static_cast<int>(count));
        for (std::size_t i = 0; i < count; ++i) {
            buffer[0][i] = c.left[from + i];
            if (c.channels() == 2) buffer[1][i] = c.right[from + i];
        }
        vorbis_analysis_wrote(&dsp_, static_cast<int>(count));
        return drain(f);
    }

    bool finish(std::FILE *f) {
        vorbis_analysis_wrote(&dsp_, 0);
        return drain(f);
    }

  private:
    static bool write_page(std::FILE *f, const ogg_page &page) {
        return std::fwrite(page.header, 1, page.header_len, f) == static_cast<std::size_t>(page.header_len) &&
               std::fwrite(page.body, 1, page.body_len, f) == static_cast<std::size_t>(page.body_len);
    }

    bool drain(std::FILE *f) {
        while (vorbis_analysis_blockout(&dsp_, &block_) == 1) {
            vorbis_analysis(&block_, nullptr);
            vorbis_bitrate_addblock(&block_);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp_, &packet) == 1) {
                ogg_stream_packetin(&stream_, &packet);
                ogg_page page;
                while (ogg_stream_pageout(&stream_, &page) != 0) {
                    if (!write_page(f, page)) return false;
                }
            }
        }
        return true;
    }

    vorbis_info info_;
    vorbis_comment comment_;
    vorbis_dsp_state dsp_;
    vorbis_block block_;
    ogg_stream_state stream_;
    bool dsp_ready_ = false;
    bool block_ready_ = false;
    bool stream_ready_ = false;
};

}  // namespace

bool write_ogg(const std::string &path, const clip &c, float quality, std::string &error) {
    if (c.frames() == 0) {
        error = path + ": nothing to write";
        return false;
    }
    encoder enc;
    if (!enc.start(c.channels(), quality)) {
        error = path + ": the Vorbis encoder refused the settings";
        return false;
    }
    file_ptr f(std::fopen(path.c_str(), "wb"));
    if (!f) {
        error = path + ": cannot open for writing";
        return false;
    }
    bool ok = enc.write_headers(f.get());
    constexpr std::size_t chunk = 4096;
    for (std::size_t from = 0; ok && from < c.frames(); from += chunk) {
        ok = enc.feed(f.get(), c, from, std::min(chunk, c.frames() - from));
    }
    ok = ok && enc.finish(f.get());
    if (std::fflush(f.get()) != 0) ok = false;
    if (!ok) error = path + ": write failed";
    return ok;
}

}  // namespace synth
