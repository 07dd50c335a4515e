#include "headless_host.h"

#include "rigerror.h"
#include "run.h"

namespace rig {

namespace {

// A diagnostic line holds no line breaks of its own.
QString oneLine(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

}  // namespace

QString reportFileText(const QString &report, bool keepCrLf) {
    if (keepCrLf)
        return report;
    QString text = report;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

void HeadlessStatus::setColor(int consoleColor) {
    if (consoleColor < 0 || consoleColor > 15)
        throw rt::RigError::invalidCall();
    color_ = consoleColor;
}

void HeadlessStatus::print(const QStringList &items) {
    sink_(QStringLiteral("[status] ") + oneLine(items.join(QString())));
}

HeadlessHost::HeadlessHost(std::function<void(const QString &)> sink)
    : sink_(std::move(sink)), status_(sink_) {
    captions_[index(RunButton::Once)] = ONCE_CAPTION;
    captions_[index(RunButton::Ten)] = TEN_CAPTION;
    captions_[index(RunButton::Hundred)] = HUNDRED_CAPTION;
    captions_[index(RunButton::Thousand)] = THOUSAND_CAPTION;
}

void HeadlessHost::streamReport(std::function<void(QStringView)> lines,
                                std::function<void()> cleared) {
    lines_ = std::move(lines);
    cleared_ = std::move(cleared);
}

void HeadlessHost::Printf(const QString &text) {
    PrintfShaped(suite::ShapedText(text));
}

void HeadlessHost::PrintfShaped(const suite::ShapedText &text) {
    report_.append(text);
    handOnCompleteLines();
}

void HeadlessHost::handOnCompleteLines() {
    if (!lines_)
        return;
    const QString &report = report_.text();
    // Only the open line is searched: everything before it has been handed on.
    const qsizetype lastBreak = report.lastIndexOf(QStringLiteral("\r\n"));
    if (lastBreak < handedOn_)
        return;
    const qsizetype end = lastBreak + 2;
    lines_(QStringView(report).mid(handedOn_, end - handedOn_));
    handedOn_ = end;
}

void HeadlessHost::finishReport() {
    const QString &report = report_.text();
    if (lines_ && handedOn_ < report.size())
        lines_(QStringView(report).mid(handedOn_));
    handedOn_ = report.size();
}

void HeadlessHost::clearReport() {
    report_.clear();
    if (handedOn_ > 0 && cleared_)
        cleared_();
    handedOn_ = 0;
}

void HeadlessHost::messageBox(const QString &prompt, const QString &title, suite::MessageIcon) {
    sink_(QStringLiteral("[message] ") + title + QStringLiteral(": ") + oneLine(prompt));
}

void HeadlessHost::errorBox(const QString &line, bool repeat) {
    // A loop of 10,000 failing calls would otherwise write 10,000 lines.
    if (!repeat)
        messageBox(line, suite::ERROR_BOX_TITLE, suite::MessageIcon::Information);
}

void HeadlessHost::setCaption(const QString &caption) {
    caption_ = caption;
    sink_(QStringLiteral("[caption] ") + caption);
}

void HeadlessHost::setRunButtonEnabled(RunButton button, bool enabled) {
    enabled_[index(button)] = enabled;
}

QString HeadlessHost::runButtonCaption(RunButton button) {
    return captions_[index(button)];
}

void HeadlessHost::setRunButtonCaption(RunButton button, const QString &caption) {
    captions_[index(button)] = caption;
}

}  // namespace rig
