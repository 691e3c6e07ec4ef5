#include "qt/qt_picture_reader.h"

#include "qt/qt_text.h"

#include <QImageReader>

namespace corvane {

std::unique_ptr<Picture> QtPictureReader::read(const std::string& path) {
    QImageReader reader(toQt(path));
    // Decide by the contents, not the name: players rename their files.
    reader.setDecideFormatFromContent(true);
    // A second guard should a format's header lie about its size: no picture
    // may take more memory than its pixels at four bytes each.
    reader.setAllocationLimit(static_cast<int>(PictureReader::kMaxPixels * 4 / (1024LL * 1024)) + 1);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty() ||
        static_cast<std::int64_t>(size.width()) * size.height() > PictureReader::kMaxPixels) {
        return nullptr;
    }
    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        return nullptr;
    }
    return std::make_unique<QtPicture>(std::move(image));
}

} // namespace corvane
