#include "qt/qt_watch_for_page.h"

#include "qt/qt_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvane {

namespace {

const QColor kGrey(128, 128, 128);

void setTextColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

} // namespace

QtWatchForPage::QtWatchForPage(QWidget* parent)
    : QWidget(parent) {
    auto* frame = new QGroupBox(tr("WatchFor Options"), this);
    frame->setObjectName("fraWatchFor");
    auto* grid = new QGridLayout(frame);

    auto* worldLabel = new QLabel(tr("&MU* Name:"), frame);
    m_worlds = new QComboBox(frame);
    m_worlds->setObjectName("cmbMUName");
    m_worlds->setEditable(false);
    worldLabel->setBuddy(m_worlds);
    grid->addWidget(worldLabel, 0, 0);
    grid->addWidget(m_worlds, 0, 1, 1, 3);
    connect(m_worlds, &QComboBox::activated, this,
            [this](int index) { notify([index](WatchForEvents& e) { e.onWorldChosen(index); }); });

    for (int i = 0; i < static_cast<int>(m_rows.size()); ++i) {
        Row& row = m_rows[static_cast<std::size_t>(i)];
        const QString n = QString::number(i);
        row.label = new QLabel(tr("Trigger &%1:").arg(i + 1), frame);
        row.label->setObjectName("lblTrig_" + n);
        row.text = new QLineEdit(frame);
        row.text->setObjectName("TrigText_" + n);
        row.label->setBuddy(row.text);
        row.popUp = new QCheckBox(tr("&Pop-Up"), frame);
        row.popUp->setObjectName("chkPopUp_" + n);
        row.font = new QPushButton(tr("&Font..."), frame);
        row.font->setObjectName("btnTrigFont_" + n);
        row.font->setAutoDefault(false);
        row.wavLabel = new QLabel(tr("&WAV File:"), frame);
        row.wavLabel->setObjectName("lblWAV_" + n);
        row.soundFile = new QLineEdit(frame);
        row.soundFile->setObjectName("TrigWAV_" + n);
        row.wavLabel->setBuddy(row.soundFile);
        row.browse = new QPushButton(tr("&Browse..."), frame);
        row.browse->setObjectName("Browse_" + n);
        row.browse->setAutoDefault(false);

        const int line = 1 + i * 2;
        grid->addWidget(row.label, line, 0);
        grid->addWidget(row.text, line, 1);
        grid->addWidget(row.popUp, line, 2);
        grid->addWidget(row.font, line, 3);
        grid->addWidget(row.wavLabel, line + 1, 0, Qt::AlignRight);
        grid->addWidget(row.soundFile, line + 1, 1, 1, 2);
        grid->addWidget(row.browse, line + 1, 3);

        row.text->installEventFilter(this);
        for (QLineEdit* box : {row.text, row.soundFile}) {
            connect(box, &QLineEdit::textEdited, this,
                    [this, i] { notify([i](WatchForEvents& e) { e.onRowEdited(i); }); });
        }
        connect(row.popUp, &QCheckBox::clicked, this,
                [this, i] { notify([i](WatchForEvents& e) { e.onRowEdited(i); }); });
        connect(row.font, &QPushButton::clicked, this,
                [this, i] { notify([i](WatchForEvents& e) { e.onTriggerFont(i); }); });
        connect(row.browse, &QPushButton::clicked, this,
                [this, i] { notify([i](WatchForEvents& e) { e.onBrowseSound(i); }); });
    }
    grid->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
}

template <typename Handler> void QtWatchForPage::notify(Handler handler) {
    if (m_events != nullptr) {
        handler(*m_events);
    }
}

bool QtWatchForPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        for (int i = 0; i < static_cast<int>(m_rows.size()); ++i) {
            if (watched == at(i).text) {
                if (event->type() == QEvent::FocusIn) {
                    notify([i](WatchForEvents& e) { e.onTriggerTextEntered(i); });
                } else {
                    notify([i](WatchForEvents& e) { e.onTriggerTextLeft(i); });
                }
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void QtWatchForPage::setWorldNames(const std::vector<std::string>& names) {
    m_worlds->clear();
    for (const std::string& name : names) {
        m_worlds->addItem(toQt(name));
    }
}

void QtWatchForPage::selectWorld(int index) {
    m_worlds->setCurrentIndex(index);
}

std::string QtWatchForPage::triggerText(int row) const {
    return fromQt(at(row).text->text());
}
void QtWatchForPage::setTriggerText(int row, const std::string& text) {
    at(row).text->setText(toQt(text));
}
std::string QtWatchForPage::soundFile(int row) const {
    return fromQt(at(row).soundFile->text());
}
void QtWatchForPage::setSoundFile(int row, const std::string& path) {
    at(row).soundFile->setText(toQt(path));
}
bool QtWatchForPage::popUp(int row) const {
    return at(row).popUp->isChecked();
}
void QtWatchForPage::setPopUp(int row, bool checked) {
    at(row).popUp->setChecked(checked);
}
void QtWatchForPage::setPopUpEnabled(int row, bool enabled) {
    at(row).popUp->setEnabled(enabled);
}

void QtWatchForPage::setSoundEnabled(int row, bool enabled) {
    const Row& r = at(row);
    r.soundFile->setEnabled(enabled);
    r.browse->setEnabled(enabled);
    // Black on the usual light dialog: the normal text colour of the theme.
    setTextColour(r.wavLabel, QPalette::WindowText, enabled ? palette().color(QPalette::WindowText) : kGrey);
}

void QtWatchForPage::setTriggerLook(int row, const std::string& fontName, bool bold, bool italic,
                                    std::int32_t colour) {
    QLineEdit* box = at(row).text;
    // The trigger's face and colour; the box keeps its own size.
    QFont font = box->font();
    if (!fontName.empty()) {
        font.setFamily(toQt(fontName));
    }
    font.setBold(bold);
    font.setItalic(italic);
    box->setFont(font);
    const auto value = static_cast<std::uint32_t>(colour);
    setTextColour(box, QPalette::Text,
                  colour < 0 ? palette().color(QPalette::Text)
                             : QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                                      static_cast<int>((value >> 16) & 0xFF)));
}

} // namespace corvane
