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
    ASSERT_TRUE(kind && colour && mode && caseSensitive);
    EXPECT_TRUE(colour->isEnabled() && mode->isEnabled() && caseSensitive->isEnabled());

    kind->setCurrentIndex(1);
    EXPECT_FALSE(colour->isEnabled()) << "an alias colours nothing";
    EXPECT_TRUE(mode->isEnabled());

    kind->setCurrentIndex(2);
    EXPECT_FALSE(colour->isEnabled());
    EXPECT_FALSE(mode->isEnabled()) << "a key is named, not matched";
    EXPECT_FALSE(caseSensitive->isEnabled());
}

} // namespace
} // namespace corvane
