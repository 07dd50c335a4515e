// The run's HTML page: a long run stays small with its spikes kept, hostile library text stays
// text, and a real browser shows the verdict, the lines and the banner's colour.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "page.h"

namespace {

using verdict::DiffLine;
using verdict::PageInput;

// Library text that would break out of its block, named after the place it is put.
QString hostile(const char *place) {
    return QStringLiteral("</pre><script>") + QLatin1String(place) +
           QStringLiteral("</script> & \"q\" %1%3") + QChar(0) + QChar(0x1B);
}
QByteArray escapedHostile(const char *place) {
    return "&lt;/pre&gt;&lt;script&gt;" + QByteArray(place) +
           "&lt;/script&gt; &amp; &quot;q&quot; %1%3\\x00\\x1B";
}
const QString ERROR_LINE = QStringLiteral("Error 5 ocurred (Invalid procedure call)");

// A full run: 15 sections, 82 exports, a shown pass of 260 lines with one difference and one
// error line in section 3, and a slow finding. Section 4 takes a minute in the middle pass.
PageInput runInput(int passCount, PageInput::Outcome outcome) {
    PageInput in;
    in.outcome = outcome;
    in.verdict = outcome == PageInput::Outcome::Failed
                     ? QStringLiteral("differs from stored.txt")
                     : QStringLiteral("same behaviour as stored.txt");
    in.library = QStringLiteral("libqorlib145.so");
    in.expectedName = QStringLiteral("stored.txt");
    in.shownPassName = QStringLiteral("pass 1 of %1").arg(passCount);
    for (int s = 0; s < 15; ++s)
        in.sectionNames << QStringLiteral("Group %1 Tests").arg(s);
    for (int i = 0; i < 260; ++i)
        in.shownLines.append(
            {DiffLine::Same, QStringLiteral("Fn%1(7)=%1").arg(i), 0, i + 1, 1, i / 18});
    for (int p = 0; p < passCount; ++p) {
        verdict::SuiteResult suite{QStringLiteral("pass %1 of %2").arg(p + 1).arg(passCount), {}};
        for (int s = 0; s < 15; ++s) {
            const double seconds = s == 4 && p == passCount / 2 + 3 ? 60 : 0.01 + p % 7 * 1e-3;
            suite.cases.append({in.sectionNames[s], seconds, {}, {}, {}, {}});
        }
        in.passes.append(suite);
        verdict::PassCost cost{p + 1, {}, {}, 50 * 1024 * 1024 + p * 4096};
        for (int e = 0; e < 82; ++e)
            cost.exports.append(
                {QStringLiteral("Export%1").arg(e), 3, 1000 * (e + 1) + p, 300, 900, 0, {}});
        in.profile.passes.append(cost);
    }
    if (outcome == PageInput::Outcome::Failed) {
        in.shownLines[60] = {DiffLine::Removed, QStringLiteral("Gcd(18,6)=6"), 61, 0, 1, 3};
        in.shownLines[61] = {DiffLine::Added, QStringLiteral("Gcd(18,6)=3"), 0, 61, 1, 3};
        in.shownLines[62].text = ERROR_LINE;
        in.passes[0].cases[3].differences = {QStringLiteral("-Gcd(18,6)=6"),
                                             QStringLiteral("+Gcd(18,6)=3")};
        in.passes[0].cases[3].errorLines = {ERROR_LINE};
        in.findings.append({verdict::CostFinding::Slower, QStringLiteral("Export7"), false,
                            QStringLiteral("Group 0 Tests"), 1.8, 0.0004, 0,
                            QStringLiteral("Export7 is 1.8 times slower")});
    }
    return in;
}

TEST(Page, LongRunStaysSmallKeepsSpikesAndEscapesLibraryText) {
    PageInput in = runInput(1000, PageInput::Outcome::Failed);
    const char *places[] = {"line", "section", "export", "message", "library"};
    in.shownLines[100].text = hostile(places[0]);
    in.sectionNames[2] = hostile(places[1]);
    in.profile.passes[0].exports[5].name = hostile(places[2]);
    in.findings[0].message = hostile(places[3]);
    in.library = hostile(places[4]);
    const QByteArray page = verdict::htmlPage(in);

    EXPECT_LT(page.size(), 2 * 1024 * 1024);
    EXPECT_FALSE(page.contains("<script")) << "library text became markup";
    EXPECT_FALSE(page.contains('\0'));
    EXPECT_FALSE(page.contains('\x1B'));
    for (const char *place : places)
        EXPECT_TRUE(page.contains(escapedHostile(place))) << place << " not shown as text";
    EXPECT_EQ(page.count(escapedHostile("export")), 2) << "the export's row and its bar's tooltip";

    const qsizetype verdictAt = page.indexOf("differs from stored.txt</p>");
    EXPECT_GT(verdictAt, 0);
    EXPECT_LT(verdictAt, page.indexOf("id=\"findings\""));
    EXPECT_LT(page.indexOf("id=\"findings\""), page.indexOf("Group 0 Tests"));

    // Every line is thinned, and the minute-long pass of section 4 still rises above the rest.
    static const QRegularExpression series(
        QStringLiteral("<title>([^<]*)</title><polyline[^>]* points=\"([^\"]*)\""));
    int lines = 0;
    for (const auto &m : series.globalMatch(QString::fromUtf8(page))) {
        const QStringList points = m.captured(2).split(u' ');
        EXPECT_LE(points.size(), 300) << m.captured(1).toStdString();
        if (m.captured(1) == QStringLiteral("Group 4 Tests")) {
            QList<double> ys;
            for (const QString &point : points)
                ys << point.section(u',', 1).toDouble();
            EXPECT_LT(*std::min_element(ys.begin(), ys.end()),
                      *std::max_element(ys.begin(), ys.end()) - 150);
        }
        ++lines;
    }
    EXPECT_EQ(lines, 15 + 1 + 1) << "sections, memory, the slow export";
}

TEST(Page, MarksLinesAndSectionsAndSaysWhatWasNotMeasured) {
    PageInput in = runInput(3, PageInput::Outcome::Failed);
    in.shownLines.insert(0, {DiffLine::Omitted, {}, 1, 0, 4, 0});
    in.profile.passes.clear();
    const QByteArray page = verdict::htmlPage(in);

    EXPECT_TRUE(page.contains(R"(<span class="r">- Gcd(18,6)=6</span><span class="a">+ Gcd(18,6)=3)"
                              R"(</span><span class="e">  Error 5 ocurred)"));
    EXPECT_TRUE(page.contains("4 stored lines left out"));
    EXPECT_TRUE(page.contains(R"(<details open><summary><span class="name">Group 3 Tests)"));
    EXPECT_TRUE(page.contains("failed in 1 of 3 passes"));
    EXPECT_TRUE(page.contains(R"(<details><summary><span class="name">Group 2 Tests</span>)"
                              R"(<span class="time">10.0 ms</span>)"));
    EXPECT_TRUE(page.contains("The cost was not measured"));
}

// Runs the browser on `page` with `arguments`; `output` gets its standard output.
void chromium(const QTemporaryDir &dir, const QString &page, QStringList arguments,
              QByteArray *output = nullptr) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    ASSERT_FALSE(program.isEmpty()) << "chromium is not installed (Debian package chromium)";
    arguments << QStringLiteral("--headless") << QStringLiteral("--no-sandbox")
              << QStringLiteral("--disable-gpu") << QStringLiteral("--no-first-run")
              << QStringLiteral("--hide-scrollbars")
              << QStringLiteral("--user-data-dir=") + dir.filePath(QStringLiteral("profile"))
              << QStringLiteral("file://") + page;
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        FAIL() << "chromium did not finish within two minutes";
    }
    if (output)
        *output = process.readAllStandardOutput();
}

