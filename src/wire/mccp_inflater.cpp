#include "wire/mccp_inflater.h"

#include <array>
#include <zlib.h>

namespace corvane {

struct MccpInflater::Stream {
    z_stream z{};
    bool open = false;
    std::array<unsigned char, kPieceSize> piece{};
};

MccpInflater::MccpInflater() : m_stream(std::make_unique<Stream>()) {}

MccpInflater::~MccpInflater() {
    endStream();
}

void MccpInflater::endStream() {
    if (m_stream->open) {
        inflateEnd(&m_stream->z);
        m_stream->open = false;
    }
    m_active = false;
}

void MccpInflater::start() {
    if (m_active || m_corrupt) {
        return;
    }
    m_stream->z = z_stream{};
    if (inflateInit(&m_stream->z) != Z_OK) {
        m_corrupt = true;
        return;
    }
    m_stream->open = true;
    m_active = true;
}

std::size_t MccpInflater::inflate(std::string_view bytes, const Next& next) {
    if (!m_active || m_corrupt) {
        return 0;
    }
    z_stream& z = m_stream->z;
    // zlib takes at most 4 GiB at a time; a read is never near that.
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    z.avail_in = static_cast<uInt>(bytes.size());
    for (;;) {
        z.next_out = m_stream->piece.data();
        z.avail_out = static_cast<uInt>(m_stream->piece.size());
        const int result = ::inflate(&z, Z_NO_FLUSH);
        const std::size_t made = m_stream->piece.size() - z.avail_out;
        if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR) {
            endStream();
            m_corrupt = true;
            return bytes.size();
        }
        if (made > 0) {
            next(std::string_view(reinterpret_cast<const char*>(m_stream->piece.data()), made));
            // What the piece set off may have ended the connection.
            if (!m_active) {
                return bytes.size();
            }
        }
        if (result == Z_STREAM_END) {
            const std::size_t used = bytes.size() - z.avail_in;
            endStream();
            return used;
        }
        // Nothing more comes out of what was given: wait for the next read.
        if (z.avail_in == 0 && z.avail_out != 0) {
            return bytes.size();
        }
        if (result == Z_BUF_ERROR && made == 0) {
            return bytes.size();
        }
    }
}

void MccpInflater::reset() {
    endStream();
    m_corrupt = false;
}

} // namespace corvane
