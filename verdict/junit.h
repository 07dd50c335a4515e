// Results of testbed-report in the JUnit XML format CI systems read: one testsuite per pass,
// one testcase per section.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace verdict {

struct CaseResult {
    QString name;  // the section's name
    double seconds = 0;
    QStringList errorLines;
    QStringList differences;  // the section's lines of the diff, each with its "-" or "+"
    QStringList findings;     // what the cost verdict found slower or leaking here
    QString skipped;          // why a case was not judged ("" when it was)
};

struct SuiteResult {
    QString name;
    QList<CaseResult> cases;
};

// The XML document. A case fails when its section wrote error lines, differs from the
// expected report (`expectedName` names it in the failure message) or has cost findings;
// the errors count the calls that crashed or ran past their time in the library's host. Any character XML cannot
// hold is written as a visible escape, so the document is well-formed whatever a line holds.
QByteArray junitXml(const QList<SuiteResult> &suites, const QString &expectedName);

}  // namespace verdict
