// A world's compressed stream, read at once and in pieces cut where the
// fuzzer chooses: both must give the same text, the same place where the
// stream ended and the same verdict on corruption, and no piece handed on may
// be larger than the inflater's fixed piece. The input's own bytes are also
// compressed and read back in pieces, which must give them back unchanged.

#include "wire/mccp_inflater.h"

#include <cstdint>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>
#include <vector>
#include <zlib.h>

namespace {

using corvane::MccpInflater;

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// A bomb may inflate far; what matters is that it comes in pieces.
constexpr std::size_t kKeep = std::size_t{1} << 20;

struct Reading {
    std::string text;
    std::size_t inflated = 0;
    std::size_t plainFrom = std::string::npos;
    bool corrupt = false;
};

Reading read(const std::string& stream, const std::vector<std::size_t>& cuts) {
    MccpInflater inflater;
    inflater.start();
    Reading out;
    const auto next = [&](std::string_view piece) {
        require(!piece.empty() && piece.size() <= MccpInflater::kPieceSize);
        out.inflated += piece.size();
        if (out.text.size() < kKeep) {
            out.text.append(piece.substr(0, kKeep - out.text.size()));
        }
    };
    std::size_t at = 0;
    std::vector<std::size_t> ends = cuts;
    ends.push_back(stream.size());
    for (const std::size_t end : ends) {
        if (!inflater.active()) {
            break;
        }
        const std::size_t used = inflater.inflate(std::string_view(stream).substr(at, end - at), next);
        require(used <= end - at);
        if (!inflater.active() && !inflater.corrupt()) {
            out.plainFrom = at + used;
        }
        at = end;
    }
    out.corrupt = inflater.corrupt();
    return out;
}

std::string compressed(const std::string& text) {
    uLongf size = compressBound(static_cast<uLong>(text.size()));
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(text.data()),
              static_cast<uLong>(text.size()), Z_DEFAULT_COMPRESSION);
    out.resize(size);
    return out;
}

std::vector<std::size_t> cutsFor(FuzzedDataProvider& cutter, std::size_t size) {
    std::vector<std::size_t> cuts;
    std::size_t at = 0;
    while (at < size && cutter.remaining_bytes() > 0 && cuts.size() < 64) {
        at += cutter.ConsumeIntegralInRange<std::size_t>(1, 64);
        if (at < size) {
            cuts.push_back(at);
        }
    }
    return cuts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    // The first byte sets how many bytes at the end say where to cut.
    const std::size_t cutBytes = std::min<std::size_t>(data[0] % 32, size - 1);
    const std::string stream(reinterpret_cast<const char*>(data) + 1, size - 1 - cutBytes);
    FuzzedDataProvider cutter(data + size - cutBytes, cutBytes);
    const std::vector<std::size_t> cuts = cutsFor(cutter, stream.size());

    const Reading whole = read(stream, {});
    const Reading pieces = read(stream, cuts);
    require(whole.corrupt == pieces.corrupt);
    if (!whole.corrupt) {
        require(whole.text == pieces.text);
        require(whole.inflated == pieces.inflated);
    } else {
        // zlib may find the fault before handing on what it inflated in the
        // same call: how much came out first depends on where reads end.
        const std::string& shorter = whole.text.size() <= pieces.text.size() ? whole.text : pieces.text;
        const std::string& longer = whole.text.size() <= pieces.text.size() ? pieces.text : whole.text;
        require(longer.compare(0, shorter.size(), shorter) == 0);
    }
    require(whole.plainFrom == pieces.plainFrom);

    const std::string packed = compressed(stream);
    const Reading back = read(packed, cutsFor(cutter, packed.size()));
    require(!back.corrupt && back.text == stream.substr(0, kKeep) && back.plainFrom == packed.size());
    return 0;
}
