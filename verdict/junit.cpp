#include "junit.h"

#include <QXmlStreamWriter>
#include <algorithm>

#include "compare.h"
#include "rigerror.h"

namespace verdict {

namespace {

QString seconds(double value) {
    return QString::number(value, 'f', 3);
}

bool fails(const CaseResult &result) {
    return !result.errorLines.isEmpty() || !result.differences.isEmpty() ||
           !result.findings.isEmpty();
}

// Error lines of calls that crashed or ran past their time: errors of the library under
// test rather than wrong answers.
int faults(const CaseResult &result) {
    const QString crashed = QStringLiteral("Error %1 ").arg(rt::RigError::LIBRARY_CRASHED);
    const QString timedOut = QStringLiteral("Error %1 ").arg(rt::RigError::LIBRARY_TIMED_OUT);
    return static_cast<int>(std::count_if(
        result.errorLines.begin(), result.errorLines.end(),
        [&](const QString &line) { return line.startsWith(crashed) || line.startsWith(timedOut); }));
}

int faults(const SuiteResult &suite) {
    int sum = 0;
    for (const CaseResult &result : suite.cases)
        sum += faults(result);
    return sum;
}

double total(const SuiteResult &suite) {
    double sum = 0;
    for (const CaseResult &result : suite.cases)
        sum += result.seconds;
    return sum;
}

int failures(const SuiteResult &suite) {
    return static_cast<int>(std::count_if(suite.cases.begin(), suite.cases.end(), fails));
}

void writeCase(QXmlStreamWriter &xml, const QString &suiteName, const CaseResult &result,
               const QString &expectedName) {
    xml.writeStartElement(QStringLiteral("testcase"));
    xml.writeAttribute(QStringLiteral("classname"), printable(suiteName));
    xml.writeAttribute(QStringLiteral("name"), printable(result.name));
    xml.writeAttribute(QStringLiteral("time"), seconds(result.seconds));
    if (fails(result)) {
        QStringList message;
        if (!result.errorLines.isEmpty())
            message << QStringLiteral("%1 error line(s)").arg(result.errorLines.size());
        if (!result.differences.isEmpty())
            message << QStringLiteral("%1 line(s) differ from %2")
                           .arg(result.differences.size())
                           .arg(expectedName);
        message << result.findings;
        QString text;
        for (const QStringList *lines : {&result.errorLines, &result.differences, &result.findings})
            for (const QString &line : *lines)
                text += printable(line) + u'\n';
        xml.writeStartElement(QStringLiteral("failure"));
        xml.writeAttribute(QStringLiteral("type"), !result.differences.isEmpty()
                                                       ? QStringLiteral("difference")
                                                   : !result.errorLines.isEmpty()
                                                       ? QStringLiteral("error line")
                                                       : QStringLiteral("cost"));
        xml.writeAttribute(QStringLiteral("message"),
                           printable(message.join(QStringLiteral("; "))));
        xml.writeCharacters(text);
        xml.writeEndElement();
    } else if (!result.skipped.isEmpty()) {
        xml.writeStartElement(QStringLiteral("skipped"));
        xml.writeAttribute(QStringLiteral("message"), printable(result.skipped));
        xml.writeEndElement();
    }
    xml.writeEndElement();
}

}  // namespace

QByteArray junitXml(const QList<SuiteResult> &suites, const QString &expectedName) {
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("testsuites"));
    xml.writeAttribute(QStringLiteral("name"), QStringLiteral("testbed-report"));
    qsizetype tests = 0, failed = 0, errors = 0;
    double time = 0;
    for (const SuiteResult &suite : suites) {
        tests += suite.cases.size();
        failed += failures(suite);
        errors += faults(suite);
        time += total(suite);
    }
    xml.writeAttribute(QStringLiteral("tests"), QString::number(tests));
    xml.writeAttribute(QStringLiteral("failures"), QString::number(failed));
    xml.writeAttribute(QStringLiteral("errors"), QString::number(errors));
    xml.writeAttribute(QStringLiteral("time"), seconds(time));
    for (const SuiteResult &suite : suites) {
        xml.writeStartElement(QStringLiteral("testsuite"));
        xml.writeAttribute(QStringLiteral("name"), printable(suite.name));
        xml.writeAttribute(QStringLiteral("tests"), QString::number(suite.cases.size()));
        xml.writeAttribute(QStringLiteral("failures"), QString::number(failures(suite)));
        xml.writeAttribute(QStringLiteral("errors"), QString::number(faults(suite)));
        xml.writeAttribute(QStringLiteral("time"), seconds(total(suite)));
        for (const CaseResult &result : suite.cases)
            writeCase(xml, suite.name, result, printable(expectedName));
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

}  // namespace verdict
