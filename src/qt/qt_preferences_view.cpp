#include "qt/qt_preferences_view.h"

#include "qt/qt_screen_fit.h"
#include "qt/qt_text.h"
#include "qt/qt_speech_page.h"
#include "qt/qt_watch_for_page.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QIcon>
#include <QPixmap>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QRegularExpression>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace corvane {

namespace {

// A stored colour (0x00BBGGRR); negative values are the old platform's
// system colours, shown here as the theme's own.
QColor colourOf(std::int32_t value, const QColor& system) {
    if (value < 0) {
        return system;
    }
    const auto bgr = static_cast<std::uint32_t>(value);
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

QPushButton* button(const QString& caption, const char* objectName, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(objectName);
    b->setAutoDefault(false);
    return b;
}

} // namespace

QtPreferencesView::QtPreferencesView(QWidget* parent)
    : QDialog(parent) {
    setObjectName("frmPrefs");
    setModal(false);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName("tbsOptions");
    // Each page scrolls on a screen too small for it; the buttons stay.
    m_tabs->addTab(ScrollingPart(buildFontsPage()), tr("Fonts"));
    m_tabs->addTab(ScrollingPart(buildDirectoriesPage()), tr("Directories"));
    m_watchFor = new QtWatchForPage(m_tabs);
    m_tabs->addTab(ScrollingPart(m_watchFor), tr("WatchFor"));
    m_tabs->addTab(ScrollingPart(buildPlayPage()), tr("&Play"));
    m_speech = new QtSpeechPage(m_tabs, [this] { notify([](PreferencesEvents& e) { e.onOptionChanged(); }); });
    m_tabs->addTab(ScrollingPart(m_speech), tr("&Speech"));

    auto* ok = new QPushButton(tr("OK"), this);
    ok->setObjectName("btnOKApply_0");
    ok->setDefault(true);
    auto* apply = button(tr("Apply"), "btnOKApply_1", this);
    auto* cancel = button(tr("Cancel"), "cmdCancel", this);
    connect(ok, &QPushButton::clicked, this,
            [this] { notify([](PreferencesEvents& e) { e.onOkApply(0); }); });
    connect(apply, &QPushButton::clicked, this,
            [this] { notify([](PreferencesEvents& e) { e.onOkApply(1); }); });
    connect(cancel, &QPushButton::clicked, this,
            [this] { notify([](PreferencesEvents& e) { e.onCancel(); }); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(apply);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addLayout(buttons);

    // Anywhere in the dialog, also on the buttons below the pages.
    auto* nextTab = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
    connect(nextTab, &QShortcut::activated, this,
            [this] { notify([](PreferencesEvents& e) { e.onNextTab(); }); });
}

QtPreferencesView::~QtPreferencesView() = default;

QWidget* QtPreferencesView::buildFontsPage() {
    auto* page = new QWidget;
    auto* frame = new QGroupBox(tr("Font Attributes"), page);
    frame->setObjectName("fraFonts");
    m_sample = new QLabel(tr("Sample Text..."), frame);
    m_sample->setObjectName("lblFont");
    m_sample->setTextFormat(Qt::PlainText);
    m_sample->setAutoFillBackground(true);
    m_sample->setFrameShape(QFrame::StyledPanel);
    m_sample->setMargin(6);
    m_sample->setMinimumHeight(60);
    m_sample->setAlignment(Qt::AlignCenter);
    auto* changeFont = button(tr("Change Fon&t"), "btnChangeFont", frame);
    auto* foreground = button(tr("&Foreground Color..."), "btnChangeColor_0", frame);
    auto* background = button(tr("&Background Color..."), "btnChangeColor_1", frame);
    connect(changeFont, &QPushButton::clicked, this,
            [this] { notify([](PreferencesEvents& e) { e.onChangeFont(); }); });
    connect(foreground, &QPushButton::clicked, this,
            [this] { notify([](PreferencesEvents& e) { e.onChangeColour(0); }); });
    connect(background, &QPushButton::clicked, this,
            [this] { notify([](PreferencesEvents& e) { e.onChangeColour(1); }); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(changeFont);
    buttons->addWidget(foreground);
    buttons->addWidget(background);
    buttons->addStretch(1);
    auto* inside = new QVBoxLayout(frame);
    inside->addWidget(m_sample, 1);
    inside->addLayout(buttons);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(frame);
    layout->addStretch(1);
    return page;
}

QWidget* QtPreferencesView::buildDirectoriesPage() {
    auto* page = new QWidget;
    auto* frame = new QGroupBox(tr("Directories and other Options"), page);
    frame->setObjectName("fraDirectories");
    auto* grid = new QGridLayout(frame);
    int line = 0;

    const std::array<QString, 2> pathCaptions = {tr("&Program Path:"), tr("Pic&ture Path:")};
    for (int which = 0; which < 2; ++which) {
        auto* caption = new QLabel(pathCaptions[static_cast<std::size_t>(which)], frame);
        auto* path = new QLabel(frame);
        path->setObjectName(QString("PathLabel_%1").arg(which));
        path->setTextFormat(Qt::PlainText);
        path->setFrameShape(QFrame::StyledPanel);
        path->setTextInteractionFlags(Qt::TextSelectableByMouse);
        path->setMinimumWidth(240);
        m_pathLabels[static_cast<std::size_t>(which)] = path;
        // The folder chooser stands in for the drive and directory lists.
        auto* choose = button(tr("Choose..."), which == 0 ? "DirBox_0" : "DirBox_1", frame);
        caption->setBuddy(choose);
        connect(choose, &QPushButton::clicked, this,
                [this, which] { notify([which](PreferencesEvents& e) { e.onChooseFolder(which); }); });
        grid->addWidget(caption, line, 0);
        grid->addWidget(path, line, 1, 1, 2);
        grid->addWidget(choose, line, 3);
        ++line;
    }

    auto* browserCaption = new QLabel(tr("Default &WWW Browser:"), frame);
    m_browser = new QLineEdit(frame);
    m_browser->setObjectName("txtBrowser");
    browserCaption->setBuddy(m_browser);
    auto* browse = button(tr("&Browse..."), "btnBrowser", frame);
    connect(browse, &QPushButton::clicked, this,
            [this] { notify([](PreferencesEvents& e) { e.onBrowseBrowser(); }); });
    connect(m_browser, &QLineEdit::textEdited, this,
            [this] { notify([](PreferencesEvents& e) { e.onOptionChanged(); }); });
    grid->addWidget(browserCaption, line, 0);
    grid->addWidget(m_browser, line, 1, 1, 2);
    grid->addWidget(browse, line, 3);
    ++line;

    m_oneBrowser = new QRadioButton(tr("&One Browser"), frame);
    m_oneBrowser->setObjectName("optBrowser_0");
    m_multipleBrowsers = new QRadioButton(tr("&Multiple Browsers"), frame);
    m_multipleBrowsers->setObjectName("optBrowser_1");
    auto* group = new QButtonGroup(frame);
    group->addButton(m_oneBrowser);
    group->addButton(m_multipleBrowsers);
    for (QRadioButton* option : {m_oneBrowser, m_multipleBrowsers}) {
        connect(option, &QRadioButton::clicked, this,
                [this] { notify([](PreferencesEvents& e) { e.onOptionChanged(); }); });
    }
    grid->addWidget(new QLabel(tr("Use:"), frame), line, 0);
    grid->addWidget(m_oneBrowser, line, 1);
    grid->addWidget(m_multipleBrowsers, line, 2);
    ++line;

    m_maxLinesLabel = new QLabel(tr("Maximum &Lines of text (16-000):"), frame);
    m_maxLines = new QLineEdit(frame);
    m_maxLines->setObjectName("txtMaxLines");
    m_maxLines->setMaximumWidth(m_maxLines->fontMetrics().horizontalAdvance(QStringLiteral("00000000")));
    m_maxLinesLabel->setBuddy(m_maxLines);
    m_maxLines->installEventFilter(this);
    connect(m_maxLines, &QLineEdit::textEdited, this,
            [this] { notify([](PreferencesEvents& e) { e.onOptionChanged(); }); });
    grid->addWidget(m_maxLinesLabel, line, 0, 1, 2);
    grid->addWidget(m_maxLines, line, 2, Qt::AlignLeft);
    ++line;
    m_maxLinesNote = new QLabel(frame);
    m_maxLinesNote->setObjectName("lblMaxLinesNote");
    m_maxLinesNote->setTextFormat(Qt::PlainText);
    m_maxLinesNote->setWordWrap(true);
    m_maxLinesNote->hide();
    grid->addWidget(m_maxLinesNote, line++, 0, 1, 4);

    const std::array<std::pair<QString, const char*>, CheckCount> checks = {{
        {tr("&Auto-load room pictures"), "chkAutoPicture"},
        {tr("&Save Window && Button-bar Positions"), "chkWindowPos"},
        {tr("&Ring Bell"), "chkMinText_0"},
        {tr("Restore &Window"), "chkMinText_1"},
        {tr("&Keep passwords in the system keyring"), "chkKeyring"},
    }};
    for (std::size_t i = 0; i < checks.size(); ++i) {
        auto* box = new QCheckBox(checks[i].first, frame);
        box->setObjectName(checks[i].second);
        connect(box, &QCheckBox::clicked, this,
                [this] { notify([](PreferencesEvents& e) { e.onOptionChanged(); }); });
        m_checks[i] = box;
    }
    grid->addWidget(m_checks[AutoPicture], line++, 0, 1, 4);
    grid->addWidget(m_checks[WindowPosition], line++, 0, 1, 4);
    grid->addWidget(new QLabel(tr("When text is received while Minimized:"), frame), line++, 0, 1, 4);
    grid->addWidget(m_checks[RingBell], line, 1);
    grid->addWidget(m_checks[RestoreWindow], line++, 2);
    grid->addWidget(m_checks[KeyringPasswords], line++, 0, 1, 4);
    m_keyringReason = new QLabel(frame);
    m_keyringReason->setObjectName("lblKeyringReason");
    m_keyringReason->setTextFormat(Qt::PlainText);
    m_keyringReason->hide();
    grid->addWidget(m_keyringReason, line++, 0, 1, 4);
    grid->setColumnStretch(2, 1);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(frame);
    layout->addStretch(1);
    return page;
}

QWidget* QtPreferencesView::buildPlayPage() {
    auto* page = new QWidget;
    page->setObjectName("fraPlay");
    auto* frame = new QGroupBox(tr("Habits from other clients"), page);
    auto* column = new QVBoxLayout(frame);
    for (std::size_t i = 0; i < kPlayOptionCount; ++i) {
        auto* box = new QCheckBox(frame);
        box->setObjectName(QString("chkPlay_%1").arg(toQt(std::string(PlayOptionKey(static_cast<PlayOption>(i))))));
        connect(box, &QCheckBox::clicked, this,
                [this] { notify([](PreferencesEvents& e) { e.onOptionChanged(); }); });
        m_playChecks[i] = box;
        if (static_cast<PlayOption>(i) != PlayOption::SentInColour) {
            column->addWidget(box);
            continue;
        }
        // The colour sits beside its option.
        auto* row = new QHBoxLayout;
        m_sentColour = new QPushButton(tr("Colour..."), frame);
        m_sentColour->setObjectName("cmdSentColour");
        m_sentColour->setAccessibleName(tr("Colour of what I send"));
        connect(m_sentColour, &QPushButton::clicked, this,
                [this] { notify([](PreferencesEvents& e) { e.onChangeColour(2); }); });
        row->addWidget(box);
        row->addWidget(m_sentColour);
        row->addStretch(1);
        column->addLayout(row);
    }
    {
        auto* row = new QHBoxLayout;
        auto* label = new QLabel(tr("Client commands start &with:"), frame);
        m_commandPrefix = new QComboBox(frame);
        m_commandPrefix->setObjectName("cboCommandPrefix");
        m_commandPrefix->setAccessibleName(tr("Client commands start with"));
        m_commandPrefix->addItems({tr("None (every line is sent)"), tr("/"), tr("#")});
        label->setBuddy(m_commandPrefix);
        connect(m_commandPrefix, &QComboBox::activated, this,
                [this] { notify([](PreferencesEvents& e) { e.onOptionChanged(); }); });
        row->addWidget(label);
        row->addWidget(m_commandPrefix);
        row->addStretch(1);
        column->addLayout(row);
    }
    auto* spelling = new QGroupBox(tr("Spelling"), page);
    auto* spellColumn = new QVBoxLayout(spelling);
    auto* spellRow = new QHBoxLayout;
    auto* spellLabel = new QLabel(tr("Check spe&lling in:"), spelling);
    m_spellChoice = new QComboBox(spelling);
    m_spellChoice->setObjectName("cboSpelling");
    spellLabel->setBuddy(m_spellChoice);
    connect(m_spellChoice, &QComboBox::activated, this,
            [this] { notify([](PreferencesEvents& e) { e.onOptionChanged(); }); });
    spellRow->addWidget(spellLabel);
    spellRow->addWidget(m_spellChoice, 1);
    spellColumn->addLayout(spellRow);
    m_spellReason = new QLabel(spelling);
    m_spellReason->setObjectName("lblSpellingReason");
    m_spellReason->setTextFormat(Qt::PlainText);
    m_spellReason->setWordWrap(true);
    m_spellReason->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_spellReason->hide();
    spellColumn->addWidget(m_spellReason);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(frame);
    layout->addWidget(spelling);
    layout->addStretch(1);
    return page;
}

namespace {

// "en_GB" shown as "English (United Kingdom) - en_GB"; a name that is no
// locale's is shown as it is.
QString dictionaryCaption(const std::string& name) {
    const QString code = toQt(name);
    static const QRegularExpression localeName(QStringLiteral("^[a-z]{2,3}([_-]([A-Z]{2}|[0-9]{3}))?$"));
    if (!localeName.match(code).hasMatch()) {
        return code;
    }
    const QLocale locale(code);
    if (locale.language() == QLocale::C) {
        return code;
    }
    QString caption = QLocale::languageToString(locale.language());
    if (code.contains(QLatin1Char('_')) || code.contains(QLatin1Char('-'))) {
        caption += QStringLiteral(" (%1)").arg(QLocale::territoryToString(locale.territory()));
    }
    return caption + QStringLiteral(" - ") + code;
}

} // namespace

void QtPreferencesView::setSpellChoices(const std::vector<std::string>& choices, int selected) {
    m_spellChoice->clear();
    for (const std::string& choice : choices) {
        m_spellChoice->addItem(dictionaryCaption(choice));
    }
    m_spellChoice->setCurrentIndex(selected);
}

void QtPreferencesView::setCommandPrefixChoice(int choice) {
    m_commandPrefix->setCurrentIndex(choice);
}

int QtPreferencesView::commandPrefixChoice() const {
    return m_commandPrefix->currentIndex();
}

int QtPreferencesView::spellChoice() const {
    return m_spellChoice->currentIndex();
}

void QtPreferencesView::setSpellUnavailable(const std::string& reason) {
    m_spellChoice->setEnabled(reason.empty());
    m_spellReason->setText(toQt(reason));
    m_spellReason->setVisible(!reason.empty());
}

void QtPreferencesView::setOptionCaption(PlayOption option, const std::string& caption) {
    QCheckBox* box = m_playChecks[static_cast<std::size_t>(option)];
    box->setText(toQt(caption));
    // Read out without the "&" of the access key.
    box->setAccessibleName(toQt(caption).remove(QChar('&')));
}

bool QtPreferencesView::isOptionChecked(PlayOption option) const {
    return m_playChecks[static_cast<std::size_t>(option)]->isChecked();
}

void QtPreferencesView::setSentColour(std::int32_t colour) {
    QPixmap swatch(14, 14);
    swatch.fill(colourOf(colour, QColor(Qt::black)));
    m_sentColour->setIcon(QIcon(swatch));
}

void QtPreferencesView::setOptionChecked(PlayOption option, bool checked) {
    m_playChecks[static_cast<std::size_t>(option)]->setChecked(checked);
}

template <typename Handler> void QtPreferencesView::notify(Handler handler) {
    if (m_events != nullptr) {
        handler(*m_events);
    }
}

SpeechPageView& QtPreferencesView::speech() {
    return *m_speech;
}

WatchForView& QtPreferencesView::watchFor() {
    return *m_watchFor;
}

void QtPreferencesView::setCaption(const std::string& caption) {
    setWindowTitle(toQt(caption));
}

int QtPreferencesView::currentTab() const {
    return m_tabs->currentIndex();
}

void QtPreferencesView::selectTab(int tab) {
    m_tabs->setCurrentIndex(tab);
}

void QtPreferencesView::setSample(const SampleLook& look) {
    QFont font(toQt(look.fontName));
    font.setPointSizeF(look.fontSize > 0 ? look.fontSize : 9);
    font.setBold(look.bold);
    font.setItalic(look.italic);
    m_sample->setFont(font);
    QPalette palette = m_sample->palette();
    palette.setColor(QPalette::WindowText, colourOf(look.text, palette.color(QPalette::WindowText)));
    palette.setColor(QPalette::Window, colourOf(look.background, palette.color(QPalette::Window)));
    m_sample->setPalette(palette);
    m_sample->setText(toQt(look.caption));
    // The page grows with the sample text; the dialog with the page.
    m_sample->setMinimumSize(m_sample->sizeHint());
    adjustSize();
}

void QtPreferencesView::setPathLabel(int which, const std::string& path) {
    m_pathLabels[static_cast<std::size_t>(which)]->setText(toQt(path));
}

std::string QtPreferencesView::browser() const {
    return fromQt(m_browser->text());
}
void QtPreferencesView::setBrowser(const std::string& path) {
    m_browser->setText(toQt(path));
}
void QtPreferencesView::setMaxLinesCaption(const std::string& caption) {
    m_maxLinesLabel->setText(toQt(caption));
}
std::string QtPreferencesView::maxLines() const {
    return fromQt(m_maxLines->text());
}
void QtPreferencesView::setMaxLines(const std::string& text) {
    m_maxLines->setText(toQt(text));
}

void QtPreferencesView::selectAllMaxLines() {
    // After the click that gave the focus has placed the cursor.
    QTimer::singleShot(0, m_maxLines, &QLineEdit::selectAll);
}

bool QtPreferencesView::checked(Check box) const {
    return m_checks[static_cast<std::size_t>(box)]->isChecked();
}
void QtPreferencesView::setChecked(Check box, bool value) {
    m_checks[static_cast<std::size_t>(box)]->setChecked(value);
}
void QtPreferencesView::setMaxLinesNote(const std::string& note) {
    m_maxLinesNote->setText(toQt(note));
    m_maxLinesNote->setVisible(!note.empty());
    // Read out with the field, for those who cannot see the line appear.
    m_maxLines->setAccessibleDescription(toQt(note));
}

void QtPreferencesView::setKeyringUnavailable(const std::string& reason) {
    m_checks[KeyringPasswords]->setEnabled(reason.empty());
    m_keyringReason->setText(toQt(reason));
    m_keyringReason->setVisible(!reason.empty());
}

bool QtPreferencesView::multipleBrowsers() const {
    return m_multipleBrowsers->isChecked();
}
void QtPreferencesView::setMultipleBrowsers(bool multiple) {
    (multiple ? m_multipleBrowsers : m_oneBrowser)->setChecked(true);
}

void QtPreferencesView::showDialog() {
    if (!isVisible()) {
        adjustSize();
        if (const QScreen* s = parentWidget() != nullptr ? parentWidget()->screen() : screen()) {
            const QRect area = s->availableGeometry();
            move(area.center() - rect().center());
        }
        show();
    }
    raise();
    activateWindow();
}

void QtPreferencesView::closeDialog() {
    m_closing = true;
    hide();
}

bool QtPreferencesView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_maxLines && m_events != nullptr && !m_closing) {
        if (event->type() == QEvent::FocusIn) {
            m_events->onMaxLinesEntered();
        } else if (event->type() == QEvent::FocusOut) {
            m_events->onMaxLinesLeft();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void QtPreferencesView::closeEvent(QCloseEvent* event) {
    // The close box is Cancel.
    if (!m_closing && m_events != nullptr) {
        m_events->onCancel();
    }
    event->accept();
}

void QtPreferencesView::reject() {
    if (m_closing || m_events == nullptr) {
        QDialog::reject();
        return;
    }
    m_events->onCancel();
}

} // namespace corvane
