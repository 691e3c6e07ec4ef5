#include "byte_log.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace practice_world {

namespace {

std::string timestamp() {
    const auto now = WallClock::now();
    const std::time_t t = WallClock::to_time_t(now);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm parts{};
    gmtime_r(&t, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &parts);
    char result[48];
    std::snprintf(result, sizeof result, "%s.%03lldZ", text, static_cast<long long>(millis));
    return result;
}

} // namespace

bool ByteLog::open(const std::string& path) {
    m_file.open(path, std::ios::out | std::ios::trunc | std::ios::binary);
    return m_file.is_open();
}

void ByteLog::record(ConnectionId id, char direction, std::string_view bytes) {
    write(id, std::string(1, direction), "\"" + escape(bytes) + "\"");
}

void ByteLog::note(ConnectionId id, std::string_view text) {
    write(id, "-", text);
}

std::string ByteLog::escape(std::string_view bytes) {
    std::string result;
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '\r':
            result += "\\r";
            break;
        case '\n':
            result += "\\n";
            break;
        case '\t':
            result += "\\t";
            break;
        case '\\':
            result += "\\\\";
            break;
        case '"':
            result += "\\\"";
            break;
        default:
            if (byte >= 32 && byte < 127) {
                result += c;
            } else {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02x", byte);
                result += hex;
            }
        }
    }
    return result;
}

void ByteLog::write(ConnectionId id, std::string_view marker, std::string_view text) {
    if (!m_file.is_open())
        return;
    m_file << timestamp() << " #" << id << ' ' << marker << ' ' << text << '\n';
    // Flushed per entry so the log is complete even if the server is killed.
    m_file.flush();
}

} // namespace practice_world
