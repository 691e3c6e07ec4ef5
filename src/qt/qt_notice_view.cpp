#include "qt/qt_notice_view.h"

#include "qt/qt_show_quietly.h"
#include "qt/qt_text.h"

#include <QCloseEvent>
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kMinButtonWidth = 81;
// Room left beside a label that has grown to the screen's width.
constexpr int kScreenMarginTwips = 1200;

int toPixels(int twips) {
    return static_cast<int>(std::lround(static_cast<double>(twips) / kTwipsPerPixel));
}
int toTwips(int pixels) {
    return pixels * kTwipsPerPixel;
}

} // namespace

QtNoticeView::QtNoticeView(QWidget* parent)
    : QWidget(parent, Qt::Tool) {
    setObjectName("HelpForm");
    setWindowTitle(tr("About Corvane"));

    m_text = new QLabel(this);
    m_text->setObjectName("lblHelp");
    m_text->setTextFormat(Qt::PlainText);
    m_text->setWordWrap(true);
    m_text->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_credit = new QLabel(QString::fromUtf8("\u00A9 2026 the Corvane developers"), this);
    m_credit->setObjectName("lblCopyright");
    m_credit->setTextFormat(Qt::PlainText);
    m_credit->adjustSize();
    m_credit->hide();

    m_ok = new QPushButton(tr("&OK"), this);
    m_ok->setObjectName("btnOK");
    m_ok->resize(std::max(m_ok->sizeHint().width(), kMinButtonWidth), m_ok->sizeHint().height());
    m_ok->installEventFilter(this);
    connect(m_ok, &QPushButton::clicked, this, [this] {
        if (m_events != nullptr) {
            m_events->onOk();
        }
    });
    setFocusProxy(m_ok);
}

void QtNoticeView::setCaption(const std::string& caption) {
    setWindowTitle(toQt(caption));
}

NoticeView::Size QtNoticeView::setText(const std::string& text, int minWidth) {
    const QString shown = toQt(text);
    m_text->setText(shown);

    // Wrapping happens between words only, so the label must be at least as
    // wide as its longest word; past the screen it is cut off instead.
    const QFontMetrics metrics(m_text->font());
    int widestWord = 0;
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    for (const QString& word : shown.split(blanks, Qt::SkipEmptyParts)) {
        widestWord = std::max(widestWord, metrics.horizontalAdvance(word));
    }
    const QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
    const int minPixels = static_cast<int>(std::ceil(static_cast<double>(minWidth) / kTwipsPerPixel));
    const int screenPixels =
        screen != nullptr ? screen->availableGeometry().width() - toPixels(kScreenMarginTwips) : widestWord;
    const int widthPixels = std::max(minPixels, std::min(widestWord, screenPixels));
    const int heightPixels = m_text->heightForWidth(widthPixels);

    const int width = widthPixels == minPixels ? minWidth : toTwips(widthPixels);
    return {width, toTwips(std::max(heightPixels, metrics.height()))};
}

void QtNoticeView::setTextCentred(bool centred) {
    m_text->setAlignment((centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
}

int QtNoticeView::buttonHeight() const {
    return toTwips(m_ok->height());
}
int QtNoticeView::buttonWidth() const {
    return toTwips(m_ok->width());
}
int QtNoticeView::creditWidth() const {
    return toTwips(m_credit->width());
}

void QtNoticeView::setWindowSize(int width, int height) {
    setFixedSize(toPixels(width), toPixels(height));
}

void QtNoticeView::placeLabel(int left, int top, int width, int height) {
    m_text->setGeometry(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

void QtNoticeView::placeButton(int left, int top) {
    m_ok->move(toPixels(left), toPixels(top));
}
void QtNoticeView::placeCredit(int left, int top) {
    m_credit->move(toPixels(left), toPixels(top));
}
void QtNoticeView::setCreditVisible(bool visible) {
    m_credit->setVisible(visible);
}

void QtNoticeView::showWindow(bool takeFocus) {
    if (!takeFocus) {
        m_ok->setFocus(Qt::OtherFocusReason);
        ShowQuietly(this);
        return;
    }
    setAttribute(Qt::WA_ShowWithoutActivating, false);
    show();
    raise();
    activateWindow();
    m_ok->setFocus(Qt::ActiveWindowFocusReason);
}

void QtNoticeView::hideWindow() {
    hide();
}

// Every use recomputes the whole window, so closing it is all that remains of
// tearing it down.
void QtNoticeView::destroyWindow() {
    m_destroying = true;
    close();
    m_destroying = false;
}

bool QtNoticeView::isShown() const {
    return isVisible();
}

bool QtNoticeView::event(QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate && m_events != nullptr) {
        m_events->onFocusLost();
    }
    return QWidget::event(event);
}

bool QtNoticeView::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_ok || m_events == nullptr) {
        return QWidget::eventFilter(watched, event);
    }
    if (event->type() == QEvent::FocusOut) {
        m_events->onFocusLost();
        return false;
    }
    if (event->type() != QEvent::KeyPress) {
        return QWidget::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        m_events->onOk();
        return true;
    case Qt::Key_Escape:
        m_events->onEscape();
        return true;
    default:
        if (!key->text().isEmpty()) {
            m_events->onOtherKey();
            return true;
        }
        return false;
    }
}

// The title bar's close box: like "&OK", the focus goes back where the user
// was typing.
void QtNoticeView::closeEvent(QCloseEvent* event) {
    if (!m_destroying && m_events != nullptr) {
        m_events->onOk();
    }
    event->accept();
}

} // namespace corvane