bool red(const QColor &c) {
    return c.red() > 150 && c.green() < 90 && c.blue() < 90;
}
bool green(const QColor &c) {
    return c.green() > 90 && c.green() > c.red() + 50 && c.green() > c.blue() + 50;
}

void checkInBrowser(PageInput::Outcome outcome, const char *name,
                    bool (*bannerColour)(const QColor &), const QStringList &shown) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("run.html"));
    PageInput in = runInput(20, outcome);
    in.shownLines[100].text = hostile("line");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(verdict::htmlPage(in)) > 0);
    file.close();

    QByteArray dumped;
    ASSERT_NO_FATAL_FAILURE(chromium(dir, path, {QStringLiteral("--dump-dom")}, &dumped));
    const QString dom = QString::fromUtf8(dumped);
    for (const QString &text : shown)
        EXPECT_TRUE(dom.contains(text)) << text.toStdString();
    EXPECT_FALSE(dom.contains(QStringLiteral("<script")))
        << "the browser made an element of library text";

    const QString png = dir.filePath(QStringLiteral("page.png"));
    ASSERT_NO_FATAL_FAILURE(chromium(
        dir, path,
        {QStringLiteral("--screenshot=") + png, QStringLiteral("--window-size=1280,900")}));
    const QImage image(png);
    ASSERT_FALSE(image.isNull()) << "no screenshot";
    // The banner's top padding, across its width.
    for (int x = 80; x < 1200; x += 100)
        EXPECT_TRUE(bannerColour(image.pixelColor(x, 6)))
            << name << " banner at " << x << ": " << image.pixelColor(x, 6).name().toStdString();
    // Kept beside the test for a look.
    QFile::remove(QStringLiteral("page_%1.png").arg(QLatin1String(name)));
    QFile::copy(png, QStringLiteral("page_%1.png").arg(QLatin1String(name)));
}

TEST(PageInBrowser, FailedRunIsRedWithItsDifferenceErrorAndFinding) {
    checkInBrowser(PageInput::Outcome::Failed, "failed", red,
                   {QStringLiteral("differs from stored.txt"), QStringLiteral("Group 3 Tests"),
                    QStringLiteral("Export7 is 1.8 times slower"), QStringLiteral("+ Gcd(18,6)=3"),
                    ERROR_LINE});
}

TEST(PageInBrowser, PassedRunIsGreen) {
    checkInBrowser(
        PageInput::Outcome::Passed, "passed", green,
        {QStringLiteral("same behaviour as stored.txt"), QStringLiteral("Group 14 Tests")});
}

}  // namespace
