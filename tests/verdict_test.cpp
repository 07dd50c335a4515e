// Comparing a run's report with a stored one: the rules over small hand-made reports, the
// JUnit document read back with an XML parser, and whole passes whose varying values differ
// in everything (clock, seed, process id, machine figures) yet compare equal, while any
// single character changed in the stored report is caught.
#include <gtest/gtest.h>

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QXmlStreamReader>
#include <cmath>
#include <optional>
#include <random>
#include <utility>

#include "compare.h"
#include "cost.h"
#include "headless_host.h"
#include "junit.h"
#include "library.h"
#include "run.h"
#include "section_rig.h"
#include "shaped_report.h"

namespace {

using suite::LineRole;
using suite::ShapedText;
using verdict::DiffLine;
namespace vary = suite::vary;

const QString DASHES(100, u'-');

// A small report with one value of every nature. `all` is the printable random text.
suite::ShapedReport sampleReport(const QString &all = QStringLiteral("a!b~c;d")) {
    suite::ShapedReport r;
    r.beginSection();
    r.append(QStringLiteral("Checking DLL version v1.25"));
    r.beginSection();
    r.append(ShapedText(QStringLiteral("Random Function Tests ") + DASHES)
                 .as(LineRole::Banner, QStringLiteral("Random Function Tests ")));
    r.append(QStringLiteral("Upper=") +
             vary::randomText(QStringLiteral("QWERTY"), vary::Characters::Upper));
    r.append(QStringLiteral("All=") + vary::randomText(all, vary::Characters::Printable));
    r.append(QStringLiteral("Bytes=") + vary::randomBytesHex(QStringLiteral("01FF10")));
    r.append((QStringLiteral(" Execution (5) took ") + vary::timing(QStringLiteral("0.25")) +
              QStringLiteral(" seconds\r\n"))
                 .as(LineRole::Timing, QStringLiteral("5")));
    r.beginSection();
    r.append(QStringLiteral("Day=") + vary::fromNow(QStringLiteral("5th January 2024 09:05:01")));
    r.append(QStringLiteral("C=") + vary::fromNow(QStringLiteral("Fri Jan  5 09:05:01 2024")) +
             QStringLiteral(" asctime"));
    r.append(QStringLiteral("Pid=[") + vary::processId(QStringLiteral("4711")) +
             QStringLiteral("]"));
    r.append(QStringLiteral("Drive C: ") + vary::machineFigure(QStringLiteral("1,234.500")));
    return r;
}

QString fileText(const suite::ShapedReport &r) {
    return rig::reportFileText(r.text(), false);
}

verdict::Comparison compare(const suite::ShapedReport &current, const QString &stored) {
    verdict::StoredReport file;
    file.setBytes(stored.toUtf8());
    verdict::Comparator comparator;
    return comparator.compare(current.lines(), file, 0, file.passLineCount());
}

QString withLine(const QString &text, int index, const QString &line) {
    QStringList lines = text.split(u'\n');
    lines[index] = line;
    return lines.join(u'\n');
}

QString changedLines(const verdict::Comparison &c) {
    QString out;
    for (const DiffLine &line : c.lines)
        if (line.kind != DiffLine::Same)
            out += QChar(line.kind) + line.text + u'\n';
    return out;
}

TEST(ComparisonRules, OtherValuesOfTheSameShapesCompareEqual) {
    const suite::ShapedReport report = sampleReport();
    QString other = fileText(report);
    other.replace(QStringLiteral("QWERTY"), QStringLiteral("ZZAAZZ"))
        .replace(QStringLiteral("a!b~c;d"), QStringLiteral("}}}}}}}"))
        .replace(QStringLiteral("01FF10"), QStringLiteral("A0B1C2"))
        .replace(QStringLiteral("0.25"), QStringLiteral("-1.234568E+07"))
        .replace(QStringLiteral("5th January 2024 09:05:01"),
                 QStringLiteral("22nd September 2031 13:45:10"))
        .replace(QStringLiteral("Fri Jan  5"), QStringLiteral("Sat Feb 22"))
        .replace(QStringLiteral("4711"), QStringLiteral("12"))
        .replace(QStringLiteral("1,234.500"), QStringLiteral("98,765,432.000"));
    EXPECT_TRUE(compare(report, fileText(report)).same());
    EXPECT_TRUE(compare(report, other).same())
        << changedLines(compare(report, other)).toStdString();
    QString edited = QChar(0xFEFF) + other;  // as an editor on another system might save it
    EXPECT_TRUE(compare(report, edited.replace(u'\n', QStringLiteral("\r\n"))).same());
}

TEST(ComparisonRules, AnyCharacterOutOfPlaceIsADifference) {
    // A control character fits no stable text and no shape: wherever it lands, the line
    // differs, and only that line.
    const suite::ShapedReport report = sampleReport();
    const QString text = fileText(report);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n')
            continue;
        QString stored = text;
        stored[i] = QChar(1);
        const verdict::Comparison c = compare(report, stored);
        ASSERT_EQ(c.changedLines, 2) << "position " << i << "\n" << changedLines(c).toStdString();
    }
}

