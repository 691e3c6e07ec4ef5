#include "qt/qt_speech_page.h"

#include "qt/qt_text.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>
#include <cmath>

namespace corvane {

QtSpeechPage::QtSpeechPage(QWidget* parent, std::function<void()> changed)
    : QWidget(parent)
    , m_changed(std::move(changed)) {
    setObjectName("fraSpeech");
    m_reason = new QLabel(this);
    m_reason->setObjectName("lblSpeechReason");
    m_reason->setTextFormat(Qt::PlainText);
    m_reason->setWordWrap(true);
    m_reason->hide();
    m_controls = new QWidget(this);
    const auto report = [this] {
        if (m_changed) {
            m_changed();
        }
    };

    const auto box = [this, &report](Box which, const QString& caption, const char* name) {
        auto* check = new QCheckBox(caption, m_controls);
        check->setObjectName(name);
        connect(check, &QCheckBox::clicked, this, report);
        m_boxes[which] = check;
        return check;
    };
    auto* incoming = box(SpeakIncoming, tr("Speak &incoming text"), "chkSpeakIncoming");
    m_always = new QRadioButton(tr("Al&ways"), m_controls);
    m_always->setObjectName("optSpeakAlways");
    m_background = new QRadioButton(tr("Only while Corvane is in the &background"), m_controls);
    m_background->setObjectName("optSpeakInBackground");
    m_background->setToolTip(tr("For reading the window with a screen reader while Corvane is in front"));
    auto* when = new QButtonGroup(this);
    when->addButton(m_always);
    when->addButton(m_background);
    m_always->setChecked(true);
    for (QRadioButton* option : {m_always, m_background}) {
        connect(option, &QRadioButton::clicked, this, report);
    }
    // The pair stands for one box; it is kept so checked() reads like the others.
    m_boxes[OnlyInBackground] = nullptr;
    auto* sent = box(SpeakSent, tr("Speak what I s&end"), "chkSpeakSent");
    auto* conversations = box(SpeakConversations, tr("Speak &conversation lines with the name"),
                              "chkSpeakConversations");
    conversations->setToolTip(tr("Pages, whispers and lines with your name are said first, with who sent them"));

    m_voice = new QComboBox(m_controls);
    m_voice->setObjectName("cboVoice");
    connect(m_voice, &QComboBox::activated, this, report);
    const auto slider = [this, &report](Level which, int low, int high, const char* name) {
        auto* s = new QSlider(Qt::Horizontal, m_controls);
        s->setObjectName(name);
        s->setRange(low, high);
        s->setPageStep(10);
        s->setTickPosition(QSlider::TicksBelow);
        s->setTickInterval(50);
        connect(s, &QSlider::actionTriggered, this, report);
        m_levels[which] = s;
        return s;
    };

    auto* column = new QVBoxLayout(m_controls);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(incoming);
    auto* whenRow = new QVBoxLayout;
    whenRow->setContentsMargins(24, 0, 0, 0);
    whenRow->addWidget(m_always);
    whenRow->addWidget(m_background);
    column->addLayout(whenRow);
    auto* form = new QFormLayout;
    const auto row = [form, this](const QString& caption, QWidget* field) {
        auto* label = new QLabel(caption, m_controls);
        label->setBuddy(field);
        form->addRow(label, field);
        field->setAccessibleName(QString(caption).remove('&').remove(':'));
    };
    row(tr("&Voice:"), m_voice);
    row(tr("&Rate:"), slider(Rate, -100, 100, "sldSpeechRate"));
    row(tr("Pi&tch:"), slider(Pitch, -100, 100, "sldSpeechPitch"));
    row(tr("Vol&ume:"), slider(Volume, 0, 100, "sldSpeechVolume"));
    column->addLayout(form);
    column->addWidget(sent);
    column->addWidget(conversations);
    column->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_reason);
    layout->addWidget(m_controls, 1);
}

void QtSpeechPage::setChecked(Box box, bool checked) {
    if (box == OnlyInBackground) {
        (checked ? m_background : m_always)->setChecked(true);
    } else if (box < BoxCount) {
        m_boxes[box]->setChecked(checked);
    }
}

bool QtSpeechPage::checked(Box box) const {
    if (box == OnlyInBackground) {
        return m_background->isChecked();
    }
    return box < BoxCount && m_boxes[box]->isChecked();
}

void QtSpeechPage::setVoices(const std::vector<std::string>& names, int selected) {
    m_voice->clear();
    for (const std::string& name : names) {
        m_voice->addItem(toQt(name));
    }
    m_voice->setCurrentIndex(selected);
}

int QtSpeechPage::voiceChoice() const {
    return m_voice->currentIndex();
}

void QtSpeechPage::setLevel(Level level, double value) {
    if (level < LevelCount) {
        m_levels[level]->setValue(static_cast<int>(std::lround(value * 100)));
    }
}

double QtSpeechPage::level(Level level) const {
    return level < LevelCount ? m_levels[level]->value() / 100.0 : 0;
}

void QtSpeechPage::setUnavailable(const std::string& reason) {
    m_reason->setText(toQt(reason));
    m_reason->setVisible(!reason.empty());
    m_controls->setEnabled(reason.empty());
}

} // namespace corvane
