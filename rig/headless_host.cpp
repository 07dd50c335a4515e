#include "headless_host.h"

#include "rigerror.h"

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
    captions_[index(RunButton::Once)] = QStringLiteral("&Do it!!");
    captions_[index(RunButton::Ten)] = QStringLiteral("&Do it x 10");
    captions_[index(RunButton::Hundred)] = QStringLiteral("&Do it x 100");
    captions_[index(RunButton::Thousand)] = QStringLiteral("&Do it x 1000");
}

void HeadlessHost::Printf(const QString &text) {
    report_.append(suite::ShapedText(text));
}

void HeadlessHost::messageBox(const QString &prompt, const QString &title, suite::MessageIcon) {
    sink_(QStringLiteral("[message] ") + title + QStringLiteral(": ") + oneLine(prompt));
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
