// A host for tests: records the report, the status-picture calls, the message boxes and
// the caption, and never waits for anyone.
#pragma once

#include <QString>
#include <QStringList>

#include "host.h"
#include "report.h"

namespace testing_support {

struct RecordingStatus : suite::StatusPicture {
    QStringList lines;   // one entry per print: the items joined
    QStringList events;  // every call, for tests of order: "color 9", "print ...", "clear" ...
    int color = 0;
    bool bold = false;
    double size = 0;
    QString font;
    bool persistent = false;
    QList<int> lineColors;

    void setColor(int c) override {
        color = c;
        events << QStringLiteral("color %1").arg(c);
    }
    void setFontName(const QString &n) override {
        font = n;
        events << QStringLiteral("font ") + n;
    }
    void setFontSize(double s) override {
        size = s;
        events << QStringLiteral("size %1").arg(s);
    }
    void setBold(bool b) override {
        bold = b;
        events << QStringLiteral("bold %1").arg(b);
    }
    void print(const QStringList &items) override {
        lines << items.join(QString());
        lineColors << color;
        events << QStringLiteral("print ") + items.join(QString());
    }
    void clear() override {
        lines.clear();
        lineColors.clear();
        events << QStringLiteral("clear");
    }
    void removePicture() override { events << QStringLiteral("nopicture"); }
    void setPersistent(bool p) override { persistent = p; }
};

struct RecordingHost : suite::Host {
    QString report;
    RecordingStatus out;
    QStringList boxes;
    QString input = QStringLiteral("The quick brown fox jumped uber the lazy dog");
    QString windowCaption;
    bool reportVisible = true;
    int pumps = 0;

    void Printf(const QString &text) override { report += suite::printfPiece(text); }
    suite::StatusPicture &status() override { return out; }
    void messageBox(const QString &prompt, const QString &, suite::MessageIcon) override {
        boxes << prompt;
    }
    QString inputText() override { return input; }
    void setInputText(const QString &text) override { input = text; }
    void repaintInput() override {}
    void setReportVisible(bool visible) override { reportVisible = visible; }
    void clearReport() override { report.clear(); }
    void repaintReport() override {}
    void repaintAndPumpEvents() override { ++pumps; }
    QString caption() override { return windowCaption; }
    void setCaption(const QString &c) override { windowCaption = c; }

    // The report split into lines at CR LF (the last entry is what follows the last break).
    QStringList reportLines() const { return report.split(QStringLiteral("\r\n")); }
};

}  // namespace testing_support
