#include "qt/qt_prompts.h"

#include "qt/qt_dialog_parent.h"
#include "qt/qt_text.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QVBoxLayout>
#include <QElapsedTimer>
#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QInputDialog>
#include <QSpacerItem>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include <algorithm>

namespace corvane {

namespace {

QMessageBox::Icon qtIcon(PromptIcon icon) {
    switch (icon) {
    case PromptIcon::Information:
        return QMessageBox::Information;
    case PromptIcon::Exclamation:
        return QMessageBox::Warning;
    case PromptIcon::Question:
        return QMessageBox::Question;
    case PromptIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// Texts are built with lone carriage returns as line breaks.
QString boxText(const std::string& text) {
    QString result = toQt(text);
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.replace(QChar('\r'), QChar('\n'));
    return result;
}

QString boxTitle(const std::string& title) {
    return title.empty() ? QStringLiteral("Corvane") : toQt(title);
}

// Room beside a title for the window's icon and its buttons.
constexpr int kTitleBarExtra = 140;

// A box is at least as wide as its title: a short text must not cut a long
// title such as "Connection Failed 10061" down to "Conne...".
int titleWidth(const QWidget& box) {
    const QFont font = QApplication::font("QMdiSubWindowTitleBar");
    return QFontMetrics(font).horizontalAdvance(box.windowTitle()) + kTitleBarExtra;
}

void fitTitle(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr) {
        return;
    }
    grid->addItem(new QSpacerItem(titleWidth(box), 0, QSizePolicy::Minimum, QSizePolicy::Expanding),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

} // namespace

void QtPrompts::message(const std::string& text, const std::string& title, PromptIcon icon) {
    QMessageBox box(qtIcon(icon), boxTitle(title), boxText(text), QMessageBox::Ok, DialogParent(m_parent));
    box.setTextFormat(Qt::PlainText);
    fitTitle(box);
    box.exec();
}

void QtPrompts::report(const std::string& text, const std::string& title) {
    QDialog box(DialogParent(m_parent));
    box.setObjectName(QStringLiteral("ReportBox"));
    box.setWindowTitle(boxTitle(title));
    auto* layout = new QVBoxLayout(&box);
    auto* body = new QPlainTextEdit(&box);
    body->setObjectName(QStringLiteral("ReportText"));
    body->setAccessibleName(boxTitle(title));
    body->setReadOnly(true);
    body->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    body->setPlainText(boxText(text));
    layout->addWidget(body);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
    buttons->button(QDialogButtonBox::Ok)->setAccessibleName(QStringLiteral("OK"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    layout->addWidget(buttons);
    // Wide enough for a report line, never taller or wider than the screen.
    const QFontMetrics metrics(body->font());
    const QRect screen = box.screen() != nullptr ? box.screen()->availableGeometry() : QRect(0, 0, 1024, 768);
    box.resize(std::min(metrics.horizontalAdvance(QLatin1Char('x')) * 100, screen.width() * 3 / 4),
               std::min(metrics.lineSpacing() * 24, screen.height() * 2 / 3));
    buttons->button(QDialogButtonBox::Ok)->setFocus();
    box.exec();
}

namespace {

// Sends the box's keys to `target` until the player pauses.
class TypingGoesOn : public QObject {
public:
    TypingGoesOn(QWidget& box, QWidget* target)
        : m_box(box)
        , m_target(target) {
        m_sinceKey.start();
        qApp->installEventFilter(this);
    }
    ~TypingGoesOn() override { qApp->removeEventFilter(this); }
    TypingGoesOn(const TypingGoesOn&) = delete;
    TypingGoesOn& operator=(const TypingGoesOn&) = delete;

    bool eventFilter(QObject* watched, QEvent* event) override {
        const bool key = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!key || m_target == nullptr || widget == nullptr || widget->window() != &m_box) {
            return false;
        }
        if (m_sinceKey.elapsed() >= QtPrompts::kTypingPauseMs) {
            m_target = nullptr;
            return false;
        }
        if (event->type() == QEvent::KeyPress) {
            m_sinceKey.restart();
        }
        QApplication::sendEvent(m_target, event);
        return true;
    }

private:
    QWidget& m_box;
    QPointer<QWidget> m_target;
    QElapsedTimer m_sinceKey;
};

} // namespace

void QtPrompts::messageUnasked(const std::string& text, const std::string& title, PromptIcon icon) {
    QWidget* main = m_parent != nullptr ? m_parent->window() : nullptr;
    QMessageBox box(qtIcon(icon), boxTitle(title), boxText(text), QMessageBox::Ok, DialogParent(m_parent));
    box.setTextFormat(Qt::PlainText);
    fitTitle(box);
    const TypingGoesOn typing(box, main != nullptr ? main->focusWidget() : nullptr);
    box.exec();
}

PromptAnswer QtPrompts::ask(const std::string& text, const std::string& title, PromptButtons buttons,
                            PromptIcon icon, PromptAnswer defaultAnswer) {
    QMessageBox::StandardButtons standard = QMessageBox::Yes | QMessageBox::No;
    if (buttons == PromptButtons::YesNoCancel) {
        standard |= QMessageBox::Cancel;
    } else if (buttons == PromptButtons::Ok) {
        standard = QMessageBox::Ok;
    }
    QMessageBox box(qtIcon(icon), boxTitle(title), boxText(text), standard, DialogParent(m_parent));
    box.setTextFormat(Qt::PlainText);
    fitTitle(box);
    switch (defaultAnswer) {
    case PromptAnswer::Yes:
        box.setDefaultButton(QMessageBox::Yes);
        break;
    case PromptAnswer::No:
        box.setDefaultButton(QMessageBox::No);
        break;
    case PromptAnswer::Cancel:
        box.setDefaultButton(QMessageBox::Cancel);
        break;
    case PromptAnswer::Ok:
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return PromptAnswer::Yes;
    case QMessageBox::No:
        return PromptAnswer::No;
    case QMessageBox::Ok:
        return PromptAnswer::Ok;
    default:
        // Closing the box with Esc or its close control cancels; a Yes/No box
        // without Cancel answers No then.
        return buttons == PromptButtons::YesNoCancel ? PromptAnswer::Cancel : PromptAnswer::No;
    }
}

std::optional<std::string> QtPrompts::input(const std::string& prompt, const std::string& title,
                                            const std::string& preset) {
    QInputDialog dialog(DialogParent(m_parent));
    dialog.setWindowTitle(boxTitle(title));
    dialog.setLabelText(boxText(prompt));
    dialog.setTextValue(toQt(preset));
    dialog.setMinimumWidth(titleWidth(dialog));
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return fromQt(dialog.textValue());
}

} // namespace corvane
