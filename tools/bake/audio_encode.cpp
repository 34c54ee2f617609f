// audio_encode.cpp -- writes finished sounds as 16-bit PCM WAV, Ogg Vorbis (libvorbisenc) and
// MP3 (libmp3lame, with a gapless LAME tag). All three are deterministic for the same samples.
#include "audio_synth.h"

#include <lame/lame.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace audio {

namespace {

int16_t ToPcm16(float v) {
    float c = std::clamp(v, -1.0f, 1.0f);
    return static_cast<int16_t>(std::lround(c * 32767.0f));
}

void Put16(std::vector<unsigned char>& out, uint32_t v) {
    out.push_back(static_cast<unsigned char>(v & 0xFF));
    out.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
}

void Put32(std::vector<unsigned char>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void PutTag(std::vector<unsigned char>& out, const char* tag) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(tag[i]));
}

std::vector<unsigned char> WavFromFrames(const float* left, const float* right, size_t frames) {
    int channels = right ? 2 : 1;
    uint32_t dataBytes = static_cast<uint32_t>(frames * channels * 2);
    std::vector<unsigned char> out;
    out.reserve(44 + dataBytes);
    PutTag(out, "RIFF");
    Put32(out, 36 + dataBytes);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put32(out, 16);
    Put16(out, 1);  // PCM
    Put16(out, channels);
    Put32(out, kRate);
    Put32(out, kRate * channels * 2);
    Put16(out, channels * 2);
    Put16(out, 16);
    PutTag(out, "data");
    Put32(out, dataBytes);
    for (size_t i = 0; i < frames; ++i) {
        Put16(out, static_cast<uint16_t>(ToPcm16(left[i])));
        if (right) Put16(out, static_cast<uint16_t>(ToPcm16(right[i])));
    }
    return out;
}

// CRC-16 (polynomial 0x8005, reflected) as the LAME tag uses for its own checksum.
uint16_t Crc16(const unsigned char* data, size_t n) {
    uint16_t crc = 0;
    for (size_t i = 0; i < n; ++i) {
        crc ^= data[i];
        for (int b = 0; b < 8; ++b) crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
    }
    return crc;
}

}  // namespace

std::vector<unsigned char> EncodeWav(const Mono& s) { return WavFromFrames(s.data(), nullptr, s.size()); }

std::vector<unsigned char> EncodeWav(const Stereo& s) {
    return WavFromFrames(s.left.data(), s.right.data(), s.size());
}

std::vector<unsigned char> EncodeOgg(const Mono& s, float quality, int serial) {
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, 1, kRate, quality) != 0) {
        vorbis_info_clear(&vi);
        throw std::runtime_error("vorbis encoder refused its settings");
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, serial);

    std::vector<unsigned char> out;
    ogg_page page;
    auto appendPage = [&]() {
        out.insert(out.end(), page.header, page.header + page.header_len);
        out.insert(out.end(), page.body, page.body + page.body_len);
    };

    ogg_packet header, comments, codebooks;
    vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codebooks);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comments);
    ogg_stream_packetin(&os, &codebooks);
    while (ogg_stream_flush(&os, &page) != 0) appendPage();

    const size_t block = 4096;
    size_t done = 0;
    bool eos = false;
    while (!eos) {
        size_t n = std::min(block, s.size() - done);
        if (n == 0) {
            vorbis_analysis_wrote(&vd, 0);
        } else {
            float** buffer = vorbis_analysis_buffer(&vd, static_cast<int>(n));
            std::memcpy(buffer[0], s.data() + done, n * sizeof(float));
            vorbis_analysis_wrote(&vd, static_cast<int>(n));
            done += n;
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&vd, &packet)) {
                ogg_stream_packetin(&os, &packet);
                while (ogg_stream_pageout(&os, &page) != 0) {
                    appendPage();
                    if (ogg_page_eos(&page)) eos = true;
                }
            }
        }
        if (n == 0) eos = true;
    }
    while (ogg_stream_flush(&os, &page) != 0) appendPage();

    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return out;
}

void PrepareMp3Encoder() {
    lame_global_flags* gf = lame_init();
    lame_set_in_samplerate(gf, kRate);
    lame_set_num_channels(gf, 2);
    lame_init_params(gf);
    lame_close(gf);
}

