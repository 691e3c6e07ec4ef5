#pragma once

#include "shell/notice_view.h"

#include <QWidget>

class QLabel;
class QPushButton;

namespace corvane {

// The about box and notice window (HelpForm): a small modeless tool window
// with the message, a credit line and one button.
class QtNoticeView : public QWidget, public NoticeView {
    Q_OBJECT
public:
    explicit QtNoticeView(QWidget* parent = nullptr);

    void setEvents(NoticeEvents* events) override { m_events = events; }
    void setCaption(const std::string& caption) override;
    Size setText(const std::string& text, int minWidth) override;
    void setTextCentred(bool centred) override;
    int buttonHeight() const override;
    int buttonWidth() const override;
    int creditWidth() const override;
    void setWindowSize(int width, int height) override;
    void placeLabel(int left, int top, int width, int height) override;
    void placeButton(int left, int top) override;
    void placeCredit(int left, int top) override;
    void setCreditVisible(bool visible) override;
    void showWindow(bool takeFocus) override;
    void hideWindow() override;
    void destroyWindow() override;
    bool isShown() const override;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    NoticeEvents* m_events = nullptr;
    QLabel* m_text = nullptr;
    QLabel* m_credit = nullptr;
    QPushButton* m_ok = nullptr;
    bool m_destroying = false;
};

} // namespace corvane
