#pragma once

#include "platform/picture_reader.h"

#include <QImage>

namespace corvane {

#include <QSize>
#include <QString>

// A picture as decoded: no larger than it can first be shown (a screen's
// worth), with its file and full size so that a window grown past that can
// read it again, larger.
class QtPicture : public Picture {
public:
    QtPicture(QImage image, QString path, QSize fullSize)
        : m_image(std::move(image))
        , m_path(std::move(path))
        , m_fullSize(fullSize) {}
    explicit QtPicture(QImage image)
        : m_image(std::move(image))
        , m_fullSize(m_image.size()) {}
    int width() const override { return m_fullSize.width(); }
    int height() const override { return m_fullSize.height(); }
    const QImage& image() const { return m_image; }
    const QString& path() const { return m_path; }
    QSize fullSize() const { return m_fullSize; }

private:
    QImage m_image;
    QString m_path;
    QSize m_fullSize;
};

// Qt's image reader, refusing before decoding any picture whose header
// claims more than kMaxPixels, and decoding at most at the size of the
// screen a window could show it on.
class QtPictureReader : public PictureReader {
public:
    std::unique_ptr<Picture> read(const std::string& path) override;
    // Decodes the picture at `size` (its full size when that is larger or
    // not valid); a null image when the file will not read.
    static QImage readAt(const QString& path, QSize size);
    // The largest size a picture of `full` is first shown at.
    static QSize firstShownSize(QSize full);
};

} // namespace corvane