std::vector<unsigned char> EncodeMp3(const Stereo& s, int kbps, bool loop) {
    // One MP3 frame (1152 samples) of loop context on each side of the seam.
    const size_t context = loop ? 1152 : 0;
    size_t total = s.size() + 2 * context;
    std::vector<float> left(total), right(total);
    for (size_t i = 0; i < total; ++i) {
        size_t src = (i + s.size() - context) % s.size();  // plain i when there is no context
        left[i] = s.left[src] * 32767.0f;
        right[i] = s.right[src] * 32767.0f;
    }

    lame_global_flags* gf = lame_init();
    lame_set_in_samplerate(gf, kRate);
    lame_set_out_samplerate(gf, kRate);
    lame_set_num_channels(gf, 2);
    lame_set_mode(gf, JOINT_STEREO);
    lame_set_brate(gf, kbps);
    lame_set_VBR(gf, vbr_off);
    lame_set_quality(gf, 7);  // LAME's fast mode: good at this bit rate, and the bake stays quick
    lame_set_bWriteVbrTag(gf, 1);
    lame_set_write_id3tag_automatic(gf, 0);
    if (lame_init_params(gf) < 0) {
        lame_close(gf);
        throw std::runtime_error("lame refused its settings");
    }

    std::vector<unsigned char> out;
    const size_t step = 4096;
    std::vector<unsigned char> chunk(step * 5 / 4 + 7200);  // LAME's worst case for a block
    for (size_t done = 0; done < total; done += step) {
        int n = static_cast<int>(std::min(step, total - done));
        // LAME's float entry point expects samples on the 16-bit scale.
        int written = lame_encode_buffer_float(gf, left.data() + done, right.data() + done, n,
                                               chunk.data(), static_cast<int>(chunk.size()));
        if (written < 0) {
            lame_close(gf);
            throw std::runtime_error("lame failed to encode");
        }
        out.insert(out.end(), chunk.begin(), chunk.begin() + written);
    }
    int written = lame_encode_flush(gf, chunk.data(), static_cast<int>(chunk.size()));
    if (written > 0) out.insert(out.end(), chunk.begin(), chunk.begin() + written);

    // LAME left room for its tag in the first frame; write it there.
    std::vector<unsigned char> tag(2880);
    size_t tagSize = lame_get_lametag_frame(gf, tag.data(), tag.size());
    lame_close(gf);
    if (tagSize == 0 || tagSize > out.size()) throw std::runtime_error("lame gave no tag frame");
    std::copy(tag.begin(), tag.begin() + tagSize, out.begin());

    if (loop) {
        // Widen the tag's delay and padding by the loop context so a gapless decoder drops it.
        unsigned char* frame = out.data();
        unsigned char* lame = std::search(frame, frame + tagSize, reinterpret_cast<const unsigned char*>("LAME"),
                                          reinterpret_cast<const unsigned char*>("LAME") + 4);
        if (lame == frame + tagSize || static_cast<size_t>(lame - frame) + 36 > tagSize)
            throw std::runtime_error("lame tag has no LAME field");
        unsigned char* delays = lame + 21;
        uint32_t packed = (uint32_t(delays[0]) << 16) | (uint32_t(delays[1]) << 8) | delays[2];
        uint32_t delay = (packed >> 12) + static_cast<uint32_t>(context);
        uint32_t padding = (packed & 0xFFF) + static_cast<uint32_t>(context);
        if (delay > 0xFFF || padding > 0xFFF) throw std::runtime_error("loop context too long for the lame tag");
        packed = (delay << 12) | padding;
        delays[0] = static_cast<unsigned char>(packed >> 16);
        delays[1] = static_cast<unsigned char>(packed >> 8);
        delays[2] = static_cast<unsigned char>(packed);
        size_t crcAt = static_cast<size_t>(lame - frame) + 34;
        uint16_t crc = Crc16(frame, crcAt);
        frame[crcAt] = static_cast<unsigned char>(crc >> 8);
        frame[crcAt + 1] = static_cast<unsigned char>(crc & 0xFF);
    }
    return out;
}

}  // namespace audio
