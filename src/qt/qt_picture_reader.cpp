#include "qt/qt_picture_reader.h"

#include "qt/qt_text.h"

#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QScreen>
#include <cstring>
#include <optional>
#include <vector>

namespace corvane {

namespace {

QSize fullSizeOf(QImageReader& reader) {
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty() ||
        static_cast<std::int64_t>(size.width()) * size.height() > PictureReader::kMaxPixels) {
        return {};
    }
    return size;
}

void prepare(QImageReader& reader) {
    // Decide by the contents, not the name: players rename their files.
    reader.setDecideFormatFromContent(true);
    // A second guard should a format's header lie about its size: no picture
    // may take more memory than its pixels at four bytes each.
    reader.setAllocationLimit(static_cast<int>(PictureReader::kMaxPixels * 4 / (1024LL * 1024)) + 1);
}

std::uint32_t le(const unsigned char* bytes, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = (value << 8) | bytes[i];
    }
    return value;
}

// An uncompressed 24- or 32-bit Windows bitmap read a row at a time and
// averaged down to `target` as it goes, so a large one never needs its full
// size in memory (Qt decodes it whole first). Nothing for any other kind of
// file, which Qt's reader then takes.
std::optional<QImage> readBitmapScaled(const QString& path, QSize target) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    unsigned char header[54];
    if (file.read(reinterpret_cast<char*>(header), sizeof header) != sizeof header || header[0] != 'B' ||
        header[1] != 'M') {
        return std::nullopt;
    }
    const std::uint32_t offset = le(header + 10, 4);
    const std::uint32_t dibSize = le(header + 14, 4);
    const auto width = static_cast<std::int32_t>(le(header + 18, 4));
    const auto rawHeight = static_cast<std::int32_t>(le(header + 22, 4));
    const std::uint32_t bits = le(header + 28, 2);
    const std::uint32_t compression = le(header + 30, 4);
    if (dibSize < 40 || width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN ||
        (bits != 24 && bits != 32) || compression != 0) {
        return std::nullopt;
    }
    const bool bottomUp = rawHeight > 0;
    const std::int64_t height = bottomUp ? rawHeight : -static_cast<std::int64_t>(rawHeight);
    const std::int64_t stride = (static_cast<std::int64_t>(width) * bits + 31) / 32 * 4;
    if (static_cast<std::int64_t>(width) * height > PictureReader::kMaxPixels ||
        file.size() < static_cast<qint64>(offset) + stride * height || !file.seek(offset)) {
        return std::nullopt;
    }
    const QSize out =
        QSize(width, static_cast<int>(height)).scaled(target, Qt::KeepAspectRatio).expandedTo({1, 1});
    const int outWidth = std::min(out.width(), width);
    const int outHeight = std::min(out.height(), static_cast<int>(height));
    QImage image(outWidth, outHeight, QImage::Format_RGB32);
    if (image.isNull()) {
        return QImage();
    }
    const int step = bits / 8;
    std::vector<unsigned char> row(static_cast<std::size_t>(stride));
    std::vector<std::uint32_t> sums(static_cast<std::size_t>(outWidth) * 3);
    std::vector<std::uint32_t> columns(static_cast<std::size_t>(outWidth));
    std::vector<int> bucket(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x) {
        bucket[static_cast<std::size_t>(x)] =
            static_cast<int>(static_cast<std::int64_t>(x) * outWidth / width);
        ++columns[static_cast<std::size_t>(bucket[static_cast<std::size_t>(x)])];
    }
    int rowsInSum = 0;
    int currentOut = -1;
    const auto flush = [&] {
        if (currentOut < 0 || rowsInSum == 0) {
            return;
        }
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(currentOut));
        for (int x = 0; x < outWidth; ++x) {
            const std::uint32_t count =
                columns[static_cast<std::size_t>(x)] * static_cast<std::uint32_t>(rowsInSum);
            const std::uint32_t* sum = &sums[static_cast<std::size_t>(x) * 3];
            line[x] = qRgb(static_cast<int>(sum[2] / count), static_cast<int>(sum[1] / count),
                           static_cast<int>(sum[0] / count));
        }
        std::fill(sums.begin(), sums.end(), 0);
        rowsInSum = 0;
    };
    for (std::int64_t i = 0; i < height; ++i) {
        if (file.read(reinterpret_cast<char*>(row.data()), stride) != stride) {
            return QImage();
        }
        const std::int64_t y = bottomUp ? height - 1 - i : i;
        const int outRow = static_cast<int>(y * outHeight / height);
        if (outRow != currentOut) {
            flush();
            currentOut = outRow;
        }
        for (int x = 0; x < width; ++x) {
            const unsigned char* pixel = row.data() + static_cast<std::ptrdiff_t>(x) * step;
            std::uint32_t* sum = &sums[static_cast<std::size_t>(bucket[static_cast<std::size_t>(x)]) * 3];
            sum[0] += pixel[0];
            sum[1] += pixel[1];
            sum[2] += pixel[2];
        }
        ++rowsInSum;
    }
    flush();
    return image;
}

} // namespace

QSize QtPictureReader::firstShownSize(QSize full) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    // The picture window opens at most at three quarters of the screen.
    const QSize room = screen != nullptr ? screen->availableGeometry().size() * screen->devicePixelRatio()
                                         : QSize(1920, 1200);
    return full.boundedTo(full.scaled(room, Qt::KeepAspectRatio));
}

QImage QtPictureReader::readAt(const QString& path, QSize size) {
    QImageReader reader(path);
    prepare(reader);
    const QSize full = fullSizeOf(reader);
    if (!full.isValid()) {
        return {};
    }
    if (size.isValid() && !size.isEmpty() && size.width() < full.width() && size.height() < full.height()) {
        if (std::optional<QImage> bitmap = readBitmapScaled(path, size)) {
            return *bitmap;
        }
        // JPEG decodes straight at a fraction of the size; the others are
        // decoded whole, then scaled.
        reader.setScaledSize(full.scaled(size, Qt::KeepAspectRatio));
    }
    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        return {};
    }
    return image;
}

std::unique_ptr<Picture> QtPictureReader::read(const std::string& path) {
    const QString file = toQt(path);
    QImageReader reader(file);
    prepare(reader);
    const QSize full = fullSizeOf(reader);
    if (!full.isValid()) {
        return nullptr;
    }
    QImage image = readAt(file, firstShownSize(full));
    if (image.isNull()) {
        return nullptr;
    }
    return std::make_unique<QtPicture>(std::move(image), file, full);
}

} // namespace corvane
