// testbed-report end to end: its exit statuses, the repeat passes, the chosen library, the
// output file and the line breaks, and the verdicts against a stored report.
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>
#include <csignal>

namespace {

struct Result {
    int status = -1;
    QString out;
    QString err;
};

// The real library, with what varies by nature and one error line at the test's command.
const QString WRAPPER = QStringLiteral(FAKES_DIR "/libwrap_jitter.so");

// The real library with one fault, chosen by FAKE_FAULT (see wrap_fault.cpp).
const QString FAULTY = QStringLiteral(FAKES_DIR "/libwrap_fault.so");

QString fake(const char *name) {
    return QStringLiteral(FAKES_DIR "/libfake_") + QLatin1String(name) + QStringLiteral(".so");
}

// The peak resident size of a running process, in kB (0 once it has gone).
long peakKilobytes(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

// Runs the program, or with `shell` a shell command line that runs it as "$0" "$@" (for
// redirections QProcess cannot make). A process ended by a signal has the status a shell
// gives it, 128 + the signal.
Result runReport(const QStringList &arguments, const QStringList &environment = {},
                 const QString &shell = {}, long *peak = nullptr) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &entry : environment)
        env.insert(entry.section(u'=', 0, 0), entry.section(u'=', 1));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));  // must run without any display
    process.setProcessEnvironment(env);
    if (shell.isEmpty())
        process.start(QStringLiteral(TESTBED_REPORT), arguments);
    else
        process.start(QStringLiteral("/bin/sh"),
                      QStringList{"-c", shell, TESTBED_REPORT} + arguments);
    // The peak only grows: the last reading before the end is the run's peak, or close.
    for (QDeadlineTimer deadline(240000); !process.waitForFinished(peak ? 10 : 240000);) {
        if (deadline.hasExpired())
            return {};
        if (peak)
            *peak = std::max(*peak, peakKilobytes(process.processId()));
    }
    const int signal = process.exitStatus() == QProcess::CrashExit ? 128 : 0;
    return {signal + process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
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

bool writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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
        QTest::newRow("unknown option") << QStringList{"--frobnicate"};
        QTest::newRow("option without its value") << QStringList{"--passes"};
        QTest::newRow("empty library path") << QStringList{"--library", ""};
        QTest::newRow("empty expected report path") << QStringList{"--expect", ""};
    }
    void badArguments() {
        QFETCH(QStringList, arguments);
        const Result r = runReport(arguments);
        QCOMPARE(r.status, 64);
        QVERIFY(r.out.isEmpty());
    }

    // A library given by path that will not load: the message names the path and the
    // loader's reason, not the search that never happened.
    void libraryThatWillNotLoad_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << "gone/libqorlib145.so" << QByteArray() << "No such file";
        QTest::newRow("directory") << "folder" << QByteArray() << "Is a directory";
        QTest::newRow("not a library") << "lib.so" << QByteArray(4096, 'x') << "ELF";
        QTest::newRow("empty file") << "empty.so" << QByteArray("") << "too short";
    }
    void libraryThatWillNotLoad() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        if (name == "folder")
            QVERIFY(QDir(dir.path()).mkdir(name));
        else if (!name.startsWith("gone"))
            QVERIFY(writeFile(path, content));
        const Result r = runReport({"--library", path});
        QCOMPARE(r.status, 2);
        QVERIFY(r.out.isEmpty());
        QVERIFY2(r.err.startsWith("testbed-report: cannot load " + path + ": "), qPrintable(r.err));
        QVERIFY2(r.err.contains(reason), qPrintable(r.err));
        QVERIFY(!r.err.contains("Can't find"));
    }

    // A report nobody receives is a failure, whatever the pass found.
    void lostReport_data() {
        QTest::addColumn<QString>("shell");
        QTest::addColumn<QString>("reason");
        QTest::newRow("full device") << R"("$0" "$@" > /dev/full)"
                                     << "No space left on device";
        QTest::newRow("closed output") << R"("$0" "$@" >&-)"
                                       << "Bad file descriptor";
        QTest::newRow("help to a full device") << R"("$0" --help > /dev/full)"
                                               << "No space left on device";
    }
    void lostReport() {
        QFETCH(QString, shell);
        QFETCH(QString, reason);
        const Result r = runReport({"--library", WRAPPER}, {"FAKE_ERROR=1"}, shell);
        QCOMPARE(r.status, 74);  // also over the error line the pass wrote
        QVERIFY2(r.err.contains("testbed-report: cannot write standard output: " + reason),
                 qPrintable(r.err.right(300)));
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
        // Standard error names each statement's first error, not the loops' thousands of
        // repeats, and counts them all.
        const int boxed = int(r.err.count(QStringLiteral("[message] Zentrak DLL Testbed: Error ")));
        QVERIFY2(boxed > 0 && boxed * 50 < errors, qPrintable(QString::number(boxed)));
        QVERIFY(r.err.contains(QStringLiteral("[status] This run had %1 errors; the report lists "
                                              "every one\n")
                                   .arg(errors)));
        QVERIFY(r.err.contains("[status] DLL is installed OK and is version 1.25\n"));
        static const QRegularExpression end(
            QStringLiteral("\\* Tests Complete \\* -{100}\n\\* This execution took [0-9.E+-]+ "
                           "second\\(s\\)\n$"));
        QVERIFY(end.match(r.out).hasMatch());
    }

    // Each pass starts the report afresh: a pipe cannot be taken back and sees every pass, a
    // file holds the last one, after what an appending file held before.
    // (In the rig's process: 50,000 error lines a pass cost less without the host.)
    void passesWriteTheTotalLine() {
        const Result r =
            runReport({"--in-process", "--library", fake("bare"), "--passes", "2", "--crlf"});
        QCOMPARE(r.status, 1);
        static const QRegularExpression total(
            QStringLiteral("second\\(s\\)\r\nFinished: 2 loops took [0-9.E+-]+ seconds\r\n\r\n$"));
        QVERIFY2(total.match(r.out).hasMatch(), qPrintable(r.out.right(120)));
        QCOMPARE(int(r.out.count("Checking DLL version v1.25")), 2);
        QVERIFY(!r.out.contains(QRegularExpression("[^\r]\n")));  // every break is CR LF
        QVERIFY(
            r.err.contains("[caption] Zentrak DLL Testbed - (qorlib145.dl) v1.25 - Loop 1 "
                           "of 2 (process ID:0) - 0 Kb used"));
        QVERIFY(r.err.contains(" - Loop 2 of 2 "));

        QTemporaryDir dir;
        const QString path = dir.filePath("report.txt");
        const QString appended = dir.filePath("appended.txt");
        QVERIFY(writeFile(appended, "kept\n"));
        QCOMPARE(runReport(
                     {"--in-process", "--library", fake("bare"), "--passes", "2", "--output", path})
                     .status,
                 1);
        QCOMPARE(runReport({"--in-process", "--library", fake("bare"), "--passes", "2"}, {},
                           QStringLiteral("\"$0\" \"$@\" >> '%1'").arg(appended))
                     .status,
                 1);
        const QByteArray lastPass = r.out.sliced(r.out.lastIndexOf("Checking")).toUtf8();
        static const QRegularExpression timing(QStringLiteral("\\d+\\.\\d+(E[+-]\\d+)?"));
        const auto timeless = [](QByteArray text) {
            return QString::fromUtf8(text.replace("\r\n", "\n")).replace(timing, "T");
        };
        QCOMPARE(timeless(readFile(path)), timeless(lastPass));
        QCOMPARE(timeless(readFile(appended)), timeless("kept\n" + lastPass));
        // Taking back a file standard error shares would erase the first pass's messages.
        QCOMPARE(runReport({"--in-process", "--library", fake("bare"), "--passes", "2"}, {},
                           QStringLiteral("\"$0\" \"$@\" > '%1' 2>&1").arg(path))
                     .status,
                 1);
        QVERIFY(readFile(path).contains(" - Loop 1 of 2 "));
    }

    // A library that ends the process during a call: never status 0, the call named, and
    // every report line and JUnit pass written before it kept.
    void libraryEndingTheProcess() {
        QTemporaryDir dir;
        const QString path = dir.filePath("report.txt");
        const QString xml = dir.filePath("results.xml");
        // DiskFree's first call of the second pass (three a pass).
        Result r = runReport({"--in-process", "--library", FAULTY, "--passes", "2", "--output",
                              path, "--junit", xml},
                             {"FAKE_FAULT=exit", "FAKE_FAULT_AT=4"});
        QCOMPARE(r.status, 70);
        QVERIFY2(r.err.endsWith("testbed-report: the library ended the process (exit) in "
                                "DiskFree\n"),
                 qPrintable(r.err.right(300)));
        const QString report = QString::fromUtf8(readFile(path));
        QCOMPARE(int(report.count("Checking DLL version")), 1);
        QVERIFY(report.contains("Random Function Tests ---"));
        QVERIFY2(report.endsWith("\nTest Free disk space functions ...\n"),
                 qPrintable(report.right(300)));
        const QString results = QString::fromUtf8(readFile(xml));
        QVERIFY(results.contains("\"pass 1 of 2\"") && !results.contains("pass 2 of 2"));

        r = runReport({"--in-process", "--library", FAULTY}, {"FAKE_FAULT=crash"},
                      R"(ulimit -c 0; exec "$0" "$@")");
        QCOMPARE(r.status, 128 + SIGSEGV);
        QVERIFY2(r.err.endsWith("testbed-report: the library crashed in Gcd: SIGSEGV "
                                "(segmentation fault); the report holds the lines written "
                                "before it\n"),
                 qPrintable(r.err.right(300)));
        QVERIFY(r.out.contains("Maths Function Tests ---"));
        QVERIFY(!r.out.contains("Gcd("));
    }

    // The library in its host: each fault becomes an error line that names the export and
    // the cause, in a report, a JUnit file and a verdict that all complete.
    void isolatedFaults_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("error");    // the error line's description, or "" for none
        QTest::addColumn<QString>("section");  // the JUnit testcase that fails
        QTest::newRow("crash") << "crash"
                               << "900 ocurred (The library crashed in Gcd: signal SIGSEGV"
                               << "Maths Function Tests / String Function Tests";
        QTest::newRow("exit(0)") << "exit"
                                 << "900 ocurred (The library crashed in DiskFree: exit status 0)"
                                 << "Disk Space Tests";
        QTest::newRow("abort()") << "abort"
                                 << "900 ocurred (The library crashed in VBDate: signal SIGABRT"
                                 << "VB and C++ Date Conversion Tests";
        // Found when the host frees the result (see the tunables below), or at once by the
        // sanitizers, which end the host with their own exit status.
        QTest::newRow("heap overwrite")
            << "overwrite"
            << "900 ocurred (The library crashed in StripL: "
            << "String Trimming Tests / Data Conversion Tests";
        QTest::newRow("endless loop")
            << "hang"
            << "901 ocurred (The library did not answer in time: MatchCIDR ran past 0.5 seconds)"
            << "IP and CIDR Match Tests";
        QTest::newRow("standard output") << "stdout"
                                         << ""
                                         << "";
    }
    void isolatedFaults() {
        QFETCH(QString, fault);
        QFETCH(QString, error);
        QFETCH(QString, section);
        QTemporaryDir dir;
        const QString stored = dir.filePath("stored.txt"), xml = dir.filePath("results.xml");
        QCOMPARE(runReport({"--library", FAULTY, "--output", stored}).status, 0);
        // With the C library's caches of small freed blocks on, a smashed neighbour may go
        // unnoticed for the whole pass, depending on the heap's layout; without them, free()
        // checks the neighbour's size at once, wherever the rig is built.
        const Result r = runReport(
            {"--library", FAULTY, "--expect", stored, "--junit", xml, "--call-timeout", "0.5"},
            {"FAKE_FAULT=" + fault,
             "GLIBC_TUNABLES=glibc.malloc.tcache_count=0:glibc.malloc.mxfast=0"});
        QVERIFY2(r.out.endsWith(" second(s)\n"), qPrintable(r.out.right(300)));
        QVERIFY(!r.out.contains("EncryptString was here"));
        const QString junit = QString::fromUtf8(readFile(xml));
        if (error.isEmpty()) {
            QCOMPARE(r.status, 0);
            QVERIFY(r.err.contains("[library] EncryptString was here\n"));
            QVERIFY(r.err.contains("[library] EncryptString complains\n"));
            QVERIFY(!junit.contains("<failure"));
            return;
        }
        QCOMPARE(r.status, 3);  // the error lines differ from the stored report
        QVERIFY2(r.out.contains("\nError " + error), qPrintable(r.out.left(3000)));
        const qsizetype testcase = junit.indexOf("name=\"" + section + "\"");
        QVERIFY2(section.isEmpty() || (testcase >= 0 && junit.indexOf("<failure", testcase) <
                                                            junit.indexOf("</testcase>", testcase)),
                 qPrintable(section));
        QVERIFY(junit.contains(error.section(u'(', 1)));
    }

    // A library host that cannot start is a library that cannot be loaded, with the reason.
    void hostMissing() {
        QTemporaryDir dir;
        const QString shell =
            QStringLiteral(R"(cp "$0" "%1/" && exec "%1/testbed-report" "$@")").arg(dir.path());
        const Result r = runReport({"--library", QStringLiteral(QORLIB_PATH)}, {}, shell);
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.contains("the library host qorlib-host is not beside the rig"),
                 qPrintable(r.err));
        QCOMPARE(
            runReport({"--library", QStringLiteral(QORLIB_PATH), "--in-process"}, {}, shell).status,
            0);
    }

    void outputFile() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath("report.txt");
        const Result r = runReport({"--in-process", "--library", fake("bare"), "--output", path});
        QCOMPARE(r.status, 1);
        QVERIFY(r.out.isEmpty());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString written = QString::fromUtf8(file.readAll());
        QVERIFY(written.startsWith("Checking DLL version v1.25\n"));
        QVERIFY(written.contains("* This execution took "));

        const Result unwritable = runReport({"--in-process", "--library", fake("bare"), "--output",
                                             dir.filePath("no/such/dir/r.txt")});
        QCOMPARE(unwritable.status, 74);
    }

    // Whatever state the real library is in, the status says whether error lines were written.
    void realLibraryStatusMatchesTheReport() {
        const Result r = runReport({"--library", QStringLiteral(QORLIB_PATH)});
        QVERIFY(r.status == 0 || r.status == 1);
        QVERIFY(r.out.startsWith("Checking DLL version v1.25\n"));
        QCOMPARE(r.status == 1, errorLines(r.out) > 0);
    }

    // With --expect the pass still writes its report; the status says whether it matched.
    void expectedReportVerdicts() {
        QTemporaryDir dir;
        const QString storedPath = dir.filePath("stored.txt");
        QCOMPARE(runReport({"--library", WRAPPER, "--output", storedPath}).status, 0);
        const QByteArray stored = readFile(storedPath);
        QByteArray changed = stored;
        changed.replace("version v1.25", "version v1.24");
        // CR LF files and older reports are covered by the comparison's own tests.
        const struct {
            const char *name;
            QByteArray content;
            const char *says;
        } cases[] = {
            {"changed", changed, "-Checking DLL version v1.24\n+Checking DLL version v1.25\n"},
            {"binary", QByteArray::fromHex("7f454c46000201").repeated(100), "NUL bytes"},
        };
        for (const auto &c : cases) {
            const QString path = dir.filePath(QString::fromLatin1(c.name));
            QVERIFY(writeFile(path, c.content));
            const Result r = runReport({"--library", WRAPPER, "--expect", path});
            QVERIFY2(r.status == 3, c.name);
            QVERIFY2(r.err.contains(QString::fromLatin1(c.says)), qPrintable(r.err.right(600)));
            // The report as ever (its line count may differ: a random text ending in ";").
            QVERIFY2(
                r.out.startsWith("Checking DLL version v1.25\n") && r.out.endsWith(" second(s)\n"),
                c.name);
        }

        const QString missing = dir.filePath("missing.txt");
        const Result r = runReport({"--library", WRAPPER, "--expect", missing});
        QCOMPARE(r.status, 66);  // before anything runs
        QVERIFY(r.out.isEmpty());
        QVERIFY(r.err.startsWith("testbed-report: " + missing + " cannot be read as a stored "
                                 "report: "));
    }

    // A difference (3) outranks error lines (1); error lines the stored report has too are
    // no difference.
    void differenceOutranksErrorLines() {
        QTemporaryDir dir;
        const QString storedPath = dir.filePath("stored.txt");
        QCOMPARE(runReport({"--library", WRAPPER, "--output", storedPath}, {"FAKE_ERROR=1"}).status,
                 1);
        QCOMPARE(runReport({"--library", WRAPPER, "--expect", storedPath}, {"FAKE_ERROR=1"}).status,
                 1);
        const Result r = runReport({"--library", WRAPPER, "--expect", storedPath});
        QCOMPARE(r.status, 3);
        QVERIFY2(r.err.contains("\n-Error 6 ocurred (Overflow)"), qPrintable(r.err.right(900)));
    }

    // 100 MB that are no report: a verdict within the test's time, and no more memory than
    // the file itself needs.
    void hugeExpectedReport() {
        QTemporaryDir dir;
        const QString oneLine = dir.filePath("one-line.txt");
        const QString manyLines = dir.filePath("many-lines.txt");
        QVERIFY(writeFile(oneLine, "Checking DLL version v1.25" + QByteArray(60'000'000, 'z')));
        QVERIFY(writeFile(manyLines, QByteArray("x\n").repeated(30'000'000)));
        for (const QString &path : {oneLine, manyLines}) {
            long peak = 0;
            const Result r = runReport({"--library", WRAPPER, "--expect", path}, {}, {}, &peak);
            QCOMPARE(r.status, 3);
            QVERIFY(r.err.contains("testbed-report: the pass differs from " + path));
            QVERIFY(r.err.size() < 100'000);  // the long line is shown cut short
#if !defined(__SANITIZE_ADDRESS__)
            // The file, and a little more than a pass needs without it.
            QVERIFY2(peak > 0 && peak < 60'000 + 60'000, qPrintable(QString::number(peak)));
#endif
        }
    }

    // What cannot be a stored run is refused at once, in bounded memory, with the reason:
    // a FIFO nobody writes to, a device without end, a file past the limit, an empty one.
    void unreadableStoredFiles() {
        QTemporaryDir dir;
        const QString fifo = dir.filePath("fifo"), large = dir.filePath("large.txt"),
                      empty = dir.filePath("empty.txt");
        QVERIFY(QProcess::execute("mkfifo", {fifo}) == 0);
        QFile sparse(large);
        QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize((qint64{64} << 20) + 1));
        sparse.close();
        QVERIFY(writeFile(empty, {}));
        const QList<std::pair<QString, QString>> files{
            {fifo, "it is not a regular file"},
            {"/dev/zero", "it is not a regular file"},
            {large, "it holds more than 64 MiB"},
            {empty, "it is empty"},
            {dir.path(), "it is a folder"}};
        for (const auto &[path, reason] : files) {
            for (const char *option : {"--expect", "--expect-profile"}) {
                long peak = 0;
                const Result r = runReport({"--library", WRAPPER, option, path}, {}, {}, &peak);
                QCOMPARE(r.status, 66);
                const QString kind = option == QLatin1String("--expect") ? "report" : "profile";
                QVERIFY2(r.err.contains(path + " cannot be read as a stored " + kind + ": " + reason),
                         qPrintable(r.err));
                QVERIFY2(peak < 100'000, qPrintable(QString::number(peak)));
            }
        }
    }

    // A report stored under another time zone differs in its zone and date lines only, and
    // the verdict says what may be the cause; a real difference gets no such hint.
    void anotherTimeZone() {
        QTemporaryDir dir;
        const QString stored = dir.filePath("stored.txt");
        QCOMPARE(runReport({"--output", stored}, {"TZ=UTC"}).status, 0);
        Result r = runReport({"--expect", stored}, {"TZ=America/New_York"});
        QCOMPARE(r.status, 3);
        QVERIFY2(r.err.contains("stored under another time zone or locale?"), qPrintable(r.err));
        QVERIFY(writeFile(stored, readFile(stored).replace("Min(1, 3)=1", "Min(1, 3)=3")));
        r = runReport({"--expect", stored}, {"TZ=America/New_York"});
        QCOMPARE(r.status, 3);
        QVERIFY(!r.err.contains("another time zone"));
    }

    // The cost of a build against a stored run: a slower export and a leaking one fail the
    // verdict by name, in their sections' JUnit cases and on the page; too few passes to
    // judge are said plainly.
    void costVerdicts() {
        QTemporaryDir dir;
        const QString stored = dir.filePath("stored.txt"), profile = dir.filePath("stored.json"),
                      xml = dir.filePath("results.xml"), page = dir.filePath("run.html");
        QCOMPARE(runReport({"--library", FAULTY, "--passes", "5", "--output", stored, "--profile",
                            profile})
                     .status,
                 0);
        const QByteArray json = readFile(profile);
        QVERIFY2(json.contains("\"name\":\"GetDiskSizeMb\"") && json.contains("\"run\":"),
                 json.left(300).constData());
        // A sanitizer keeps freed memory from use for a while, which grows the host as a
        // leak would; without its quarantine only the fault's memory keeps growing.
        const QString sanitizer = qEnvironmentVariable("ASAN_OPTIONS");
        Result r = runReport({"--library", FAULTY, "--passes", "5", "--expect", stored,
                              "--expect-profile", profile, "--junit", xml, "--html", page},
                             {"FAKE_FAULT=slow,leak",
                              "ASAN_OPTIONS=" + sanitizer + ":quarantine_size_mb=0"});
        QCOMPARE(r.status, 3);
        QVERIFY2(r.err.contains(QRegularExpression(
                     "the export GetDiskSizeMb is [0-9.]+ times slower than stored")),
                 qPrintable(r.err.right(2000)));
        QVERIFY(r.err.contains("the export GetProcessMemoryUsed leaks"));
        QVERIFY(!r.err.contains("the export Gcd"));  // the exports not made slower pass
        const QString junit = QString::fromUtf8(readFile(xml));
        QCOMPARE(junit.count("<failure type=\"cost\""), 2);
        QVERIFY(junit.contains("GetDiskSizeMb is"));
        QVERIFY(readFile(page).contains("GetProcessMemoryUsed leaks"));

        r = runReport({"--library", FAULTY, "--expect-profile", profile, "--junit", xml});
        QCOMPARE(r.status, 0);
        QVERIFY(r.err.contains("slowdowns not judged: the stored profile has 5 pass(es) and this "
                               "run 1"));
        QVERIFY(r.err.contains("leaks not judged"));
        QVERIFY(readFile(xml).contains("<skipped message=\"slowdowns not judged"));
    }

    // --passes shows its progress on a terminal, one line rewritten, and nowhere else.
    void progressOnATerminalOnly() {
        QTemporaryDir dir;
        const QString output = dir.filePath("out.txt");
        const QStringList arguments{"--library", WRAPPER, "--passes", "3", "--output", output};
        // `script` runs the program on a pseudo-terminal and copies what it shows (no
        // argument here holds a space).
        const Result shown = runReport(arguments, {}, R"(exec script -qec "$0 $*" /dev/null)");
        QCOMPARE(shown.status, 0);
        QVERIFY2(shown.out.contains(QRegularExpression("\rpass 3 of 3, 0:\\d\\d gone, about "
                                                       "0:\\d\\d left, 0 failing\x1b\\[K")),
                 qPrintable(shown.out.right(500)));
        QVERIFY(!readFile(output).contains("pass 2 of 3"));
        const Result piped = runReport(arguments);
        QCOMPARE(piped.status, 0);
        QVERIFY(!piped.err.contains("pass 2 of 3"));
    }

    // JUnit: a testsuite per pass, a testcase per section, failed by error lines and
    // differences, the failure holding the section's lines of the diff.
    void junitResults() {
        QTemporaryDir dir;
        const QString storedPath = dir.filePath("stored.txt");
        const QString xmlPath = dir.filePath("results.xml");
        QCOMPARE(runReport({"--library", WRAPPER, "--output", storedPath}, {"FAKE_ERROR=1"}).status,
                 1);
        QByteArray stored = readFile(storedPath);
        QVERIFY(writeFile(storedPath, stored.replace("version v1.25", "version v1.24")));
        const Result r = runReport(
            {"--library", WRAPPER, "--passes", "2", "--expect", storedPath, "--junit", xmlPath},
            {"FAKE_ERROR=1"});
        QCOMPARE(r.status, 3);
        QVERIFY(r.err.contains("testbed-report: 2 of 2 passes differ from " + storedPath));

        QXmlStreamReader xml(readFile(xmlPath));
        QStringList suites, cases;
        QString firstFailure;
        int errorFailures = 0;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == u"testsuite")
                suites << xml.attributes().value("name").toString();
            if (xml.name() == u"testcase" && suites.size() == 2)
                cases << xml.attributes().value("name").toString();
            if (xml.name() == u"failure") {
                errorFailures += xml.attributes().value("type") == u"error line" ? 1 : 0;
                const QString text = xml.readElementText();
                if (firstFailure.isEmpty())
                    firstFailure = text;
            }
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(suites, (QStringList{"pass 1 of 2", "pass 2 of 2"}));
        QCOMPARE(cases.first(), QStringLiteral("Checking DLL version v1.25"));
        QVERIFY(cases.contains("Maths Function Tests / String Function Tests"));
        QVERIFY(cases.contains("Bit Packing, URL, Replace, Rotate and Hex Tests"));
        QVERIFY(!cases.join(u'|').contains("Section ("));
        QCOMPARE(cases.last(), QStringLiteral("Finished"));
        QCOMPARE(firstFailure, QStringLiteral("-Checking DLL version v1.24\n"
                                              "+Checking DLL version v1.25\n"));
        QCOMPARE(errorFailures, 2);  // one section of each pass wrote an error line

        const Result unwritable =
            runReport({"--library", WRAPPER, "--junit", dir.filePath("no/dir/r.xml")});
        QCOMPARE(unwritable.status, 74);
        QVERIFY(unwritable.err.contains("testbed-report: cannot write "));
    }

    // A random text may end in ";", which joins the next line to it in one run and not in
    // another; every pass of a repeat run is compared, and the loop's closing line is not
    // where the stored report has none.
    void linesJoinedBySemicolonCompareEqual() {
        QTemporaryDir dir;
        const QString joined = dir.filePath("joined.txt");
        const QString plain = dir.filePath("plain.txt");
        const QString &wrapper = WRAPPER;
        QCOMPARE(runReport({"--library", wrapper, "--output", joined},
                           {"FAKE_SEED=1", "FAKE_SEMICOLON=1"})
                     .status,
                 0);
        QVERIFY(QRegularExpression("RandomStringAll\\)=\\S{49}StringToHex\\(")
                    .match(QString::fromUtf8(readFile(joined)))
                    .hasMatch());
        QCOMPARE(runReport({"--library", wrapper, "--output", plain}, {"FAKE_SEED=2"}).status, 0);

        Result r =
            runReport({"--library", wrapper, "--passes", "2", "--expect", joined}, {"FAKE_SEED=3"});
        QVERIFY2(r.status == 0, qPrintable(r.err.right(2000)));
        r = runReport({"--library", wrapper, "--expect", plain},
                      {"FAKE_SEED=4", "FAKE_SEMICOLON=1"});
        QVERIFY2(r.status == 0, qPrintable(r.err.right(2000)));
    }
};

QTEST_GUILESS_MAIN(ReportProgramTest)
#include "shell_report_program_test.moc"
