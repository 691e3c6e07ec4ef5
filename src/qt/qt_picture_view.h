#pragma once

#include "room/picture_view.h"

#include <QImage>
#include <QWidget>

class QLabel;
class QPushButton;

namespace corvane {

// The image area: the picture scaled to fit, keeping its proportions, centred.
class QtPictureArea : public QWidget {
    Q_OBJECT
public:
    explicit QtPictureArea(QWidget* parent = nullptr);
    void setImage(QImage image);
    // The picture decoded at some size, with its file and full size: it is
    // kept at no more than the size it is drawn at, and read again from the
    // file when the area grows past what it holds.
    void setPicture(QImage image, QString path, QSize fullSize);
    const QImage& image() const { return m_image; }
    // Where the picture is drawn within the area.
    QRect pictureRect() const;
    // The picture's full size (the decoded image may be smaller).
    QSize fullSize() const { return m_fullSize; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void fitImage();

    QImage m_image;
    QString m_path;
    QSize m_fullSize;
};

// The "PICTURE" window (Form3).
class QtPictureView : public QWidget, public PictureView {
    Q_OBJECT
public:
    explicit QtPictureView(QWidget* parent = nullptr);

    void setEvents(PictureEvents* events) override { m_events = events; }
    void setPicture(std::unique_ptr<Picture> picture) override;
    void setRoomName(const std::string& name) override;
    void showWindow() override;
    void hideWindow() override { hide(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showRoomName();

    PictureEvents* m_events = nullptr;
    QtPictureArea* m_area = nullptr;
    QLabel* m_name = nullptr;
    QPushButton* m_ok = nullptr;
    QString m_roomName;
};

} // namespace corvane
