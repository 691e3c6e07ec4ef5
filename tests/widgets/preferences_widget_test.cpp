#include "widgets/qt_dialog_harness.h"
#include "settings/play_options.h"
#include "widgets/qt_wait.h"

#include "qt/qt_preferences_view.h"
#include "shell/speech_page.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

// The real preferences dialog over a client on fakes.
struct PreferencesWidget : ::testing::Test {
    QtDialogHarness h;
    QWidget* dialog = nullptr;
    QTabWidget* tabs = nullptr;

    void SetUp() override {
        h.folder.write("CORVANE.INI",
                       "[Addresses]\r\nMUD 1=Alpha,a.example,4201\r\n\r\n[Alpha]\r\nTrigger 1=dragon\r\n");
        h.client.start(false);
        h.client.onMenuTriggered(MenuItem::EditPreferences);
        dialog = QtDialogHarness::shownWindow("frmPrefs");
        ASSERT_NE(dialog, nullptr);
        tabs = dialog->findChild<QTabWidget*>("tbsOptions");
        ASSERT_NE(tabs, nullptr);
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    }
    void TearDown() override {
        if (dialog != nullptr && dialog->isVisible()) {
            QTest::keyClick(dialog, Qt::Key_Escape);
        }
    }
    template <typename T = QWidget> T* child(const char* name) const { return dialog->findChild<T*>(name); }
    QString text(const char* name) const {
        if (auto* button = child<QAbstractButton>(name)) {
            return button->text();
        }
        if (auto* label = child<QLabel>(name)) {
            return label->text();
        }
        return child<QGroupBox>(name) != nullptr ? child<QGroupBox>(name)->title() : QString("(missing)");
    }
};

TEST_F(PreferencesWidget, EveryControlHasItsNameAndCaption) {
    EXPECT_EQ(dialog->windowTitle(), "CORVane 2.1 Preferences");
    ASSERT_EQ(tabs->count(), 5);
    EXPECT_EQ(tabs->tabText(3), "&Play");
    EXPECT_EQ(tabs->tabText(4), "&Speech");
    // A client given no speech engine: the page says why and takes no clicks.
    EXPECT_FALSE(child("lblSpeechReason")->isHidden());
    EXPECT_EQ(child<QLabel>("lblSpeechReason")->text(), SpeechPage::kNoEngine);
    EXPECT_FALSE(child("chkSpeakIncoming")->isEnabled());
    EXPECT_FALSE(child("sldSpeechRate")->isEnabled());
    for (std::size_t i = 0; i < kPlayOptionCount; ++i) {
        const auto option = static_cast<PlayOption>(i);
        auto* box = child<QCheckBox>(("chkPlay_" + std::string(PlayOptionKey(option))).c_str());
        ASSERT_NE(box, nullptr);
        EXPECT_FALSE(box->accessibleName().isEmpty());
        EXPECT_FALSE(box->accessibleName().contains('&'));
    }
    EXPECT_EQ(tabs->tabText(0), "Fonts");
    EXPECT_EQ(tabs->tabText(1), "Directories");
    EXPECT_EQ(tabs->tabText(2), "WatchFor");
    const std::vector<std::pair<const char*, const char*>> captions = {
        {"fraFonts", "Font Attributes"},
        {"btnChangeFont", "Change Fon&t"},
        {"btnChangeColor_0", "&Foreground Color..."},
        {"btnChangeColor_1", "&Background Color..."},
        {"fraDirectories", "Directories and other Options"},
        {"btnBrowser", "&Browse..."},
        {"optBrowser_0", "&One Browser"},
        {"optBrowser_1", "&Multiple Browsers"},
        {"chkAutoPicture", "&Auto-load room pictures"},
        {"chkWindowPos", "&Save Window && Button-bar Positions"},
        {"chkMinText_0", "&Ring Bell"},
        {"chkMinText_1", "Restore &Window"},
        {"chkKeyring", "&Keep passwords in the system keyring"},
        {"fraWatchFor", "WatchFor Options"},
        {"lblTrig_4", "Trigger &5:"},
        {"chkPopUp_0", "&Pop-Up"},
        {"btnTrigFont_0", "&Font..."},
        {"lblWAV_0", "&WAV File:"},
        {"Browse_0", "&Browse..."},
        {"btnOKApply_0", "OK"},
        {"btnOKApply_1", "Apply"},
        {"cmdCancel", "Cancel"},
    };
    for (const auto& [name, caption] : captions) {
        EXPECT_EQ(text(name), caption) << name;
    }
    for (const char* name : {"txtBrowser", "txtMaxLines", "TrigText_0", "TrigWAV_4"}) {
        EXPECT_NE(child<QLineEdit>(name), nullptr) << name;
    }
    EXPECT_NE(child<QComboBox>("cmbMUName"), nullptr);
    EXPECT_EQ(child<QLabel>("lblFont")->text(), "Font: Courier New 9pt.");
    EXPECT_EQ(child<QLabel>("lblFont")->textFormat(), Qt::PlainText);
    // No keyring in this harness: the box is disabled and says why.
    EXPECT_FALSE(child<QCheckBox>("chkKeyring")->isEnabled());
    EXPECT_EQ(child<QLabel>("lblKeyringReason")->text(), "This system has no keyring service.");
    EXPECT_EQ(child<QLabel>("lblKeyringReason")->textFormat(), Qt::PlainText);
}

