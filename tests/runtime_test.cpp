// The rig's own conversions: general text form, narrowing, date text, number patterns, hex
// text and the clock switch.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QLocale>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "clock.h"
#include "conversions.h"
#include "rigerror.h"
#include "section_rig.h"

// Readable failure messages; internal, so other suites may have their own.
static void PrintTo(const QString &text, std::ostream *out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

// The error number `f` raises, or 0 when it returns normally.
template <typename F>
int errorOf(F &&f) {
    try {
        f();
    } catch (const rt::RigError &e) {
        return e.number();
    }
    return 0;
}

// Fixes the formats for a test and gives the user's formats back afterwards.
class FixedFormats {
  public:
    explicit FixedFormats(const QLocale &locale) {
        rt::overrideLocaleFormats(rt::formatsOf(locale));
    }
    ~FixedFormats() { rt::overrideLocaleFormats(std::nullopt); }
};

// ---- General text form -----------------------------------------------------------------

struct DoubleCase {
    double value;
    const char *text;
};

TEST(RuntimeGeneralText, Double) {
    const std::vector<DoubleCase> cases = {
        {0.5, "0.5"},
        {1.0, "1"},
        {0.046875, "0.046875"},
        {0.0001, "0.0001"},
        {0.00001, "1E-05"},
        {-0.00001, "-1E-05"},
        {0.00015, "0.00015"},
        {1.0 / 3.0, "0.333333333333333"},
        {-1.0 / 3.0, "-0.333333333333333"},
        {2.0 / 3.0, "0.666666666666667"},
        {1e15, "1E+15"},
        {1e14, "100000000000000"},
        {123456789012345.6, "123456789012346"},
        {1234567890123456.0, "1.23456789012346E+15"},
        {1.5e-10, "1.5E-10"},
        {1.23456e22, "1.23456E+22"},
        {-2.5, "-2.5"},
        {100.0, "100"},
        {0.1 + 0.2, "0.3"},  // 15 digits hide the binary error
        {0.0, "0"},
        {-0.0, "0"},
        // Rounding can carry into a new decade; the exponent is the rounded value's.
        {99999.99999999996, "100000"},
        {999999999999999.5, "1E+15"},
        {std::nextafter(1e-4, 0.0), "0.0001"},
        {std::nextafter(1e-10, 0.0), "1E-10"},
        {std::numeric_limits<double>::max(), "1.79769313486232E+308"},
        {-std::numeric_limits<double>::max(), "-1.79769313486232E+308"},
        {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
        {1e100, "1E+100"},
        {kInf, "Infinity"},
        {-kInf, "-Infinity"},
        {kNaN, "NaN"},
    };
    for (const DoubleCase &c : cases)
        EXPECT_EQ(rt::textOf(c.value), QString::fromLatin1(c.text)) << c.text;
}

struct FloatCase {
    float value;
    const char *text;
};

TEST(RuntimeGeneralText, Single) {
    const std::vector<FloatCase> cases = {
        {1.0f / 3.0f, "0.3333333"},
        {12345678.0f, "1.234568E+07"},
        {-12345678.0f, "-1.234568E+07"},
        {1234567.0f, "1234567"},
        {66666.664f, "66666.66"},
        {999999.95f, "999999.9"},  // the nearest single is 999999.9375
        {9999999.5f, "1E+07"},
        {1.9999999f, "2"},
        {0.1f, "0.1"},  // 15 digits would show 0.100000001490116
        {0.00001f, "1E-05"},
        {0.0001f, "0.0001"},
        {16777217.0f, "1.677722E+07"},
        {std::numeric_limits<float>::max(), "3.402823E+38"},
        {-std::numeric_limits<float>::max(), "-3.402823E+38"},
        {std::numeric_limits<float>::denorm_min(), "1.401298E-45"},
        {0.0f, "0"},
        {-0.0f, "0"},
        {std::numeric_limits<float>::infinity(), "Infinity"},
        {std::numeric_limits<float>::quiet_NaN(), "NaN"},
    };
    for (const FloatCase &c : cases)
        EXPECT_EQ(rt::textOf(c.value), QString::fromLatin1(c.text)) << c.text;
}

TEST(RuntimeGeneralText, SingleAndDoubleOfTheSameValueDiffer) {
    EXPECT_EQ(rt::textOf(66666.664f), QStringLiteral("66666.66"));
    EXPECT_EQ(rt::textOf(static_cast<double>(66666.664f)), QStringLiteral("66666.6640625"));
    EXPECT_EQ(rt::textOf(static_cast<double>(0.1f)), QStringLiteral("0.100000001490116"));
}

// The C library's numeric locale (set from the environment by Qt) must not leak in.
TEST(RuntimeGeneralText, IgnoresTheCLibraryLocale) {
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    bool found = false;
    for (const char *name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"}) {
        if (std::setlocale(LC_NUMERIC, name) != nullptr) {
            found = true;
            break;
        }
    }
    // Without such a locale this test proves nothing: that is a failure, not a skip.
    if (!found)
        FAIL() << "no locale with a decimal comma installed: generate de_DE.UTF-8 "
                  "(./testbed.sh test does)";
    const QString third = rt::textOf(1.0 / 3.0);
    const QString big = rt::textOf(12345678.0f);
    const QString pattern = rt::formatNumber(12.3456, u"0#.###");
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(third, QStringLiteral("0.333333333333333"));
    EXPECT_EQ(big, QStringLiteral("1.234568E+07"));
    EXPECT_EQ(pattern,
              rt::decimalSeparator() == u"." ? QStringLiteral("12.346") : QStringLiteral("12,346"));
}

TEST(RuntimeGeneralText, Integers) {
    EXPECT_EQ(rt::textOf(std::int64_t{0}), QStringLiteral("0"));
    EXPECT_EQ(rt::textOf(std::numeric_limits<std::int64_t>::min()),
              QStringLiteral("-9223372036854775808"));
    EXPECT_EQ(rt::textOf(std::numeric_limits<std::int64_t>::max()),
              QStringLiteral("9223372036854775807"));
    EXPECT_EQ(rt::textOf(std::numeric_limits<std::int32_t>::min()), QStringLiteral("-2147483648"));
    EXPECT_EQ(rt::textOf(std::int16_t{-32768}), QStringLiteral("-32768"));
    EXPECT_EQ(rt::textOf(std::int8_t{-128}), QStringLiteral("-128"));
    EXPECT_EQ(rt::textOf(std::uint8_t{255}), QStringLiteral("255"));
    EXPECT_EQ(rt::textOf(1000000), QStringLiteral("1000000"));  // no group separators
}

TEST(RuntimeGeneralText, YesNo) {
    const std::vector<std::pair<std::int16_t, const char *>> cases = {
        {0, "False"}, {-1, "True"}, {1, "True"}, {-32768, "True"}, {2, "True"}};
    for (const auto &[value, text] : cases)
        EXPECT_EQ(rt::yesNoText(value), QString::fromLatin1(text)) << value;
}

TEST(RuntimeGeneralText, Currency) {
    const std::vector<std::pair<std::int64_t, const char *>> cases = {
        {0, "0"},
        {10000, "1"},
        {123455000, "12345.5"},
        {12345, "1.2345"},
        {100, "0.01"},
        {1, "0.0001"},
        {-1, "-0.0001"},
        {-15000, "-1.5"},
        {-10000, "-1"},
        {std::numeric_limits<std::int64_t>::max(), "922337203685477.5807"},
        {std::numeric_limits<std::int64_t>::min(), "-922337203685477.5808"},
    };
    for (const auto &[scaled, text] : cases)
        EXPECT_EQ(rt::textOf(rt::Currency{scaled}), QString::fromLatin1(text)) << scaled;
}

TEST(RuntimeGeneralText, StatusNumberPadsNonNegativeValues) {
    EXPECT_EQ(rt::statusNumber(5), QStringLiteral(" 5 "));
    EXPECT_EQ(rt::statusNumber(-5), QStringLiteral("-5 "));
    EXPECT_EQ(rt::statusNumber(0.25f), QStringLiteral(" 0.25 "));
    EXPECT_EQ(rt::statusNumber(-0.0), QStringLiteral(" 0 "));
}

// ---- Narrowing ---------------------------------------------------------------------------

struct NarrowCase {
    double value;
    int expected;  // ignored when `overflows`
    bool overflows;
};

TEST(RuntimeNarrowing, ToInt16RoundsHalfToEvenThenChecksTheRange) {
    const std::vector<NarrowCase> cases = {
        {3.45, 3, false},
        {2.5, 2, false},
        {3.5, 4, false},
        {-2.5, -2, false},
        {-3.5, -4, false},
        {0.5, 0, false},
        {1.5, 2, false},
        {-0.5, 0, false},
        {0.49999999999999994, 0, false},  // floor(x + 0.5) would give 1
        {2.5000000000000004, 3, false},
        {32767.0, 32767, false},
        {32767.4, 32767, false},
        {32767.5, 0, true},  // rounds to 32768
        {-32768.0, -32768, false},
        {-32768.5, -32768, false},  // -32768 is even
        {-32768.6, 0, true},
        {-32769.0, 0, true},
        {1e300, 0, true},
        {-1e300, 0, true},
        {kInf, 0, true},
        {-kInf, 0, true},
        {kNaN, 0, true},
    };
    for (const NarrowCase &c : cases) {
        if (c.overflows) {
            EXPECT_EQ(errorOf([&] { rt::toInt16(c.value); }), 6) << c.value;
        } else {
            EXPECT_EQ(rt::toInt16(c.value), c.expected) << c.value;
        }
    }
}

TEST(RuntimeNarrowing, ToByteRoundsHalfToEvenThenChecksTheRange) {
    const std::vector<NarrowCase> cases = {
        {-0.4, 0, false},    {-0.5, 0, false},    {0.5, 0, false},     {1.5, 2, false},
        {254.5, 254, false}, {255.4, 255, false}, {255.0, 255, false}, {-0.6, 0, true},
        {255.5, 0, true},    {256.0, 0, true},    {-1.0, 0, true},     {kNaN, 0, true},
        {kInf, 0, true},
    };
    for (const NarrowCase &c : cases) {
        if (c.overflows) {
            EXPECT_EQ(errorOf([&] { rt::toByte(c.value); }), 6) << c.value;
        } else {
            EXPECT_EQ(rt::toByte(c.value), c.expected) << c.value;
        }
    }
}

TEST(RuntimeNarrowing, IntegerOverloadsCheckTheRange) {
    const std::vector<std::pair<std::int64_t, bool>> int16Cases = {
        {0, true},       {32767, true},
        {-32768, true},  {32768, false},
        {-32769, false}, {std::numeric_limits<std::int64_t>::min(), false},
        {65535, false},  {std::numeric_limits<std::int64_t>::max(), false},
    };
    for (const auto &[value, fits] : int16Cases) {
        if (fits) {
            EXPECT_EQ(rt::toInt16(value), value);
        } else {
            EXPECT_EQ(errorOf([&] { rt::toInt16(value); }), 6) << value;
        }
    }
    const std::vector<std::pair<std::int64_t, bool>> byteCases = {
        {0, true}, {255, true}, {-1, false}, {256, false}, {-256, false}};
    for (const auto &[value, fits] : byteCases) {
        if (fits) {
            EXPECT_EQ(rt::toByte(value), value);
        } else {
            EXPECT_EQ(errorOf([&] { rt::toByte(value); }), 6) << value;
        }
    }
}

// ---- Dates -------------------------------------------------------------------------------

class RuntimeDateTextTest : public ::testing::Test {
  protected:
    FixedFormats formats_{QLocale::c()};
};

TEST_F(RuntimeDateTextTest, GeneralDateTextInTheCFormats) {
    const std::vector<DoubleCase> cases = {
        {0.0, "12:00:00 AM"},  // day zero at midnight still shows something
        {0.5, "12:00:00 PM"},
        {-0.25, "6:00:00 AM"},  // day zero
        {1.0, "12/31/1899"},
        {-1.0, "12/29/1899"},
        {-1.25, "12/29/1899 6:00:00 AM"},
        {-1.5, "12/29/1899 12:00:00 PM"},
        {60.0, "2/28/1900"},
        {61.0, "3/1/1900"},
        {25569.0, "1/1/1970"},
        {36526.75, "1/1/2000 6:00:00 PM"},
        {37143.0 + 6400.0 / 86400.0, "9/9/2001 1:46:40 AM"},
        {-657434.0, "1/1/0100"},
        {-657434.75, "1/1/0100 6:00:00 PM"},
        {2958465.0, "12/31/9999"},
        {2958465.99999, "12/31/9999 11:59:59 PM"},
        // Rounding to the second carries into the next day...
        {1.9999999, "1/1/1900"},
        {-1.9999999, "12:00:00 AM"},  // 1899-12-30 00:00, the moment of 0.0
        // ...but never past the last day there is.
        {2958465.9999999, "12/31/9999 11:59:59 PM"},
        {0.4 / 86400.0, "12:00:00 AM"},
        {0.6 / 86400.0, "12:00:01 AM"},
    };
    for (const DoubleCase &c : cases)
        EXPECT_EQ(rt::dateText(c.value), QString::fromLatin1(c.text)) << c.value;
}

TEST_F(RuntimeDateTextTest, ValuesOutsideTheRangeOverflow) {
    for (const double value : {-657435.0, 2958466.0, 1e308, -1e308, kInf, -kInf, kNaN}) {
        EXPECT_EQ(errorOf([&] { rt::dateText(value); }), 6) << value;
        EXPECT_EQ(errorOf([&] { rt::toDate(value); }), 6) << value;
    }
}

TEST(RuntimeToDate, KeepsTheValueInsideTheRange) {
    for (const double value :
         {-657434.99, -657434.0, -1.25, 0.0, 0.5, 37143.074, 2958465.0, 2958465.99999}) {
        EXPECT_EQ(rt::toDate(value), value);
    }
}

TEST_F(RuntimeDateTextTest, ReadsIsoAndLocalTexts) {
    const double sept9 = 37143.0 + 6400.0 / 86400.0;
    const std::vector<DoubleCase> cases = {
        {sept9, "2001-09-09 01:46:40"},
        {sept9, "2001-09-09T01:46:40"},
        {sept9, "  2001-09-09 01:46:40 "},
        {37143.0 + 6360.0 / 86400.0, "2001-09-09 01:46"},
        {37143.0, "2001-09-09"},
        {25569.0, "1970-01-01"},
        {-1.25, "1899-12-29 06:00:00"},
        {-657434.0, "0100-01-01"},
        {2958465.0 + 86399.0 / 86400.0, "9999-12-31 23:59:59"},
        {sept9, "9/9/2001 1:46:40 AM"},
        {sept9, "09/09/2001 01:46:40 AM"},
        {37143.0, "9/9/2001"},
        {0.5, "12:00:00 PM"},
        {0.0, "12:00:00 AM"},
        {1.0, "12/31/1899"},
        {-1.25, "12/29/1899 6:00:00 AM"},
        {-657434.0, "1/1/0100"},
        {0.25, "6:00:00 am"},
        {-115863.0, "1582-10-10"},  // proleptic: no days skipped
        {-109512.0, "1600-02-29"},
    };
    for (const DoubleCase &c : cases)
        EXPECT_DOUBLE_EQ(rt::textToDate(QString::fromLatin1(c.text)), c.value) << c.text;
}

TEST_F(RuntimeDateTextTest, UnreadableTextIsATypeMismatch) {
    for (const char *text : {"", "   ", "hello", "2001-13-01", "2001-02-29", "2001-09-09 25:00:00",
                             "2001-09-09 01:46:40 junk", "2001-9-9", "13/1/2001", "2/30/2001",
                             "1/1/2001 1:00:00 XM", "0099-12-31", "10000-01-01", "1700-02-29",
                             "12/31/99", "12/31/0099", "1/1/2001 1/1/2001", "1.5"}) {
        EXPECT_EQ(errorOf([&] { rt::textToDate(QString::fromLatin1(text)); }), 13) << text;
    }
}

// Every general date text reads back as the moment it shows, across the whole range, in
// all three shapes (date and time, date only, time only).
void expectRoundTrips(const QLocale &locale, qint64 step) {
    FixedFormats fixed(locale);
    int failures = 0;
    for (qint64 day = -657434, i = 0; day <= 2958465 && failures < 3; day += step, ++i) {
        const qint64 seconds = (i * 7919) % 86400;
        const double fraction = static_cast<double>(seconds) / 86400.0;
        const double dated =
            day < 0 ? static_cast<double>(day) - fraction : static_cast<double>(day) + fraction;
        for (const double value : {dated, static_cast<double>(day), fraction}) {
            const QString text = rt::dateText(value);
            double back = 0;
            const int error = errorOf([&] { back = rt::textToDate(text); });
            const bool ok =
                error == 0 && std::fabs(back - value) < 0.5 / 86400.0 && rt::dateText(back) == text;
            EXPECT_TRUE(ok) << locale.name().toStdString() << ": " << value << " -> "
                            << text.toStdString() << " -> " << back << " (error " << error << ")";
            failures += ok ? 0 : 1;
        }
    }
    for (const double value : {0.0, 2958465.0, -657434.0, 2958465.0 + 86399.0 / 86400.0}) {
        const QString text = rt::dateText(value);
        double back = -1;
        EXPECT_EQ(errorOf([&] { back = rt::textToDate(text); }), 0) << text.toStdString();
        EXPECT_DOUBLE_EQ(back, value) << locale.name().toStdString() << ": " << text.toStdString();
    }
}

TEST(RuntimeDateRoundTrip, CFormats) {
    expectRoundTrips(QLocale::c(), 997);
}

// Native digits (some outside the basic plane), AM/PM before the hour, month names, times
// that look like dates: every locale's own formats read back.
TEST(RuntimeDateRoundTrip, EveryLocale) {
    for (const QLocale &locale :
         QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory))
        expectRoundTrips(locale, 199999);
}

TEST(RuntimeLocaleFormats, TwoDigitYearsWidenAndZonesGo) {
    int checked = 0;
    for (const QLocale &locale : QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript,
                                                          QLocale::AnyTerritory)) {
        const rt::LocaleFormats formats = rt::formatsOf(locale);
        // Outside quoted literals: years have four digits and no zone is left.
        for (const QString &format : {formats.shortDate, formats.longTime}) {
            bool quoted = false;
            qsizetype yearRun = 0;
            for (qsizetype i = 0; i <= format.size(); ++i) {
                const QChar c = i < format.size() ? format[i] : QChar();
                if (c == u'\'')
                    quoted = !quoted;
                if (!quoted && c == u'y') {
                    ++yearRun;
                    continue;
                }
                EXPECT_TRUE(yearRun == 0 || yearRun == 4) << format.toStdString();
                yearRun = 0;
                EXPECT_FALSE(!quoted && c == u't') << format.toStdString();
            }
            EXPECT_EQ(format, format.trimmed());
            EXPECT_FALSE(format.contains(u"()") || format.contains(u"[]") || format.endsWith(u','))
                << format.toStdString();
        }
        EXPECT_FALSE(formats.shortDate.isEmpty());
        EXPECT_FALSE(formats.longTime.isEmpty());
        ++checked;
    }
    EXPECT_GT(checked, 100);

    const rt::LocaleFormats us = rt::formatsOf(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(us.shortDate, QStringLiteral("M/d/yyyy"));
    EXPECT_EQ(us.longTime, QStringLiteral("h:mm:ss AP"));
    const rt::LocaleFormats spain = rt::formatsOf(QLocale(QLocale::Spanish, QLocale::Spain));
    EXPECT_EQ(spain.longTime, QStringLiteral("H:mm:ss"));  // was "H:mm:ss (t)"
    const rt::LocaleFormats c = rt::formatsOf(QLocale::c());
    EXPECT_EQ(c.shortDate, QStringLiteral("M/d/yyyy"));
    EXPECT_EQ(c.longTime, QStringLiteral("h:mm:ss AP"));
    EXPECT_EQ(c.decimalSeparator, QStringLiteral("."));
}

TEST(RuntimeLocaleFormats, OverrideWinsUntilCleared) {
    const rt::LocaleFormats user = rt::localeFormats();
    {
        FixedFormats german(QLocale(QLocale::German, QLocale::Germany));
        EXPECT_EQ(rt::decimalSeparator(), QStringLiteral(","));
        EXPECT_EQ(rt::dateText(36526.75), QStringLiteral("01.01.2000 18:00:00"));
        EXPECT_EQ(rt::textToDate(QStringLiteral("01.01.2000 18:00:00")), 36526.75);
        EXPECT_EQ(errorOf([] { rt::textToDate(QStringLiteral("1/1/2000 6:00:00 PM")); }), 13);
    }
    EXPECT_EQ(rt::localeFormats().shortDate, user.shortDate);
    EXPECT_EQ(rt::localeFormats().longTime, user.longTime);
}

// ---- Number patterns ---------------------------------------------------------------------

struct PatternCase {
    double value;
    const char *pattern;
    const char *text;
};

TEST(RuntimeFormatNumber, Patterns) {
    FixedFormats fixed(QLocale::c());
    const std::vector<PatternCase> cases = {
        {12.3456, "0#.###", "12.346"},
        {123.5, "0#.###", "123.5"},
        {12.0, "0#.###", "12."},
        {0.0004, "0#.###", "0."},
        {1.23456789, "0#.###", "1.235"},
        {5.25, "0#.###", "5.25"},
        {0.5, "0#.###", "0.5"},
        {0.0, "0#.###", "0."},
        {-12.3456, "0#.###", "-12.346"},
        {-0.0004, "0#.###", "0."},  // no "-0."
        {-0.0, "0#.###", "0."},
        {-0.0005, "0#.###", "-0.001"},
        {9.9996, "0#.###", "10."},
        {0.9995, "0#.###", "1."},
        {1.0005, "0#.###", "1.001"},  // rounds its decimal text, not its binary value
        {2.675, "0.##", "2.68"},
        {1234.5, "0", "1235"},  // half away from zero, not to even
        {-2.5, "0", "-3"},
        {1.5, "0.00", "1.50"},
        {1.0, "0.00", "1.00"},
        {0.5, "#.##", ".5"},
        {7.0, "00", "07"},
        {123456.789, "#", "123457"},
        {1e20, "0#.###", "100000000000000000000."},
        {1e-300, "0#.###", "0."},
        {0.1 + 0.2, "0.#################", "0.30000000000000004"},
        {123456789012.0 / 1048576.0, "0#.###", "117737.569"},
        {kInf, "0#.###", "Infinity"},
        {-kInf, "0#.###", "-Infinity"},
        {kNaN, "0#.###", "NaN"},
    };
    for (const PatternCase &c : cases) {
        EXPECT_EQ(rt::formatNumber(c.value, QString::fromLatin1(c.pattern)),
                  QString::fromLatin1(c.text))
            << c.value << " " << c.pattern;
    }
}

TEST(RuntimeFormatNumber, UsesTheLocaleSeparator) {
    FixedFormats german(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(rt::formatNumber(12.3456, u"0#.###"), QStringLiteral("12,346"));
    EXPECT_EQ(rt::formatNumber(12.0, u"0#.###"), QStringLiteral("12,"));
    // The general text form keeps "." whatever the locale.
    EXPECT_EQ(rt::textOf(12.5), QStringLiteral("12.5"));
}

TEST(RuntimeFormatNumber, UnknownPatternCharactersAreRejected) {
    for (const char16_t *pattern : {u"0#.##x", u"0.0.0", u"#,##0.00", u"0%"})
        EXPECT_EQ(errorOf([&] { rt::formatNumber(1.5, pattern); }), 5);
}

// ---- Hexadecimal -------------------------------------------------------------------------

TEST(RuntimeHexText, UpperCaseTwosComplement) {
    const std::vector<std::pair<std::int16_t, const char *>> cases = {
        {42, "2A"},      {0, "0"},    {-1, "FFFF"},   {-32768, "8000"},
        {32767, "7FFF"}, {255, "FF"}, {4096, "1000"}, {-256, "FF00"}};
    for (const auto &[value, text] : cases)
        EXPECT_EQ(rt::hexText(value), QString::fromLatin1(text)) << value;
}

// ---- Clock -------------------------------------------------------------------------------

TEST(RuntimeClock, InstalledClockIsReadUntilRemoved) {
    section_rig::FixedClock fixed{123.5f, 45000.25};
    rt::setClock(&fixed);
    EXPECT_EQ(rt::timer(), 123.5f);
    EXPECT_EQ(rt::now(), 45000.25);
    rt::setClock(nullptr);
    EXPECT_NE(&rt::clock(), static_cast<rt::Clock *>(&fixed));
}

double localDateValue(const QDateTime &local) {
    return static_cast<double>(QDate(1899, 12, 30).daysTo(local.date())) +
           local.time().msecsSinceStartOfDay() / 86400000.0;
}

TEST(RuntimeClock, SystemClockReadsLocalWallTime) {
    const double before = localDateValue(QDateTime::currentDateTime());
    const double now = rt::now();
    const float seconds = rt::timer();
    const double after = localDateValue(QDateTime::currentDateTime());
    EXPECT_GE(now, before);
    EXPECT_LE(now, after);
    EXPECT_GE(seconds, 0.0f);
    EXPECT_LT(seconds, 86400.0f);
    // Unless midnight passed in between, the timer is the fraction of now().
    if (std::floor(before) == std::floor(after)) {
        EXPECT_NEAR(seconds, (now - std::floor(now)) * 86400.0, 2.0);
    }
}

}  // namespace
