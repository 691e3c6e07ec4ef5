#include "core/output_buffer.h"

#include "core/session_history.h"

#include <algorithm>
#include <cstring>

namespace corvane {

namespace {

// Code points: every byte that is not a continuation byte (10xxxxxx). Done
// eight bytes at a time, as it runs over every byte of a flood: each byte of
// `counts` counts the continuation bytes seen in its place, and is summed
// before any byte or the total of them could pass 255.
std::uint32_t countCharacters(std::string_view utf8) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr int kWordsPerSum = 31;
    std::size_t continuations = 0;
    std::uint64_t counts = 0;
    int words = 0;
    std::size_t i = 0;
    for (; i + 8 <= utf8.size(); i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, utf8.data() + i, sizeof word);
        // Bit 7 set and bit 6 clear, in each byte.
        counts += (word & ~(word << 1) & kHighBits) >> 7;
        if (++words == kWordsPerSum) {
            continuations += static_cast<std::size_t>((counts * kOnes) >> 56);
            counts = 0;
            words = 0;
        }
    }
    continuations += static_cast<std::size_t>((counts * kOnes) >> 56);
    for (; i < utf8.size(); ++i) {
        continuations += (static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80 ? 1u : 0u;
    }
    return static_cast<std::uint32_t>(utf8.size() - continuations);
}

// Byte offset of the n-th code point.
std::size_t byteOffset(std::string_view utf8, std::uint32_t characters) {
    if (characters == 0) {
        return 0;
    }
    std::uint32_t seen = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) {
            if (seen == characters) {
                return i;
            }
            ++seen;
        }
    }
    return utf8.size();
}

} // namespace

OutputBuffer::OutputBuffer(OutputView& view)
    : m_view(view) {}

void OutputBuffer::setGeometry(int outputWidth, int widthOfA, int charsPerLine, int maxOutputChars) {
    m_outputWidth = std::max(outputWidth, 1);
    m_widthOfA = std::max(widthOfA, 1);
    m_charsPerLine = std::max(charsPerLine, 1);
    m_maxOutputChars = std::clamp(maxOutputChars, 1, static_cast<int>(kMaxLength));
}

int OutputBuffer::addLook(const TriggerLook& look) {
    const auto found = std::find(m_looks.begin(), m_looks.end(), look);
    if (found != m_looks.end()) {
        return static_cast<int>(found - m_looks.begin());
    }
    m_looks.push_back(look);
    return static_cast<int>(m_looks.size()) - 1;
}

void OutputBuffer::showLine(const TextLine& line, int look) {
    const std::uint32_t characters = countCharacters(line.text);
    makeRoom(characters, !line.complete);
    append(line.text, line.spans, look, line.complete, characters);
}

void OutputBuffer::ShowOutput(const std::string& text) {
    static const std::vector<StyleSpan> noSpans;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\r', start);
        const bool lineEnd = end != std::string::npos;
        if (!lineEnd) {
            end = text.size();
        }
        const std::string_view piece(text.data() + start, end - start);
        if (!piece.empty() || lineEnd) {
            const std::uint32_t characters = countCharacters(piece);
            makeRoom(characters, true);
            append(piece, noSpans, -1, lineEnd, characters);
        }
        if (!lineEnd) {
            break;
        }
        start = end + 1;
        if (start < text.size() && text[start] == '\n') {
            ++start;
        }
    }
}

void OutputBuffer::makeRoom(std::size_t lineCharacters, bool tail) {
    const std::size_t needed = m_length + lineCharacters + 2;
    if (!tail && needed >= static_cast<std::size_t>(m_maxOutputChars)) {
        const long long rows = static_cast<long long>(lineCharacters) * m_widthOfA / m_outputWidth + 1;
        for (long long i = 0; i < rows && !m_lines.empty(); ++i) {
            const Line& first = m_lines.front();
            // Position of the first line feed: the rest of the first line and its CR LF.
            std::size_t p = first.complete ? units(first) - m_frontCut : 0;
            if (p == 0) {
                break;
            }
            if (static_cast<long long>(p) * m_widthOfA > m_outputWidth) {
                p = static_cast<std::size_t>(m_charsPerLine);
            }
            deleteFromFront(p);
        }
    }
    if (m_length + lineCharacters + 2 > kMaxLength) {
        deleteFromFront(lineCharacters + 4);
    }
}