TEST(PreferencesSpelling, DictionariesShowTheirLanguageBesideTheirName) {
    QtPreferencesView view(nullptr);
    view.setSpellChoices({"Off", "en_US", "de", "my_words"}, 1);
    auto* choice = view.findChild<QComboBox*>("cboSpelling");
    ASSERT_NE(choice, nullptr);
    EXPECT_EQ(choice->itemText(0), "Off");
    EXPECT_EQ(choice->itemText(1), "English (United States) - en_US");
    EXPECT_EQ(choice->itemText(2), "German - de");
    EXPECT_EQ(choice->itemText(3), "my_words") << "no language of that name";
    EXPECT_EQ(view.spellChoice(), 1);
}

TEST_F(PreferencesWidget, CtrlTabCyclesTheTabsFromAnyControl) {
    tabs->setCurrentIndex(3);
    child("chkPlay_ShowSent")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs->currentIndex(), 4);
    child("cmdCancel")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_TRUE(child("fraFonts")->isVisible());
    EXPECT_FALSE(child("fraSpeech")->isVisible());
    child("btnOKApply_1")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs->currentIndex(), 1);
}

TEST_F(PreferencesWidget, AnEmptyTriggerRowIsGreyUntilItsTextBoxIsEntered) {
    tabs->setCurrentIndex(2);
    const auto wavColour = [&](const char* name) {
        return child<QLabel>(name)->palette().color(QPalette::WindowText);
    };
    EXPECT_TRUE(child("TrigWAV_0")->isEnabled());
    EXPECT_TRUE(child("chkPopUp_0")->isEnabled());
    EXPECT_FALSE(child("TrigWAV_1")->isEnabled());
    EXPECT_FALSE(child("Browse_1")->isEnabled());
    EXPECT_FALSE(child("chkPopUp_1")->isEnabled());
    EXPECT_EQ(wavColour("lblWAV_1"), QColor(128, 128, 128));

    QTest::mouseClick(child("TrigText_1"), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return child("TrigText_1")->hasFocus(); }));
    EXPECT_TRUE(child("TrigWAV_1")->isEnabled());
    EXPECT_TRUE(child("Browse_1")->isEnabled());
    EXPECT_NE(wavColour("lblWAV_1"), QColor(128, 128, 128));

    child("TrigText_2")->setFocus();
    ASSERT_TRUE(waitUntil([&] { return child("TrigText_2")->hasFocus(); }));
    EXPECT_FALSE(child("TrigWAV_1")->isEnabled());
}

TEST_F(PreferencesWidget, LeavingTheLineBoxCorrectsItAndEscapeCancels) {
    tabs->setCurrentIndex(1);
    auto* lines = child<QLineEdit>("txtMaxLines");
    lines->setFocus();
    // Entering the box selects its text, so typing replaces it.
    ASSERT_TRUE(waitUntil([&] { return lines->hasFocus() && lines->selectedText() == lines->text(); }));
    QTest::keyClicks(lines, "5");
    EXPECT_EQ(lines->text(), "5");
    child("txtBrowser")->setFocus();
    ASSERT_TRUE(waitUntil([&] { return !lines->hasFocus(); }));
    EXPECT_EQ(lines->text(), "16");

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(h.prompts.questions.empty());
}

} // namespace
} // namespace corvane::testing
