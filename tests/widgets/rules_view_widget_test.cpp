#include "qt/qt_rules_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <gtest/gtest.h>

namespace corvane {
namespace {

// Choosing a kind greys at once what that kind does not use, so no control
// stays live that would do nothing.
TEST(RulesViewKinds, ChoosingAKindGreysWhatItDoesNotUseAtOnce) {
    QtRulesView view(nullptr);
    view.setFieldsEnabled(true);
    RuleFields trigger;
    trigger.kind = 0;
    view.setFields(trigger);
    auto* kind = view.findChild<QComboBox*>("RuleKind");
    auto* colour = view.findChild<QComboBox*>("RuleColour");
    auto* mode = view.findChild<QComboBox*>("RuleMode");
    auto* caseSensitive = view.findChild<QCheckBox*>("RuleCase");
    auto* speech = view.findChild<QComboBox*>("RuleSpeech");
    auto* voice = view.findChild<QComboBox*>("RuleVoice");
    ASSERT_TRUE(kind && colour && mode && caseSensitive && speech && voice);
    EXPECT_TRUE(colour->isEnabled() && mode->isEnabled() && caseSensitive->isEnabled());
    EXPECT_TRUE(speech->isEnabled());
    EXPECT_FALSE(voice->isEnabled()) << "a line spoken as the Speech page says has its voice";
    speech->setCurrentIndex(1);
    EXPECT_TRUE(voice->isEnabled());
    speech->setCurrentIndex(3);
    EXPECT_FALSE(voice->isEnabled()) << "a line not spoken has no voice";
    speech->setCurrentIndex(2);

    kind->setCurrentIndex(1);
    EXPECT_FALSE(colour->isEnabled()) << "an alias colours nothing";
    EXPECT_FALSE(speech->isEnabled() || voice->isEnabled()) << "an alias speaks nothing";
    EXPECT_TRUE(mode->isEnabled());

    kind->setCurrentIndex(2);
    EXPECT_FALSE(colour->isEnabled());
    EXPECT_FALSE(mode->isEnabled()) << "a key is named, not matched";
    EXPECT_FALSE(caseSensitive->isEnabled());
}

// A rule's voice the engine does not offer now is kept, not swapped for
// the first in the list.
TEST(RulesViewKinds, AVoiceNotOfferedNowStaysTheRules) {
    QtRulesView view(nullptr);
    view.setVoices({{"en-a", "Alice (English)"}, {"en-b", "Bob (English)"}});
    RuleFields fields;
    fields.speech = 1;
    fields.voice = "en-b";
    view.setFields(fields);
    EXPECT_EQ(view.fields(), fields);
    fields.voice = "gone";
    view.setFields(fields);
    EXPECT_EQ(view.fields(), fields);
    fields.voice.clear();
    fields.speech = 3;
    view.setFields(fields);
    EXPECT_EQ(view.fields(), fields);
}

} // namespace
} // namespace corvane
