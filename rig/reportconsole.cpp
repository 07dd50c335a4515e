#include "reportconsole.h"

#include <QFontDatabase>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include "layout.h"
#include "report.h"

namespace rig {

namespace {
// The report's font size at the default layout.
constexpr double POINTS = 8.25;
}  // namespace

ReportConsole::ReportConsole(QWidget *parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabChangesFocus(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    QPalette colours = palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        colours.setColor(group, QPalette::Base, Qt::black);
        colours.setColor(group, QPalette::Text, Qt::white);
    }
    setPalette(colours);

    QFont font;
    const QString family =
        fontFamilyFor(QStringLiteral("Lucida Console"), QFontDatabase::families());
    font.setFamily(family.isEmpty() ? QFontDatabase::systemFont(QFontDatabase::FixedFont).family()
                                    : family);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPointSizeF(POINTS);
    setFont(font);
}

void ReportConsole::setScale(double scale) {
    QFont scaled = font();
    scaled.setPointSizeF(POINTS * scale);
    setFont(scaled);
}

QString ReportConsole::displayText(QStringView report) {
    QString text;
    text.reserve(report.size());
    for (qsizetype i = 0; i < report.size(); ++i) {
        const QChar c = report[i];
        if (c == u'\r') {
            text += u'\n';
            if (i + 1 < report.size() && report[i + 1] == u'\n')
                ++i;
        } else {
            text += c;
        }
    }
    return text;
}

void ReportConsole::printf(const QString &text) {
    const QString piece = suite::printfPiece(text);
    if (piece.isEmpty())
        return;
    // A CR at the end of the report and an LF at the start of the piece make one line
    // break, which the shown text can only learn by showing the whole report again.
    const bool joinsBreak = report_.endsWith(u'\r') && piece.startsWith(u'\n');
    report_ += piece;
    if (isHidden() || stale_ || joinsBreak) {
        stale_ = true;
        if (!isHidden())
            showWholeReport();
        return;
    }
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    end.insertText(displayText(piece));
    scrollToEnd();
}

void ReportConsole::clearReport() {
    report_.clear();
    clear();
    stale_ = false;
}

void ReportConsole::setReportVisible(bool visible) {
    setVisible(visible);
    if (visible && stale_)
        showWholeReport();
}

void ReportConsole::showWholeReport() {
    setPlainText(displayText(report_));
    stale_ = false;
    scrollToEnd();
}

void ReportConsole::scrollToEnd() {
    moveCursor(QTextCursor::End);
    ensureCursorVisible();
}

}  // namespace rig
