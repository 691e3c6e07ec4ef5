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
    const QImage& image() const { return m_image; }
    // Where the picture is drawn within the area.
    QRect pictureRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_image;
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
