#include <gtest/gtest.h>

#include "conversions.h"

namespace {

TEST(TrimAtNul, CutsAtTheFirstNulAndStoresBack) {
    struct Case {
        QString in, out;
    } cases[] = {
        {QStringLiteral("no nul"), QStringLiteral("no nul")},
        {QString(), QString()},
        {QString::fromLatin1("\0abc", 4), QString()},
        {QString::fromLatin1("ab\0c\0d", 6), QStringLiteral("ab")},
        {QString::fromLatin1("abc\0", 4), QStringLiteral("abc")},
    };
    for (Case &c : cases) {
        QString variable = c.in;
        EXPECT_EQ(rt::TrimAtNul(variable), c.out);
        EXPECT_EQ(variable, c.out);
    }
}

TEST(TrimAtNul, PositionsBeyondSixteenBitsCountAsNotFound) {
    QString atLimit = QString(32766, u'x') + QChar(u'\0') + u'y';  // NUL at position 32767
    rt::TrimAtNul(atLimit);
    EXPECT_EQ(atLimit.size(), 32766);

    const QString beyond = QString(32767, u'x') + QChar(u'\0') + u'y';  // position 32768
    QString variable = beyond;
    EXPECT_EQ(rt::TrimAtNul(variable), beyond);
}

}  // namespace
