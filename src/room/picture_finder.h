#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <unordered_map>

namespace corvane {

// Finds the picture file of a room in the picture folder: the room number
// followed by ".BMP" in any letter case (pictures are often copied over from
// Windows, where case does not matter), else a PNG or JPEG of that number.
//
// The usual names are tried directly. Only when they miss is the folder
// listed, once, and the listing kept until the folder changes, so a folder of
// many thousands of files does not slow down each room change.
class PictureFinder {
public:
    // The full path of the picture, or empty when the folder holds none (or
    // does not exist on this machine).
    std::string find(const std::string& folder, std::int32_t roomRef);

private:
    struct Listing {
        std::string folder;
        std::filesystem::file_time_type modified{};
        // Lower-case name -> name as stored, only for names a picture can have.
        std::unordered_map<std::string, std::string> pictures;
        bool valid = false;
    };
    const Listing& listing(const std::string& folder);

    Listing m_listing;
};

} // namespace corvane
