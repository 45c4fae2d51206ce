#include "ui/windows/SecureKeyField.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QObject>
#include <QString>
#include <QTest>
#include <QToolButton>

namespace quorvane {
namespace {

TEST(SecureKeyFieldTest, ToggleShowsAndHidesTheKey) {
    SecureKeyField field;
    int edits = 0;
    QObject::connect(&field, &SecureKeyField::textEdited, [&](const QString&) { ++edits; });
    field.setText("sk-secret");
    EXPECT_EQ(edits, 0);
    EXPECT_EQ(field.lineEdit()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(field.toggleButton()->accessibleName().toStdString(), "Show API key");

    QTest::mouseClick(field.toggleButton(), Qt::LeftButton);
    EXPECT_EQ(field.lineEdit()->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(field.toggleButton()->toolTip().toStdString(), "Hide key");
    EXPECT_EQ(field.toggleButton()->accessibleName().toStdString(), "Hide API key");

    QTest::keyClicks(field.lineEdit(), "x");
    EXPECT_EQ(edits, 1);
    EXPECT_EQ(field.text().toStdString(), "sk-secretx");
}

} // namespace
} // namespace quorvane
