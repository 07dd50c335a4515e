// A whole pass of testbed-report against our library, checked line by line in order.
// tests/data/complete_report.expected holds one line per report line: literal text, or a
// regular expression after a leading "~" for the parts that vary (times, random texts,
// today's date, memory, ids). A literal line that itself starts with "~" is written "\~".
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

QStringList readLines(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    if (text.endsWith(u'\n'))
        text.chop(1);
    return text.split(u'\n');
}

bool writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

TEST(CompleteReport, EveryLineOfAWholePassInOrder) {
    QTemporaryDir drive;
    ASSERT_TRUE(drive.isValid());
    QDir c(drive.path());
    ASSERT_TRUE(c.mkpath(QStringLiteral("win")));
    ASSERT_TRUE(
        writeFile(c.filePath(QStringLiteral("boot.ini")), "[boot loader]\r\ntimeout=30\r\n"));
    for (const char *name : {"config.sys", "autoexec.bat", "x.log", "readme.txt", "notes.ini.bak"})
        ASSERT_TRUE(writeFile(c.filePath(QString::fromLatin1(name)), "x"));

    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QORLIB_DRIVES"), QStringLiteral("C=") + drive.path());
    env.insert(QStringLiteral("QORLIB_WINDIR"), c.filePath(QStringLiteral("win")) + u'/');
    env.insert(QStringLiteral("TZ"), QStringLiteral("UTC"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    env.insert(QStringLiteral("LANG"), QStringLiteral("C"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(TESTBED_REPORT),
                  {QStringLiteral("--library"), QStringLiteral(QORLIB_PATH)});
    ASSERT_TRUE(process.waitForFinished(600000));
    const QString errors = QString::fromUtf8(process.readAllStandardError());
    EXPECT_EQ(process.exitCode(), 0) << errors.toStdString();

    QString report = QString::fromUtf8(process.readAllStandardOutput());
    if (report.endsWith(u'\n'))
        report.chop(1);
    const QStringList actual = report.split(u'\n');
    const QStringList expected =
        readLines(QStringLiteral(TEST_DATA_DIR "/complete_report.expected"));
    ASSERT_FALSE(expected.isEmpty());

    for (qsizetype i = 0; i < std::min(actual.size(), expected.size()); ++i) {
        const QString &want = expected.at(i);
        const QString &got = actual.at(i);
        if (want.startsWith(u'~')) {
            const QRegularExpression pattern(QRegularExpression::anchoredPattern(want.mid(1)));
            ASSERT_TRUE(pattern.isValid()) << "line " << i + 1 << ": " << want.toStdString();
            EXPECT_TRUE(pattern.match(got).hasMatch())
                << "line " << i + 1 << "\n  got:     " << got.toStdString()
                << "\n  pattern: " << want.mid(1).toStdString();
        } else {
            const QString literal = want.startsWith(QStringLiteral("\\~")) ? want.mid(1) : want;
            EXPECT_EQ(got, literal) << "line " << i + 1;
        }
    }
    EXPECT_EQ(actual.size(), expected.size());
}

}  // namespace