void OutputBuffer::deleteFromFront(std::size_t count) {
    while (count > 0 && !m_lines.empty()) {
        const std::size_t remaining = units(m_lines.front()) - m_frontCut;
        if (count >= remaining) {
            count -= remaining;
            m_length -= remaining;
            if (m_spare.size() < 64) {
                m_spare.push_back(std::move(m_lines.front()));
            }
            m_lines.pop_front();
            m_frontCut = 0;
        } else {
            m_frontCut += count;
            m_length -= count;
            count = 0;
        }
    }
    m_dirty = true;
}

void OutputBuffer::keepInHistory(const TextLine& line) {
    if (m_history != nullptr) {
        m_history->append(line.text, line.spans, nullptr, true);
    }
}

void OutputBuffer::append(std::string_view text, const std::vector<StyleSpan>& spans, int look, bool complete,
                          std::uint32_t added) {
    if (m_history != nullptr) {
        m_history->append(text, spans, look >= 0 ? &m_looks[static_cast<std::size_t>(look)] : nullptr,
                          complete);
    }
    // An unfinished tail stays open and the rest of its line joins it.
    if (m_lines.empty() || m_lines.back().complete) {
        Line line;
        if (!m_spare.empty()) {
            line = std::move(m_spare.back());
            m_spare.pop_back();
            line.text.clear();
            line.spans.clear();
            line.characters = 0;
        }
        line.serial = m_nextSerial++;
        m_lines.push_back(std::move(line));
    }
    Line& line = m_lines.back();
    const auto base = static_cast<std::uint32_t>(line.text.size());
    line.text.append(text);
    if (look >= 0) {
        if (!text.empty()) {
            line.spans.push_back(
                OutputSpan{base, static_cast<std::uint32_t>(text.size()), TextStyle{}, look});
        }
    } else {
        for (const StyleSpan& span : spans) {
            line.spans.push_back(OutputSpan{base + span.start, span.length, span.style, -1});
        }
    }
    line.characters += added;
    line.complete = complete;
    m_length += added + (complete ? 2u : 0u);
    m_dirty = true;
}

void OutputBuffer::clear() {
    m_lines.clear();
    m_frontCut = 0;
    m_length = 0;
    m_dirty = true;
}

std::uint32_t OutputBuffer::visibleCut() const {
    if (m_lines.empty()) {
        return 0;
    }
    return static_cast<std::uint32_t>(std::min<std::size_t>(m_frontCut, m_lines.front().characters));
}

void OutputBuffer::appendToView(const Line& line, std::size_t from) {
    if (from < line.text.size()) {
        const std::string_view piece(line.text.data() + from, line.text.size() - from);
        std::vector<OutputSpan> spans;
        // Spans run in order: skip those already sent without looking at each.
        const auto first =
            std::partition_point(line.spans.begin(), line.spans.end(), [from](const OutputSpan& span) {
                return std::size_t{span.start} + span.length <= from;
            });
        for (auto it = first; it != line.spans.end(); ++it) {
            const OutputSpan& span = *it;
            const std::size_t spanEnd = std::size_t{span.start} + span.length;
            OutputSpan cut = span;
            const std::size_t start = std::max<std::size_t>(span.start, from);
            cut.start = static_cast<std::uint32_t>(start - from);
            cut.length = static_cast<std::uint32_t>(spanEnd - start);
            spans.push_back(cut);
        }
        m_view.appendText(piece, spans, m_looks);
    }
}

