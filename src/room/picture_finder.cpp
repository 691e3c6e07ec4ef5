#include "room/picture_finder.h"

#include "core/text_codec.h"

#include <array>
#include <cctype>
#include <system_error>

namespace corvane {

namespace {

namespace fs = std::filesystem;

constexpr std::array<std::string_view, 4> kExtensions = {".bmp", ".png", ".jpg", ".jpeg"};

bool isFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

// "57.bmp", "-3.png": only such names are kept from a listing.
bool looksLikePicture(const std::string& lowerName) {
    const std::size_t dot = lowerName.find('.');
    if (dot == std::string::npos || dot == 0) {
        return false;
    }
    const std::size_t first = lowerName[0] == '-' ? 1 : 0;
    if (first == dot) {
        return false;
    }
    for (std::size_t i = first; i < dot; ++i) {
        if (std::isdigit(static_cast<unsigned char>(lowerName[i])) == 0) {
            return false;
        }
    }
    const std::string_view extension = std::string_view(lowerName).substr(dot);
    for (std::string_view known : kExtensions) {
        if (extension == known) {
            return true;
        }
    }
    return false;
}

} // namespace

std::string PictureFinder::find(const std::string& folder, std::int32_t roomRef) {
    if (folder.empty()) {
        return {};
    }
    const fs::path directory(folder);
    const std::string number = std::to_string(roomRef);
    for (const char* extension : {".BMP", ".bmp"}) {
        const fs::path candidate = directory / (number + extension);
        if (isFile(candidate)) {
            return candidate.string();
        }
    }
    const Listing& known = listing(folder);
    if (!known.valid) {
        return {};
    }
    for (std::string_view extension : kExtensions) {
        const auto found = known.pictures.find(number + std::string(extension));
        if (found != known.pictures.end()) {
            const fs::path candidate = directory / found->second;
            if (isFile(candidate)) {
                return candidate.string();
            }
        }
    }
    return {};
}

const PictureFinder::Listing& PictureFinder::listing(const std::string& folder) {
    std::error_code error;
    const fs::path directory(folder);
    if (!fs::is_directory(directory, error)) {
        m_listing = Listing{};
        return m_listing;
    }
    const fs::file_time_type modified = fs::last_write_time(directory, error);
    if (error) {
        m_listing = Listing{};
        return m_listing;
    }
    if (m_listing.valid && m_listing.folder == folder && m_listing.modified == modified) {
        return m_listing;
    }
    Listing fresh;
    fresh.folder = folder;
    fresh.modified = modified;
    for (fs::directory_iterator it(directory, fs::directory_options::skip_permission_denied, error), end;
         !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        const std::string lower = ToLowerAscii(name);
        if (looksLikePicture(lower)) {
            // Of two names that differ only in case, the same one wins every time.
            auto [entry, added] = fresh.pictures.emplace(lower, name);
            if (!added && name < entry->second) {
                entry->second = name;
            }
        }
    }
    fresh.valid = true;
    m_listing = std::move(fresh);
    return m_listing;
}

} // namespace corvane
