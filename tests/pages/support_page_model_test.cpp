#include "pages/support_page_model.h"

#include <gtest/gtest.h>

namespace q350::pages {
namespace {

TEST(SupportVersionTexts, FirmwareShowsItsFirstTwoDigitsOrUnknown) {
    EXPECT_EQ(FirmwareVersionText(u"7"), u"V 7.0");
    EXPECT_EQ(FirmwareVersionText(u"12"), u"V 1.2");
    EXPECT_EQ(FirmwareVersionText(u"123"), u"V 1.2");
    EXPECT_EQ(FirmwareVersionText(u""), u"Unknown");
    EXPECT_EQ(kSoftwareVersionText, u"V 1.0.2");
}

TEST(SupportHints, EachButtonAnswersOnePixelBeyondItsEdgesAndNowhereElse) {
    // Corners just outside each rectangle still give its hint; two pixels out gives none.
    for (const SupportButtonPlace& p : kSupportButtons) {
        EXPECT_EQ(SupportHintAt(p.rect.left - 1, p.rect.top - 1), p.hint);
        EXPECT_EQ(SupportHintAt(p.rect.right, p.rect.bottom), p.hint);
        EXPECT_EQ(SupportHintAt(p.rect.left - 2, p.rect.top), 0);
        EXPECT_EQ(SupportHintAt(p.rect.left, p.rect.bottom + 1), 0);
    }
    // The import and export buttons lie eight pixels apart: the gap between them is nobody's.
    EXPECT_EQ(SupportHintAt(228, 400), 0);
    EXPECT_EQ(SupportHintAt(224, 400), 90);
    EXPECT_EQ(SupportHintAt(231, 400), 91);
    EXPECT_EQ(SupportHintAt(450, 270), 48);
    EXPECT_EQ(SupportHintAt(760, 270), 49);
    EXPECT_EQ(SupportHintAt(800, 400), 50);
}

TEST(SupportQuestions, RestoreInBothLanguages) {
    EXPECT_EQ(RestoreQuestion(false), u"Do you want to restore the default setting?");
    EXPECT_EQ(RestoreQuestion(true), u"确定要恢复默认设置?");
}

}  // namespace
}  // namespace q350::pages
