// A report as Printf builds it, together with what a comparison with a stored report needs:
// which parts of each line vary by nature and their shapes, and the run's sections with
// their time and error lines.
#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <QStringList>

#include "shaped_text.h"

namespace suite {

// One line of the report as a file holds it, for comparisons.
struct ReportLine {
    // The line as this run wrote it. Where the Printf rule took back a ";" that ended a
    // varying value and joined the next line, the ";" is in place and the line ends there.
    QString text;
    // Matches the line of any run with the same behaviour; empty when the line has no
    // varying part, and then only `text` itself does.
    QString pattern;
    // How much of `text` comes before its first varying part (all of it when none).
    qsizetype stableLead = 0;
    // The line ends in a value that may end in ";": another run may have joined the next
    // line to it.
    bool mayJoinNext = false;
    // A varying value of this run does not have the shape its section declared.
    bool shapeBroken = false;
    int section = 0;
};

class ShapedReport {
  public:
    struct Section {
        QString name;
        qint64 nanoseconds = 0;
        QStringList errorLines;
    };

    // Empties the report and forgets its sections.
    void clear();
    // Appends as Printf does: a text whose last character is ";" without that ";" and
    // without a line break, any other text followed by CR LF; nothing from a NUL on.
    void append(const ShapedText &text);
    // Lines from here on belong to a new section; the current one ends. `name`, when given,
    // is the section's name unless it prints a banner.
    void beginSection(const QString &name = {});

    // The report with CR LF line breaks, as the window's report console would hold it.
    const QString &text() const { return text_; }

    // The sections so far. A section is named after its banners, else by the name it
    // began with, else after its first line.
    QList<Section> sections() const;
    // The report's lines as a file holds them: split at CR LF and LF, trailing CRs dropped,
    // a last empty line dropped.
    QList<ReportLine> lines() const;

  private:
    struct Field {
        qsizetype start;
        qsizetype end;
        QString pattern;
        bool joinable;        // may end in ";" and ends its Printf text
        bool semicolonTaken;  // ... and did end in ";", which Printf took back
    };
    struct SectionMark {
        qsizetype start;  // position in text_
        QString name;
        QStringList titles;
        QStringList errorLines;
        qint64 nanoseconds = -1;  // -1 while the section is open
    };

    void ensureSection();

    QString text_;
    QList<Field> fields_;
    QList<SectionMark> sections_;
    QElapsedTimer sectionClock_;
};

}  // namespace suite