std::size_t OutputBuffer::flush() {
    if (!m_dirty) {
        return 0;
    }
    m_dirty = false;
    if (m_view.wantsRebuild() && !m_viewEmpty) {
        m_view.clearText();
        m_viewEmpty = true;
    }
    if (m_lines.empty()) {
        if (!m_viewEmpty) {
            m_view.clearText();
            m_viewEmpty = true;
        }
        m_view.endUpdate();
        return 0;
    }
    const Line& first = m_lines.front();
    const bool restart = m_viewEmpty || first.serial > m_viewLastSerial;
    // Where the first line to send starts, in bytes: the view's open line is
    // continued from where it ended without scanning it again.
    std::size_t continueFrom = 0;
    auto next = m_lines.begin();
    if (restart) {
        if (!m_viewEmpty) {
            m_view.clearText();
        }
        m_viewFirstSerial = first.serial;
        m_viewFirstCut = visibleCut();
        continueFrom = byteOffset(first.text, m_viewFirstCut);
    } else {
        // The view's last line is still held: continue it, then add the rest.
        next = m_lines.begin() + static_cast<std::ptrdiff_t>(m_viewLastSerial - first.serial);
        continueFrom = m_viewLastBytes;
        if (next == m_lines.begin() && visibleCut() > m_viewLastCharacters) {
            continueFrom = byteOffset(next->text, visibleCut());
        }
        if (m_viewLastComplete) {
            ++next;
            continueFrom = 0;
        }
    }
    std::size_t lines = 0;
    for (auto it = next; it != m_lines.end(); ++it) {
        appendToView(*it, it == next ? continueFrom : 0);
        if (it->complete) {
            m_view.appendLineBreak();
            ++lines;
        }
    }
    if (!restart) {
        const auto droppedLines = static_cast<int>(first.serial - m_viewFirstSerial);
        const std::uint32_t alreadyCut = droppedLines == 0 ? m_viewFirstCut : 0;
        const std::uint32_t cut = visibleCut();
        if (droppedLines > 0 || cut > alreadyCut) {
            m_view.trimFront(droppedLines, static_cast<int>(cut > alreadyCut ? cut - alreadyCut : 0));
        }
    }
    m_viewEmpty = false;
    m_viewFirstSerial = first.serial;
    m_viewFirstCut = visibleCut();
    m_viewLastSerial = m_lines.back().serial;
    m_viewLastCharacters = m_lines.back().characters;
    m_viewLastBytes = m_lines.back().text.size();
    m_viewLastComplete = m_lines.back().complete;
    dropCutText();
    m_view.endUpdate();
    return lines;
}

void OutputBuffer::dropCutText() {
    const std::uint32_t cut = visibleCut();
    if (cut < static_cast<std::uint32_t>(m_maxOutputChars)) {
        return;
    }
    Line& front = m_lines.front();
    const std::size_t bytes = byteOffset(front.text, cut);
    front.text.erase(0, bytes);
    std::erase_if(front.spans, [&](const OutputSpan& span) { return span.start + span.length <= bytes; });
    for (OutputSpan& span : front.spans) {
        const std::uint32_t start = span.start > bytes ? span.start - static_cast<std::uint32_t>(bytes) : 0;
        span.length = span.start + span.length - static_cast<std::uint32_t>(bytes) - start;
        span.start = start;
    }
    front.characters -= cut;
    m_frontCut -= cut;
    // The view was told of this cut just now, so it has the same line start.
    m_viewFirstCut -= cut;
    if (m_lines.size() == 1) {
        m_viewLastCharacters -= cut;
        m_viewLastBytes -= bytes;
    }
}

std::size_t OutputBuffer::storedBytes() const {
    std::size_t bytes = 0;
    for (const Line& line : m_lines) {
        bytes += line.text.size();
    }
    return bytes;
}

std::string OutputBuffer::text() const {
    std::string all;
    for (const Line& line : m_lines) {
        all += line.text;
        if (line.complete) {
            all += "\r\n";
        }
    }
    if (!m_lines.empty() && m_frontCut > 0) {
        const Line& first = m_lines.front();
        const std::size_t cutCharacters = std::min<std::size_t>(m_frontCut, first.characters);
        const std::size_t cutBytes =
            byteOffset(first.text, static_cast<std::uint32_t>(cutCharacters)) + (m_frontCut - cutCharacters);
        all.erase(0, cutBytes);
    }
    return all;
}

} // namespace corvane