TEST(ComparisonRules, ValuesOutOfShapeDiffer) {
    const suite::ShapedReport report = sampleReport();
    const QString text = fileText(report);
    const QStringList lines = text.split(u'\n');
    const struct {
        int line;
        const char *stored;
    } cases[] = {
        {0, "Checking DLL version v1.26"},
        {2, "Upper=QWERT"},                       // one letter short
        {2, "Upper=QWERTy"},                      // out of the class
        {3, "All=a b~c;d"},                       // a space is not printable here
        {4, "Bytes=01FF00"},                      // a NUL byte cannot come from the text
        {5, " Execution (5) took fast seconds"},  // a timing is a number
        {5, " Execution (6) took 0.25 seconds"},  // the label is stable
        {7, "Day=5th January 2024 09.05.01"},     // the clock's punctuation is stable
        {8, "C=Fri Jan  5 09:05:01 2024 ASCtime"},
        {9, "Pid=[47a1]"},
        {10, "Drive C: 1.234.500"},
    };
    for (const auto &c : cases) {
        const QString stored = withLine(text, c.line, QString::fromLatin1(c.stored));
        EXPECT_EQ(compare(report, stored).changedLines, 2) << c.stored;
    }
    // The current run's own value out of its shape is a difference even against itself.
    suite::ShapedReport broken;
    broken.append(QStringLiteral("Upper=") +
                  vary::randomText(QStringLiteral("QW3RTY"), vary::Characters::Upper));
    EXPECT_FALSE(compare(broken, fileText(broken)).same());
}

TEST(ComparisonRules, MissingExtraAndMovedLines) {
    const suite::ShapedReport report = sampleReport();
    QStringList lines = fileText(report).split(u'\n');
    QStringList fewer = lines;
    fewer.removeAt(2);
    verdict::Comparison c = compare(report, fewer.join(u'\n'));
    ASSERT_EQ(c.changedLines, 1);
    EXPECT_EQ(changedLines(c), QStringLiteral("+Upper=QWERTY\n"));

    QStringList more = lines;
    more.insert(4, QStringLiteral("Extra"));
    c = compare(report, more.join(u'\n'));
    EXPECT_EQ(changedLines(c), QStringLiteral("-Extra\n"));
    const auto extra = std::find_if(c.lines.begin(), c.lines.end(),
                                    [](const DiffLine &l) { return l.kind == DiffLine::Removed; });
    EXPECT_EQ(extra->storedNumber, 5);
    EXPECT_EQ(extra->section, 1);  // stands where the random section's lines are

    QStringList moved = lines;
    moved.move(2, 4);
    EXPECT_EQ(compare(report, moved.join(u'\n')).changedLines, 2);
    EXPECT_EQ(compare(report, QString()).changedLines, lines.size() - 1);
}

