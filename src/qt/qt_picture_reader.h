#pragma once

#include "platform/picture_reader.h"

#include <QImage>

namespace corvane {

class QtPicture : public Picture {
public:
    explicit QtPicture(QImage image)
        : m_image(std::move(image)) {}
    int width() const override { return m_image.width(); }
    int height() const override { return m_image.height(); }
    const QImage& image() const { return m_image; }

private:
    QImage m_image;
};

// Qt's image reader, refusing before decoding any picture whose header
// claims more than kMaxPixels.
class QtPictureReader : public PictureReader {
public:
    std::unique_ptr<Picture> read(const std::string& path) override;
};

} // namespace corvane
