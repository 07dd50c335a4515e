// testbed-report end to end: its exit statuses, the repeat passes, the chosen library, the
// output file and the line breaks.
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Result {
    int status = -1;
    QString out;
    QString err;
};

QString fake(const char *name) {
    return QStringLiteral(FAKES_DIR "/libfake_") + QLatin1String(name) + QStringLiteral(".so");
}

Result runReport(const QStringList &arguments, const QStringList &environment = {}) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &entry : environment)
        env.insert(entry.section(u'=', 0, 0), entry.section(u'=', 1));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));  // must run without any display
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(TESTBED_REPORT), arguments);
    if (!process.waitForFinished(240000))
        return {};
    if (process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

const QRegularExpression errorLine(
    QStringLiteral("^Error \\d+ ocurred \\(.*\\) - this error may be normal during some tests$"));

int errorLines(const QString &report) {
    int count = 0;
    for (const QString &line : report.split(u'\n'))
        count += errorLine.match(line).hasMatch() ? 1 : 0;
    return count;
}

}  // namespace

class ReportProgramTest : public QObject {
    Q_OBJECT

  private slots:
    void help() {
        const Result r = runReport({QStringLiteral("--help")});
        QCOMPARE(r.status, 0);
        for (const char *option : {"--passes", "--library", "--output", "--crlf"})
            QVERIFY2(r.out.contains(QLatin1String(option)), option);
    }

    void badArguments_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("zero passes") << QStringList{"--passes", "0"};
        QTest::newRow("not a number") << QStringList{"--passes", "ten"};
        QTest::newRow("too many for the loop counter") << QStringList{"--passes", "40000"};
        QTest::newRow("stray argument") << QStringList{"report.txt"};
    }
    void badArguments() {
        QFETCH(QStringList, arguments);
        const Result r = runReport(arguments);
        QCOMPARE(r.status, 64);
        QVERIFY(r.out.isEmpty());
    }

    void missingLibraryExitsWithTwo() {
        const Result r = runReport({"--library", "/nonexistent/libqorlib145.so"});
        QCOMPARE(r.status, 2);
        QVERIFY(r.out.isEmpty());
        QVERIFY2(r.err.contains("[message] Missing DLL - Cannot continue: Can't find "
                                "libqorlib145.so in the current, system directory or PATH"),
                 qPrintable(r.err));
    }

    void olderLibraryExitsWithTwo() {
        const Result r = runReport({"--library", fake("version")}, {"FAKE_LIBVERSION=124"});
        QCOMPARE(r.status, 2);
        QVERIFY(r.out.isEmpty());
        QVERIFY(
            r.err.contains("[status] DLL the wrong version (v1.24) and is not compatible "
                           "with this test rig (v1.25)\n"));
    }

    void errorLinesExitWithOne() {
        const Result r = runReport({"--library", fake("bare")});
        QCOMPARE(r.status, 1);
        QVERIFY(r.out.startsWith("Checking DLL version v1.25\n"));
        QVERIFY(!r.out.contains(u'\r'));
        const int errors = errorLines(r.out);
        QVERIFY(errors > 0);
        QCOMPARE(int(r.err.count(QStringLiteral("[message] Zentrak DLL Testbed: Error "))), errors);
        QVERIFY(r.err.contains("[status] DLL is installed OK and is version 1.25\n"));
        static const QRegularExpression end(
            QStringLiteral("\\* Tests Complete \\* -{100}\n\\* This execution took [0-9.E+-]+ "
                           "second\\(s\\)\n$"));
        QVERIFY(end.match(r.out).hasMatch());
    }

    void passesWriteTheTotalLine() {
        const Result r = runReport({"--library", fake("bare"), "--passes", "2", "--crlf"});
        QCOMPARE(r.status, 1);
        static const QRegularExpression total(
            QStringLiteral("second\\(s\\)\r\nFinished: 2 loops took [0-9.E+-]+ seconds\r\n\r\n$"));
        QVERIFY2(total.match(r.out).hasMatch(), qPrintable(r.out.right(120)));
        // The report is the last pass's: one first line only.
        QCOMPARE(int(r.out.count("Checking DLL version v1.25")), 1);
        QVERIFY(!r.out.contains(QRegularExpression("[^\r]\n")));  // every break is CR LF
        QVERIFY(
            r.err.contains("[caption] Zentrak DLL Testbed - (qorlib145.dl) v1.25 - Loop 1 "
                           "of 2 (process ID:0) - 0 Kb used"));
        QVERIFY(r.err.contains(" - Loop 2 of 2 "));
    }

    void outputFile() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath("report.txt");
        const Result r = runReport({"--library", fake("bare"), "--output", path});
        QCOMPARE(r.status, 1);
        QVERIFY(r.out.isEmpty());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString written = QString::fromUtf8(file.readAll());
        QVERIFY(written.startsWith("Checking DLL version v1.25\n"));
        QVERIFY(written.contains("* This execution took "));

        const Result unwritable =
            runReport({"--library", fake("bare"), "--output", dir.filePath("no/such/dir/r.txt")});
        QCOMPARE(unwritable.status, 74);
    }

    // Whatever state the real library is in, the status says whether error lines were written.
    void realLibraryStatusMatchesTheReport() {
        const Result r = runReport({"--library", QStringLiteral(QORLIB_PATH)});
        QVERIFY(r.status == 0 || r.status == 1);
        QVERIFY(r.out.startsWith("Checking DLL version v1.25\n"));
        QCOMPARE(r.status == 1, errorLines(r.out) > 0);
    }
};

QTEST_GUILESS_MAIN(ReportProgramTest)
#include "shell_report_program_test.moc"