// Whatever the stored report holds, the comparison is an edit script between the two:
// every line of this run once and in order, every stored line in order, and a line that
// stays only where the two match.
TEST(ComparisonRules, ADiffOfAnyStoredReportIsAnEditScript) {
    const suite::ShapedReport report = sampleReport();
    const QStringList lines = fileText(report).split(u'\n');
    std::mt19937 random(145);
    const auto pick = [&](qsizetype n) {
        return static_cast<qsizetype>(random() % static_cast<unsigned>(n));
    };
    for (int round = 0; round < 400; ++round) {
        QStringList stored = lines;
        for (int edits = 1 + pick(4); edits-- > 0 && !stored.isEmpty();) {
            const qsizetype at = pick(stored.size());
            switch (pick(5)) {
                case 0:
                    stored.removeAt(at);
                    break;
                case 1:
                    stored.insert(at, stored.value(pick(stored.size())));
                    break;
                case 2:
                    stored.move(at, pick(stored.size()));
                    break;
                case 3:
                    if (!stored[at].isEmpty())
                        stored[at][pick(stored[at].size())] = QChar(char16_t(u'!' + pick(94)));
                    break;
                default:
                    if (at + 1 < stored.size())
                        stored[at] += stored.takeAt(at + 1);  // two lines joined
            }
        }
        const verdict::Comparison c = compare(report, stored.join(u'\n'));
        qsizetype nextCurrent = 1, lastStored = 0, changes = 0;
        for (const DiffLine &line : c.lines) {
            if (line.kind != DiffLine::Removed) {
                ASSERT_EQ(line.currentNumber, nextCurrent++);
            }
            if (line.kind != DiffLine::Added) {
                ASSERT_GE(line.storedNumber, lastStored);
                lastStored = line.storedNumber;
            }
            if (line.kind == DiffLine::Same) {
                ASSERT_EQ(line.text, report.lines()[line.currentNumber - 1].text);
            }
            changes += line.kind == DiffLine::Same ? 0 : 1;
        }
        ASSERT_EQ(nextCurrent, report.lines().size() + 1);
        ASSERT_EQ(c.changedLines, changes);
        if (stored == lines) {
            ASSERT_TRUE(c.same());
        }
    }
}

TEST(ComparisonRules, LinesJoinedByTheSemicolonRule) {
    // The printable text may end in ";", which Printf takes back, joining the next line.
    const suite::ShapedReport plain = sampleReport(QStringLiteral("abcdef!"));
    const suite::ShapedReport joined = sampleReport(QStringLiteral("abcdef;"));
    ASSERT_TRUE(fileText(joined).contains(QStringLiteral("All=abcdefBytes=01FF10\n")));
    EXPECT_TRUE(compare(plain, fileText(joined)).same());
    EXPECT_TRUE(compare(joined, fileText(plain)).same());
    EXPECT_TRUE(compare(joined, fileText(joined)).same());
    EXPECT_EQ(joined.lines()[3].text, QStringLiteral("All=abcdef;"));

    // Joined texts must still have their shape: one character short is a difference.
    QString shortJoin = fileText(joined);
    shortJoin.replace(QStringLiteral("All=abcdef"), QStringLiteral("All=abcde"));
    EXPECT_FALSE(compare(plain, shortJoin).same());
}

TEST(ComparisonRules, UnifiedDiffHeadsEachHunkWithTheSectionsItSpans) {
    const suite::ShapedReport report = sampleReport();
    const QString stored = withLine(fileText(report), 9, QStringLiteral("Pid=[none]"));
    const verdict::Comparison c = compare(report, stored);
    QStringList names;
    for (const auto &section : report.sections())
        names << section.name;
    EXPECT_EQ(names, (QStringList{"Checking DLL version v1.25", "Random Function Tests",
                                  "Day=5th January 2024 09:05:01"}));
    const QString diff =
        verdict::unifiedDiff(c, QStringLiteral("old.txt"), QStringLiteral("pass"), names);
    EXPECT_EQ(diff, QStringLiteral("--- old.txt\n+++ pass\n"
                                   "@@ -7,5 +7,5 @@ Random Function Tests; Day=5th January 2024 "
                                   "09:05:01\n"
                                   " \n"
                                   " Day=5th January 2024 09:05:01\n"
                                   " C=Fri Jan  5 09:05:01 2024 asctime\n"
                                   "-Pid=[none]\n"
                                   "+Pid=[4711]\n"
                                   " Drive C: 1,234.500\n"));
}

