#include "qt/qt_mcp_dialog_view.h"

#include "qt/qt_text.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvane {

QtMcpDialogView::QtMcpDialogView(QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Window)
    , m_layout(new QVBoxLayout(this)) {
    setAttribute(Qt::WA_ShowWithoutActivating);
}

void QtMcpDialogView::setTitle(const std::string& title) {
    setWindowTitle(toQt(title));
}

void QtMcpDialogView::addControl(Control kind, const std::string& id, const std::string& pane,
                                 const std::string& text, const std::string& value) {
    const auto frame = m_frames.find(pane);
    QBoxLayout* into = frame == m_frames.end() ? m_layout : frame->second;
    QWidget* widget = nullptr;
    switch (kind) {
    case Control::Text: {
        auto* label = new QLabel(toQt(value.empty() ? text : value), this);
        label->setTextFormat(Qt::PlainText);
        widget = label;
        break;
    }
    case Control::Edit:
        widget = new QLineEdit(toQt(value), this);
        break;
    case Control::MultiEdit: {
        auto* edit = new QPlainTextEdit(this);
        edit->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        edit->setPlainText(toQt(value));
        edit->setMinimumSize(edit->fontMetrics().horizontalAdvance(QString(60, QLatin1Char('m'))) / 2,
                             edit->fontMetrics().height() * 12);
        widget = edit;
        break;
    }
    case Control::Button: {
        auto* button = new QPushButton(toQt(text), this);
        connect(button, &QPushButton::clicked, this, [this, id] {
            if (m_events) {
                m_events->onButton(id);
            }
        });
        widget = button;
        break;
    }
    case Control::Checkbox: {
        auto* box = new QCheckBox(toQt(text), this);
        box->setChecked(value == "1");
        widget = box;
        break;
    }
    case Control::Frame: {
        auto* group = new QFrame(this);
        auto* row = new QHBoxLayout(group);
        row->setContentsMargins(0, 0, 0, 0);
        m_frames[id] = row;
        widget = group;
        break;
    }
    }
    if (kind == Control::Edit || kind == Control::MultiEdit) {
        // A world puts a field's caption in a text control just before it, or in
        // the field's own text; failing both, its id is all there is to name it.
        auto* caption = into->count() > 0 ? qobject_cast<QLabel*>(into->itemAt(into->count() - 1)->widget())
                                          : nullptr;
        QString name = toQt(text);
        if (name.isEmpty() && caption != nullptr) {
            name = caption->text();
        }
        widget->setAccessibleName(name.isEmpty() ? toQt(id) : name);
    }
    into->addWidget(widget, kind == Control::MultiEdit ? 1 : 0);
    if (!id.empty()) {
        m_controls[id] = widget;
    }
}

QWidget* QtMcpDialogView::control(const std::string& id) const {
    const auto found = m_controls.find(id);
    return found == m_controls.end() ? nullptr : found->second;
}

void QtMcpDialogView::setValue(const std::string& id, const std::string& value) {
    QWidget* widget = control(id);
    if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
        edit->setPlainText(toQt(value));
    } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        line->setText(toQt(value));
    } else if (auto* box = qobject_cast<QCheckBox*>(widget)) {
        box->setChecked(value == "1");
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(toQt(value));
    }
}

std::string QtMcpDialogView::value(const std::string& id) const {
    QWidget* widget = control(id);
    if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
        return fromQt(edit->toPlainText());
    }
    if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        return fromQt(line->text());
    }
    if (auto* box = qobject_cast<QCheckBox*>(widget)) {
        return box->isChecked() ? "1" : "0";
    }
    return {};
}

void QtMcpDialogView::showWindow() {
    show();
}

void QtMcpDialogView::closeWindow() {
    m_presenterClose.close(*this);
}

void QtMcpDialogView::closeEvent(QCloseEvent* event) {
    m_presenterClose.closeEvent(event, m_events != nullptr, [this] { m_events->onCloseRequested(); });
}

} // namespace corvane
