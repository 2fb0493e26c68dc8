#include "paint/FontRegistration.h"
#include "paint/Fonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

#include <gtest/gtest.h>

using namespace velloran;
using namespace Qt::StringLiterals;

TEST(BundledFonts, EveryFamilyResolvesToTheShippedFile)
{
    EXPECT_GE(fonts::registerBundledFonts(), 11);
    const QStringList families = QFontDatabase::families();
    for (const QString &family : {fonts::sans(), fonts::serif(), fonts::mono(), fonts::hand()}) {
        EXPECT_TRUE(families.contains(family)) << family.toStdString();
        EXPECT_EQ(QFontInfo(fonts::font(family, 20)).family(), family);
    }
    EXPECT_EQ(QFontInfo(fonts::font(u"InstrumentSerif-Regular"_s, 20)).family(), fonts::serif());
    const QFontInfo bold(fonts::font(fonts::sans(), 15, QFont::Bold));
    EXPECT_EQ(bold.family(), fonts::sans());
    EXPECT_EQ(bold.weight(), QFont::Bold);
}