// A report stored under UTC and one made under New York's zone, at moments where the two
// differ in half-day, day, month and year (the library's own lines): only zone and date
// figures differ. A changed word among them is a real difference.
TEST(ComparisonRules, AnotherZoneIsToldFromARealDifference) {
    const std::pair<const char *, const char *> utcAndNewYork[] = {
        {"(The time is 12:07:34 hrs 202612 8-12-2026, it is 2 Tuepm26 341 )",
         "(The time is 07:07:34 hrs 202612 8-12-2026, it is 2 Tueam26 341 )"},
        {"pm b 2026-12-08T12:07:34+00:00 08 UTC f 12 12 07 8 k Tuesday 12 12 2026 Z q Tue, 08 Dec 2026 12:07:34 +0000 34 31 000000 000 2 2026 26 341",
         "am b 2026-12-08T07:07:34-05:00 08 America/New_York f 7 07 07 8 k Tuesday 12 12 2026 -05:00 q Tue, 08 Dec 2026 07:07:34 -0500 34 31 000000 000 2 2026 26 341"},
        {"PM 546 Tue Dec  8 12:07:34 2026 Tue E December 12 12 0 J K 0 Dec 2 +0000 +00:00 Q R th UTC 1796731654 V 50 +2026 2026 0",
         "AM 546 Tue Dec  8 07:07:34 2026 Tue E December 7 07 0 J K 0 Dec 2 -0500 -05:00 Q R th EST 1796731654 V 50 +2026 2026 -18000"},
        {"(The time is 03:00:00 hrs 20261 1-01-2027, it is 5 Friam27 0 )",
         "(The time is 10:00:00 hrs 202612 31-12-2026, it is 4 Thupm26 364 )"},
        {"am b 2027-01-01T03:00:00+00:00 01 UTC f 3 03 00 1 k Friday 01 1 2026 Z q Fri, 01 Jan 2027 03:00:00 +0000 00 31 000000 000 5 2027 27 0",
         "pm b 2026-12-31T22:00:00-05:00 31 America/New_York f 10 10 00 31 k Thursday 12 12 2026 -05:00 q Thu, 31 Dec 2026 22:00:00 -0500 00 31 000000 000 4 2026 26 364"},
        {"AM 166 Fri Jan  1 03:00:00 2027 Fri E January 3 03 0 J K 0 Jan 5 +0000 +00:00 Q R st UTC 1798772400 V 53 +2027 2027 0",
         "PM 166 Thu Dec 31 22:00:00 2026 Thu E December 22 22 0 J K 0 Dec 4 -0500 -05:00 Q R st EST 1798772400 V 53 +2026 2026 -18000"},
        {"(The time is 02:15:00 hrs 20263 1-03-2026, it is 0 Sunam26 59 )",
         "(The time is 09:15:00 hrs 20262 28-02-2026, it is 6 Satpm26 58 )"},
        {"am b 2026-03-01T02:15:00+00:00 01 UTC f 2 02 15 1 k Sunday 03 3 2026 Z q Sun, 01 Mar 2026 02:15:00 +0000 00 31 000000 000 0 2026 26 59",
         "pm b 2026-02-28T21:15:00-05:00 28 America/New_York f 9 09 15 28 k Saturday 02 2 2026 -05:00 q Sat, 28 Feb 2026 21:15:00 -0500 00 28 000000 000 6 2026 26 58"},
        {"AM 135 Sun Mar  1 02:15:00 2026 Sun E March 2 02 0 J K 0 Mar 7 +0000 +00:00 Q R st UTC 1772331300 V 09 +2026 2026 0",
         "PM 135 Sat Feb 28 21:15:00 2026 Sat E February 21 21 0 J K 0 Feb 6 -0500 -05:00 Q R th EST 1772331300 V 09 +2026 2026 -18000"},
    };
    const auto dateReport = [&](bool newYork, const QString &changed = {}) {
        suite::ShapedReport r;
        r.beginSection();
        r.append(ShapedText(QStringLiteral("PHP Date Emulation Tests ") + DASHES)
                     .as(LineRole::Banner, QStringLiteral("PHP Date Emulation Tests ")));
        for (const auto &[utc, there] : utcAndNewYork) {
            QString line = QString::fromLatin1(newYork ? there : utc);
            r.append(changed.isEmpty() ? line : line.replace(changed, QStringLiteral("X")));
        }
        return r;
    };
    const suite::ShapedReport current = dateReport(true);
    QStringList names;
    for (const auto &section : current.sections())
        names << section.name;
    EXPECT_TRUE(verdict::onlyZoneOrDateDiffers(compare(current, fileText(dateReport(false))), names));
    for (const char *word : {"hrs", "k", "J K"})
        EXPECT_FALSE(verdict::onlyZoneOrDateDiffers(
            compare(current, fileText(dateReport(false, QString::fromLatin1(word)))), names))
            << word;
}

