#include "progress_line.h"

#include <cstdio>

#include "standard_streams.h"

namespace apps {

namespace {

QString clock(qint64 ms) {
    const qint64 s = (ms + 500) / 1000;
    return s >= 3600 ? QStringLiteral("%1:%2:%3")
                           .arg(s / 3600)
                           .arg(s / 60 % 60, 2, 10, QChar(u'0'))
                           .arg(s % 60, 2, 10, QChar(u'0'))
                     : QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QChar(u'0'));
}

void put(const QByteArray &bytes) {
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stderr);
}

}  // namespace

ProgressLine::ProgressLine(int passes, bool reportToTerminal)
    : passes_(passes), enabled_(passes > 1 && isTerminal(stderr) && !reportToTerminal) {
    clock_.start();
}

void ProgressLine::passDone(int pass, int failures) {
    std::lock_guard lock(mutex_);
    done_ = pass;
    failures_ = failures;
    if (enabled_ && done_ < passes_)
        draw();
}

void ProgressLine::draw() {
    const qint64 elapsed = clock_.elapsed();
    const qint64 left = done_ > 0 ? elapsed * (passes_ - done_) / done_ : 0;
    QString text = QStringLiteral("pass %1 of %2, %3 gone").arg(done_ + 1).arg(passes_).arg(clock(elapsed));
    if (done_ > 0)
        text += QStringLiteral(", about %1 left").arg(clock(left));
    shown_ = (text + QStringLiteral(", %1 failing").arg(failures_)).toUtf8();
    put("\r" + shown_ + "\x1b[K");
    std::fflush(stderr);
}

void ProgressLine::writeLine(const QByteArray &line) {
    std::lock_guard lock(mutex_);
    const bool redraw = !shown_.isEmpty();
    if (redraw)
        put("\r\x1b[K");
    put(line);
    if (redraw)
        draw();
    std::fflush(stderr);
}

void ProgressLine::finish() {
    std::lock_guard lock(mutex_);
    if (!shown_.isEmpty())
        put("\r\x1b[K");
    std::fflush(stderr);
    shown_.clear();
    enabled_ = false;
}

}  // namespace apps
