// The message-box service, the about box choice and the fonts of the three languages.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTextLayout>
#include <QTimer>

#include "app/AboutBox.h"
#include "support/ScriptedMessageBoxService.h"
#include "texts/AppValues.h"
#include "texts/QtMessageBoxService.h"

namespace velomira {
namespace {

TEST(AboutBoxChoice, KoreanForTwoTheOtherForZeroAndOneNoneOtherwise)
{
    EXPECT_EQ(AboutVariantFor(2), AboutVariant::Korean);
    EXPECT_EQ(AboutVariantFor(1), AboutVariant::International);
    EXPECT_EQ(AboutVariantFor(0), AboutVariantFor(1));
    EXPECT_EQ(AboutVariantFor(4), AboutVariantFor(1));
    EXPECT_FALSE(AboutVariantFor(7).has_value());
    EXPECT_FALSE(AboutVariantFor(-1).has_value());
}

TEST(AboutBoxChoice, BoxShowsTheVersionText)
{
    for (const AboutVariant variant : { AboutVariant::Korean, AboutVariant::International }) {
        AboutBox box(variant);
        const QLabel* version = box.findChild<QLabel*>("version");
        ASSERT_NE(version, nullptr);
        EXPECT_EQ(version->text(), "VELOMIRA6 v.1.0.3");
        EXPECT_NE(box.findChild<QAbstractButton*>(), nullptr) << "an OK button";
    }
}

struct IconCase {
    const char* name;
    std::string title;
    MessageIcon icon;
    MessageButtons buttons;
    MessageIcon shown;
};

class MessageIcons : public ::testing::TestWithParam<IconCase> { };

TEST_P(MessageIcons, UntitledBoxesGetTheDefaultIconOfTheirButtons)
{
    const IconCase& c = GetParam();
    EXPECT_EQ(EffectiveIcon({ "text", c.title, c.icon, c.buttons }), c.shown);
}

INSTANTIATE_TEST_SUITE_P(Boxes, MessageIcons,
    ::testing::Values(IconCase { "UntitledOk", "", MessageIcon::None, MessageButtons::Ok,
                          MessageIcon::Exclamation },
        IconCase { "UntitledOkCancel", "", MessageIcon::None, MessageButtons::OkCancel,
            MessageIcon::Exclamation },
        IconCase {
            "UntitledYesNo", "", MessageIcon::None, MessageButtons::YesNo, MessageIcon::Question },
        IconCase { "TitledKeepsNone", "VELOMIRA6", MessageIcon::None, MessageButtons::Ok,
            MessageIcon::None },
        IconCase {
            "ExplicitIconWins", "", MessageIcon::Error, MessageButtons::Ok, MessageIcon::Error }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(QtMessageBoxes, ShowTitleTextIconAndReturnTheAnswer)
{
    QWidget parent;
    QtMessageBoxService service(&parent);
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        box->button(QMessageBox::No)->click();
    });
    const MessageAnswer answer = service.Show(
        { "Do you want to save the changes?", "", MessageIcon::None, MessageButtons::YesNo });
    EXPECT_EQ(answer, MessageAnswer::No);
    EXPECT_EQ(title, QApplication::applicationName());
    EXPECT_EQ(text, "Do you want to save the changes?");
    EXPECT_EQ(icon, QMessageBox::Question);
}

TEST(QtMessageBoxes, ExplicitTitleIsKept)
{
    QtMessageBoxService service(nullptr);
    QString title;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        box->button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(
        service.Show({ "포맷이 완료되었습니다.", "루미엘", MessageIcon::None, MessageButtons::Ok }),
        MessageAnswer::Ok);
    EXPECT_EQ(title, QString::fromUtf8("루미엘"));
}

TEST(ScriptedMessageBoxes, AnswerFromTheScriptAndRecordEveryBox)
{
    test::ScriptedMessageBoxService service;
    service.Script(MessageAnswer::No);
    EXPECT_EQ(
        service.Show({ "a", "", MessageIcon::None, MessageButtons::YesNo }), MessageAnswer::No);
    EXPECT_EQ(
        service.Show({ "b", "", MessageIcon::None, MessageButtons::YesNo }), MessageAnswer::Yes);
    ASSERT_EQ(service.shown().size(), 2u);
    EXPECT_EQ(service.shown()[1].text, "b");
}

// Every character of `text` drawn in "Arial" (with the system's fallback fonts) has a
// real glyph, not the missing-glyph box.
void ExpectAllGlyphs(const QString& text, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(14);
    font.setBold(bold);
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    int glyphs = 0;
    for (const QGlyphRun& run : layout.glyphRuns()) {
        for (const quint32 index : run.glyphIndexes()) {
            EXPECT_NE(index, 0u) << "missing glyph in " << text.toStdString() << " ("
                                 << run.rawFont().familyName().toStdString() << ")";
            ++glyphs;
        }
    }
    EXPECT_GE(glyphs, text.size());
}

TEST(Fonts, KoreanJapaneseAndEnglishTitlesHaveGlyphs)
{
    for (const bool bold : { false, true }) {
        ExpectAllGlyphs(QString::fromUtf8("루미엘"), bold);
        ExpectAllGlyphs(QString::fromUtf8("ベロミラ6"), bold);
        ExpectAllGlyphs(QString::fromUtf8("前方⇔後方 재생 / 일시정지"), bold);
        ExpectAllGlyphs(QStringLiteral("VELOMIRA6 v.1.0.3"), bold);
    }
}

TEST(Fonts, ArialResolvesToAMetricCompatibleFace)
{
    const QFontInfo info(QFont(QStringLiteral("Arial")));
    EXPECT_EQ(info.family(), "Liberation Sans");
}

} // namespace
} // namespace velomira