TEST(JUnit, WellFormedWhateverTheLinesHold) {
    const QString nasty = QStringLiteral("<&>\"]]> \x01\x1b") + QChar(0xFFFE) + QChar(0xD800) +
                          QStringLiteral(" \u00AF");
    QList<verdict::SuiteResult> suites{
        {QStringLiteral("pass 1 of 2"),
         {{QStringLiteral("Maths Function Tests"), 0.0126, {}, {}, {}, {}},
          {QStringLiteral("Disk Space Tests"),
           0.5,
           {QStringLiteral("Error 453 ocurred (x)"), QStringLiteral("Error 900 ocurred (y)")},
           {QStringLiteral("-") + nasty, QStringLiteral("+fine")},
           {},
           {}}}},
        {QStringLiteral("pass 2 of 2"),
         {{QStringLiteral("Maths Function Tests"), 0.25, {}, {}, {}, {}},
          {QStringLiteral("Cost"), 0, {}, {}, {QStringLiteral("the export Gcd is 3.0 times slower")}, {}},
          {QStringLiteral("Cost"), 0, {}, {}, {}, QStringLiteral("not judged")}}},
    };
    QXmlStreamReader xml(verdict::junitXml(suites, QStringLiteral("golden.txt")));
    QStringList seen;
    QString failure;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto a = xml.attributes();
        if (xml.name() == u"testsuites")
            seen << QStringLiteral("suites %1/%2/%3")
                        .arg(a.value("tests"), a.value("failures"), a.value("errors"));
        else if (xml.name() == u"testsuite")
            seen << QStringLiteral("suite %1 %2 %3")
                        .arg(a.value("name"), a.value("failures"), a.value("errors"));
        else if (xml.name() == u"skipped")
            seen << QStringLiteral("skipped ") + a.value("message").toString();
        else if (xml.name() == u"testcase")
            seen << QStringLiteral("case %1 %2").arg(a.value("name"), a.value("time"));
        else if (xml.name() == u"failure") {
            seen << QStringLiteral("failure %1: ").arg(a.value("type")) +
                        a.value("message").toString();
            if (failure.isEmpty())
                failure = xml.readElementText();
        }
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(seen, (QStringList{
                        "suites 5/2/1",
                        "suite pass 1 of 2 1 1",
                        "case Maths Function Tests 0.013",
                        "case Disk Space Tests 0.500",
                        "failure difference: 2 error line(s); 2 line(s) differ from golden.txt",
                        "suite pass 2 of 2 1 0",
                        "case Maths Function Tests 0.250",
                        "case Cost 0.000",
                        "failure cost: the export Gcd is 3.0 times slower",
                        "case Cost 0.000",
                        "skipped not judged",
                    }));
    EXPECT_EQ(failure, QStringLiteral("Error 453 ocurred (x)\nError 900 ocurred (y)\n-<&>\"]]> "
                                      "\\x01\\x1B\\uFFFE\\uD800 \u00AF\n+fine\n"));
}

// A clock that moves on with every reading, from a chosen moment, past midnight too.
class MovingClock : public rt::Clock {
  public:
    MovingClock(QDateTime start, float step) : start_(std::move(start)), step_(step) {}
    float secondsSinceMidnight() override {
        return std::fmod(static_cast<float>(start_.time().msecsSinceStartOfDay()) / 1000.0f +
                             step_ * static_cast<float>(++readings_),
                         86400.0f);
    }
    double now() override {
        const double seconds = start_.time().msecsSinceStartOfDay() / 1000.0 + 7.0 * ++readings_;
        return static_cast<double>(QDate(1899, 12, 30).daysTo(start_.date())) + seconds / 86400;
    }

  private:
    QDateTime start_;
    float step_;
    int readings_ = 0;
};

// A whole pass on the real library (through the wrapper that varies what varies by nature),
// with this clock and seed.
suite::ShapedReport wholePass(MovingClock &clock, const char *seed, bool semicolon) {
    section_rig::ScopedEnv seedEnv("FAKE_SEED", seed);
    std::optional<section_rig::ScopedEnv> semicolonEnv;
    if (semicolon)
        semicolonEnv.emplace("FAKE_SEMICOLON", "1");
    rt::setClock(&clock);
    qorbind::Library::instance().setPath(QStringLiteral(FAKES_DIR "/libwrap_jitter.so"));
    rig::HeadlessHost host([](const QString &) {});
    host.setInputText(QStringLiteral("The quick brown fox jumped uber the lazy dog"));
    const int errors = suite::RunAllTests(host);
    rt::setClock(nullptr);
    qorbind::Library::instance().setPath(QStringLiteral(QORLIB_PATH));
    EXPECT_EQ(errors, 0);
    return host.shapedReport();
}

