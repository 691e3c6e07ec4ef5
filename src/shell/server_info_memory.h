#pragma once

#include "platform/clock.h"
#include "wire/mssp_reader.h"

#include <optional>
#include <string>

namespace corvane {

// What a world last said about itself and when.
struct KnownServerInfo {
    MsspReport report;
    TimePoint received;
};

// The last server information of each world, kept beside the settings file
// so it can be shown before the world sends it again. Small by design: the
// newest worlds only, each cut to a few kilobytes.
class ServerInfoMemory {
public:
    static constexpr const char* kFileName = "corvane-server-info.json";
    static constexpr std::size_t kMaxWorlds = 32;
    static constexpr std::size_t kMaxBytesPerWorld = 4096;
    // A file that big was not written by us; it is never read whole.
    static constexpr std::size_t kMaxFileBytes = 1024 * 1024;

    explicit ServerInfoMemory(std::string path)
        : m_path(std::move(path)) {}
    static ServerInfoMemory Beside(const std::string& settingsPath);

    std::optional<KnownServerInfo> recall(const std::string& world) const;
    // False, with the reason, when it could not be written; a file another
    // Corvane holds is left alone (it is only a memory).
    bool keep(const std::string& world, const KnownServerInfo& info, std::string& reason) const;

private:
    std::string m_path;
};

} // namespace corvane
