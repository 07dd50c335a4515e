// A host without a window, for the report program: the report is kept as txtOut would hold
// it, status-picture lines, message boxes and caption changes go to a diagnostic sink (one
// prefixed line each), and no message box ever waits. Like the window, it boxes the first
// error of each statement in a pass only; the report holds every one.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "host.h"
#include "shaped_report.h"
#include "shell.h"

namespace rig {

// The report as a file holds it: each CR LF becomes a newline unless `keepCrLf`.
QString reportFileText(const QString &report, bool keepCrLf);

class HeadlessStatus final : public suite::StatusPicture {
  public:
    explicit HeadlessStatus(std::function<void(const QString &)> sink) : sink_(std::move(sink)) {}

    void setColor(int consoleColor) override;
    // A line of text has no font.
    void setFontName(const QString &) override {}
    void setFontSize(double) override {}
    void setBold(bool) override {}
    void print(const QStringList &items) override;
    void clear() override {}
    void removePicture() override {}
    void setPersistent(bool) override {}

    int color() const { return color_; }

  private:
    std::function<void(const QString &)> sink_;
    int color_ = 0;
};

class HeadlessHost final : public suite::Host, public RunButtons {
  public:
    // `sink` receives one line per status print, message box and caption change.
    explicit HeadlessHost(std::function<void(const QString &)> sink);

    // Hands the report on as it grows: `lines` receives each run of complete lines (each
    // ending in CR LF) as soon as its last CR LF is appended, `cleared` each clearing of a
    // report that had lines handed on. A line still open when the report is cleared is
    // dropped with it; finishReport() hands on the one still open at the end.
    void streamReport(std::function<void(QStringView lines)> lines, std::function<void()> cleared);
    void finishReport();

    // ---- suite::Host ----
    void Printf(const QString &text) override;
    void PrintfShaped(const suite::ShapedText &text) override;
    void beginSection(const QString &name) override { report_.beginSection(name); }
    suite::StatusPicture &status() override { return status_; }
    void messageBox(const QString &prompt, const QString &title, suite::MessageIcon icon) override;
    // A repeat of a statement's error in the same pass gets no line of its own.
    void errorBox(const QString &line, bool repeat) override;
    QString inputText() override { return input_; }
    void setInputText(const QString &text) override { input_ = text; }
    void repaintInput() override {}
    void setReportVisible(bool) override {}
    void clearReport() override;
    void repaintReport() override {}
    void repaintAndPumpEvents() override {}
    QString caption() override { return caption_; }
    void setCaption(const QString &caption) override;

    // ---- RunButtons ----
    void setRunButtonEnabled(RunButton button, bool enabled) override;
    QString runButtonCaption(RunButton button) override;
    void setRunButtonCaption(RunButton button, const QString &caption) override;

    // The report with CR LF line breaks, as the window's report console would hold it.
    const QString &report() const { return report_.text(); }
    // The same report with the shapes of its varying parts and its sections.
    suite::ShapedReport &shapedReport() { return report_; }
    bool runButtonEnabled(RunButton button) const { return enabled_[index(button)]; }

  private:
    static int index(RunButton button) { return static_cast<int>(button); }
    void handOnCompleteLines();

    std::function<void(const QString &)> sink_;
    HeadlessStatus status_;
    suite::ShapedReport report_;
    std::function<void(QStringView)> lines_;
    std::function<void()> cleared_;
    qsizetype handedOn_ = 0;  // how much of the report `lines_` has received
    QString input_;
    QString caption_;
    bool enabled_[4] = {false, false, false, false};
    QString captions_[4];
};

}  // namespace rig