// Every value a section prints that varies by nature must be declared where it is printed:
// two passes that differ in everything that varies compare equal, and the stable rest is
// still compared character by character.
TEST(Declarations, PassesThatDifferOnlyByNatureCompareEqual) {
    MovingClock leapNight(QDateTime(QDate(2024, 2, 29), QTime(23, 59, 58)), 0.013f);
    MovingClock autumnMorning(QDateTime(QDate(2031, 11, 5), QTime(9, 7, 3)), 0.37f);
    const suite::ShapedReport first = wholePass(leapNight, "1", true);
    const suite::ShapedReport second = wholePass(autumnMorning, "2", false);
    const QString firstText = fileText(first), secondText = fileText(second);

    // The two passes really differ, in many lines.
    const QStringList a = firstText.split(u'\n'), b = secondText.split(u'\n');
    ASSERT_EQ(a.size() + 1, b.size());  // the joined random line
    int differing = 0;
    for (const QString &line : b)
        differing += a.contains(line) ? 0 : 1;
    EXPECT_GT(differing, 50);

    const verdict::Comparison there = compare(second, firstText);
    EXPECT_TRUE(there.same()) << changedLines(there).toStdString();
    const verdict::Comparison back = compare(first, secondText);
    EXPECT_TRUE(back.same()) << changedLines(back).toStdString();

    // A control character at the start or the end of any stored line is caught there.
    verdict::Comparator comparator;
    const QList<suite::ReportLine> lines = second.lines();
    for (qsizetype i = 0; i < a.size(); ++i) {
        for (qsizetype at : {qsizetype(0), a[i].size() - 1}) {
            if (a[i].isEmpty())
                continue;
            QStringList mutated = a;
            mutated[i][at] = QChar(1);
            verdict::StoredReport stored;
            stored.setBytes(mutated.join(u'\n').toUtf8());
            const verdict::Comparison c = comparator.compare(lines, stored, 0, stored.lineCount());
            EXPECT_FALSE(c.same()) << "line " << i + 1 << ": " << a[i].toStdString();
        }
    }
}

}  // namespace

// ---- The cost rules, on what 21 real runs of one build measured (bench/cost_self_check.sh
// recorded them on a busy machine: 5 passes each) ----

namespace {

// The recorded runs as profiles: per pass, each export's calls, median and memory growth.
QList<verdict::CostProfile> recordedRuns() {
    QFile file(QStringLiteral(COST_SAMPLES));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    const QList<QByteArray> sections = lines.value(0).split('\t').mid(1);
    QList<verdict::CostProfile> runs;
    for (const QByteArray &line : lines.mid(1)) {
        const QList<QByteArray> f = line.split('\t');
        if (f.size() != 6)
            continue;
        const int run = f[0].toInt();
        if (runs.size() <= run)
            runs.resize(run + 1);
        const QList<QByteArray> medians = f[4].split(','), growth = f[5].split(',');
        QList<verdict::PassCost> &passes = runs[run].passes;
        passes.resize(std::max(passes.size(), medians.size()));
        for (qsizetype p = 0; p < medians.size(); ++p) {
            passes[p].pass = int(p + 1);
            passes[p].memory = 1 << 30;
            passes[p].exports.append({QString::fromLatin1(f[1]), f[3].toLongLong(), 0,
                                      medians[p].toLongLong(), 0, growth.value(p).toLongLong(),
                                      QString::fromLatin1(sections.value(f[2].toInt()))});
        }
    }
    return runs;
}

// The section's exports made `factor` times slower, and `name`'s calls `bytes` more growth
// per pass from the second pass on.
verdict::CostProfile changed(verdict::CostProfile run, const QString &section, double factor,
                             const QString &name = {}, qint64 bytes = 0) {
    for (qsizetype p = 0; p < run.passes.size(); ++p)
        for (verdict::ExportCost &cost : run.passes[p].exports) {
            if (cost.section == section)
                cost.medianNs = qint64(double(cost.medianNs) * factor);
            if (cost.name == name && p > 0)
                cost.memoryGrowth += bytes;
        }
    return run;
}

}  // namespace

