// txtOut, the report console: a read-only, selectable multi-line box. It keeps the report as
// text with CR LF line breaks; while hidden it only collects the text and shows it in one go
// when made visible again, so a run does not pay for a display update per line.
#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <QStringView>

namespace rig {

class ReportConsole final : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit ReportConsole(QWidget *parent = nullptr);

    // Appends as printfPiece() says and scrolls to the last line.
    void printf(const QString &text);
    void clearReport();
    void setReportVisible(bool visible);
    // The window's layout scale: the report's font grows with it.
    void setScale(double scale);

    // The report as the console holds it, with CR LF line breaks.
    const QString &report() const { return report_; }

    // The text shown for `report`: every CR LF, lone CR and lone LF is one line break.
    static QString displayText(QStringView report);

  private:
    void showWholeReport();
    void scrollToEnd();

    QString report_;
    bool stale_ = false;  // the document lags behind report_
};

}  // namespace rig
