#include "qt/qt_picture_view.h"

#include "qt/qt_picture_reader.h"
#include "qt/qt_show_quietly.h"
#include "qt/qt_text.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

namespace corvane {

QtPictureArea::QtPictureArea(QWidget* parent)
    : QWidget(parent) {
    setMinimumSize(160, 120);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void QtPictureArea::setImage(QImage image) {
    m_image = std::move(image);
    m_fullSize = m_image.size();
    m_path.clear();
    update();
}

void QtPictureArea::setPicture(QImage image, QString path, QSize fullSize) {
    m_image = std::move(image);
    m_path = std::move(path);
    m_fullSize = fullSize;
    fitImage();
    update();
}

void QtPictureArea::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fitImage();
}

void QtPictureArea::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    fitImage();
}

void QtPictureArea::fitImage() {
    if (m_image.isNull() || m_fullSize.isEmpty() || !isVisible()) {
        return;
    }
    const QSize shown = (QSizeF(size()) * devicePixelRatioF()).toSize();
    const QSize wanted = m_fullSize.boundedTo(m_fullSize.scaled(shown, Qt::KeepAspectRatio));
    if (wanted.isEmpty()) {
        return;
    }
    // A pixel or two is rounding, not growth.
    if (!m_path.isEmpty() &&
        (wanted.width() > m_image.width() + 2 || wanted.height() > m_image.height() + 2)) {
        // Grown past the decoded picture: read it again, larger.
        QImage larger = QtPictureReader::readAt(m_path, wanted);
        if (!larger.isNull()) {
            m_image = std::move(larger);
            update();
        }
    } else if (wanted.width() * 2 < m_image.width() || wanted.height() * 2 < m_image.height()) {
        // Much smaller than what is held: keep only what is drawn.
        m_image = m_image.scaled(wanted, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        update();
    }
}

QRect QtPictureArea::pictureRect() const {
    if (m_image.isNull()) {
        return {};
    }
    const QSize fitted = m_fullSize.scaled(size(), Qt::KeepAspectRatio);
    return QRect(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
}

void QtPictureArea::paintEvent(QPaintEvent* /*event*/) {
    if (m_image.isNull()) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(pictureRect(), m_image);
}

QtPictureView::QtPictureView(QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setObjectName("Form3");
    setWindowTitle(tr("PICTURE"));
    // It follows the character from room to room; the keyboard stays with
    // the input line the moves are typed into.
    setAttribute(Qt::WA_ShowWithoutActivating);

    m_area = new QtPictureArea(this);
    m_area->setObjectName("Image1");
    m_name = new QLabel(this);
    m_name->setObjectName("Label1");
    m_name->setTextFormat(Qt::PlainText);
    m_name->setAlignment(Qt::AlignCenter);
    // A very long room name is cut to the window's width, never widening it.
    m_name->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_ok = new QPushButton(tr("&OK"), this);
    m_ok->setObjectName("btnOK");
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, [this] {
        hide();
        if (m_events != nullptr) {
            m_events->onOk();
        }
    });

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(m_ok);
    buttonRow->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_area, 1);
    layout->addWidget(m_name);
    layout->addLayout(buttonRow);
    resize(360, 330);
}

void QtPictureView::setPicture(std::unique_ptr<Picture> picture) {
    const auto* qtPicture = dynamic_cast<const QtPicture*>(picture.get());
    if (qtPicture == nullptr) {
        m_area->setImage({});
        return;
    }
    m_area->setPicture(qtPicture->image(), qtPicture->path(), qtPicture->fullSize());
    if (!isVisible()) {
        // Open at the picture's own size where the screen allows.
        const QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
        const QSize room = screen != nullptr ? screen->availableGeometry().size() * 3 / 4 : QSize(800, 600);
        layout()->activate();
        const QSize chrome = size() - m_area->size();
        const QSize wanted = qtPicture->fullSize().scaled(room - chrome, Qt::KeepAspectRatio);
        const QSize natural = qtPicture->fullSize().boundedTo(wanted);
        resize((natural + chrome).expandedTo(minimumSizeHint()));
    }
}

void QtPictureView::setRoomName(const std::string& name) {
    m_roomName = toQt(name);
    showRoomName();
}

void QtPictureView::showRoomName() {
    m_name->setText(
        m_name->fontMetrics().elidedText(m_roomName, Qt::ElideRight, std::max(m_name->width(), 40)));
}

void QtPictureView::showWindow() {
    ShowQuietly(this);
}

void QtPictureView::closeEvent(QCloseEvent* event) {
    event->accept();
    if (m_events != nullptr) {
        m_events->onClosed();
    }
}

void QtPictureView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    showRoomName();
}

} // namespace corvane