TEST(CostRules, TheSameBuildNeverFailsAgainstItselfAndTwiceAsSlowIsFound) {
    const QList<verdict::CostProfile> runs = recordedRuns();
    ASSERT_EQ(runs.size(), 21);
    // Every run judged against every other: 420 comparisons, none slower, none leaking.
    for (qsizetype stored = 0; stored < runs.size(); ++stored)
        for (qsizetype current = 0; current < runs.size(); ++current)
            if (current != stored) {
                const verdict::CostVerdict v = verdict::judgeCost(&runs[stored], runs[current]);
                ASSERT_TRUE(v.findings.isEmpty())
                    << stored << " " << current << ": " << v.findings[0].message.toStdString();
                ASSERT_TRUE(v.notes.isEmpty());
            }
    // The 20 repetitions against the first run, with the RLE section's calls twice as slow.
    const QString rle = QStringLiteral("RLE Compression Tests");
    for (qsizetype current = 1; current < runs.size(); ++current) {
        const verdict::CostVerdict v = verdict::judgeCost(&runs[0], changed(runs[current], rle, 2));
        ASSERT_FALSE(v.findings.isEmpty()) << current;
        for (const verdict::CostFinding &finding : v.findings) {
            EXPECT_EQ(finding.kind, verdict::CostFinding::Slower);
            EXPECT_EQ(finding.section, rle) << finding.message.toStdString();
            EXPECT_GE(finding.factor, 1.5);
            EXPECT_LT(finding.pValue, 0.01);
        }
    }
    // Four passes a side are too few to tell, and the verdict says so instead of passing.
    verdict::CostProfile few = changed(runs[1], rle, 10);
    few.passes.resize(4);
    const verdict::CostVerdict v = verdict::judgeCost(&runs[0], few);
    EXPECT_TRUE(v.findings.isEmpty());
    ASSERT_EQ(v.notes.size(), 1);
    EXPECT_TRUE(v.notes[0].startsWith(QStringLiteral("slowdowns not judged"))) << v.notes[0].toStdString();
}

TEST(CostRules, MemoryThatKeepsGrowingIsALeakOfTheExportThatGrewIt) {
    const QList<verdict::CostProfile> runs = recordedRuns();
    const QString name = QStringLiteral("GetProcessMemoryUsed");
    for (const verdict::CostProfile &run : runs) {
        EXPECT_TRUE(verdict::judgeCost(nullptr, run).findings.isEmpty());
        const verdict::CostProfile leaking = changed(run, {}, 1, name, qint64{3} << 19);
        const verdict::CostVerdict v = verdict::judgeCost(nullptr, leaking);
        ASSERT_EQ(v.findings.size(), 1);
        EXPECT_EQ(v.findings[0].kind, verdict::CostFinding::Leaking);
        EXPECT_EQ(v.findings[0].subject, name);
        EXPECT_GE(v.findings[0].bytesPerPass, qint64{3} << 19);
        // Growth in one pass only is a cache filled once, not a leak.
        verdict::CostProfile once = run;
        once.passes[2].exports[0].memoryGrowth += qint64{64} << 20;
        EXPECT_TRUE(verdict::judgeCost(nullptr, once).findings.isEmpty());
    }
}

TEST(CostRules, RankTestAgreesWithTheExactDistribution) {
    // All five later values above all five earlier ones: exactly 1/252 of the orderings.
    const QList<double> low{1, 2, 3, 4, 5}, high{6, 7, 8, 9, 10};
    EXPECT_NEAR(verdict::rankTestLarger(low, high), 1.0 / 252, 0.003);
    EXPECT_GT(verdict::rankTestLarger(high, low), 0.99);
    EXPECT_NEAR(verdict::rankTestLarger(low, low), 0.5, 0.1);
    EXPECT_EQ(verdict::rankTestLarger({}, high), 1);
}

TEST(CostRules, ProfileFileReadsBackAndRefusesOtherJson) {
    const verdict::CostProfile run = recordedRuns().value(3);
    verdict::CostProfile read;
    QString error;
    ASSERT_TRUE(verdict::parseProfile(verdict::profileJson(run), &read, &error)) << error.toStdString();
    EXPECT_EQ(verdict::profileJson(read), verdict::profileJson(run));
    for (const QByteArray &bad :
         {QByteArray("[]"), QByteArray("{\"format\":\"other\"}"), QByteArray("{\"format\""),
          QByteArray(R"({"format":"testbed-report profile 1","passes":[{"pass":1}]})"),
          QByteArray(R"({"format":"testbed-report profile 1","passes":[{"pass":1,"memory":0,)"
                     R"("exports":[{"name":"X","calls":1.5}]}]})")})
        EXPECT_FALSE(verdict::parseProfile(bad, &read, &error)) << bad.constData();
}
