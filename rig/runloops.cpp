#include "runloops.h"

#include <array>

#include "clock.h"
#include "conversions.h"
#include "statuscaption.h"

namespace rig {

namespace {

// The buttons a loop disables and later enables again, in that order.
std::array<RunButton, 3> othersOf(RunButton active) {
    switch (active) {
        case RunButton::Once:
            return {RunButton::Ten, RunButton::Hundred, RunButton::Thousand};
        case RunButton::Ten:
            return {RunButton::Once, RunButton::Hundred, RunButton::Thousand};
        case RunButton::Hundred:
            return {RunButton::Once, RunButton::Ten, RunButton::Thousand};
        case RunButton::Thousand:
            break;
    }
    return {RunButton::Once, RunButton::Ten, RunButton::Hundred};
}

}  // namespace

RunController::RunController(suite::Host &host, RunButtons &buttons, Pass pass)
    : host_(host), buttons_(buttons), pass_(std::move(pass)) {}

int RunController::passesOf(RunButton button) {
    switch (button) {
        case RunButton::Once:
            return 1;
        case RunButton::Ten:
            return 10;
        case RunButton::Hundred:
            return 100;
        case RunButton::Thousand:
            break;
    }
    return 1000;
}

void RunController::runPass() {
    const int errors = pass_(host_);
    errorLines_ += errors;
}

void RunController::CheckedButtons::setRunButtonEnabled(RunButton button, bool enabled) {
    runs_.verdict_[static_cast<int>(button)] = enabled;
    if (!runs_.busy())
        runs_.buttons_.setRunButtonEnabled(button, enabled);
}

QString RunController::CheckedButtons::runButtonCaption(RunButton button) {
    return runs_.buttons_.runButtonCaption(button);
}

void RunController::CheckedButtons::setRunButtonCaption(RunButton button, const QString &caption) {
    runs_.buttons_.setRunButtonCaption(button, caption);
}

void RunController::restoreButtons(RunButton active) {
    // A run nested in another (a press delivered by its event pump) leaves the buttons to
    // the outer one.
    if (busy())
        return;
    for (RunButton button : othersOf(active))
        skipOnError([&] {
            buttons_.setRunButtonEnabled(button, verdict_[static_cast<int>(button)].value_or(true));
        });
    if (verdict_[static_cast<int>(active)] == false)
        skipOnError([&] { buttons_.setRunButtonEnabled(active, false); });
}

void RunController::onceClicked() {
    for (RunButton button : othersOf(RunButton::Once))
        skipOnError([&] { buttons_.setRunButtonEnabled(button, false); });
    ++depth_;
    QString saved;
    skipOnError([&] { saved = buttons_.runButtonCaption(RunButton::Once); });
    skipOnError([&] { buttons_.setRunButtonCaption(RunButton::Once, TESTING_CAPTION); });
    skipOnError([&] { runPass(); });
    skipOnError([&] { buttons_.setRunButtonCaption(RunButton::Once, saved); });
    --depth_;
    restoreButtons(RunButton::Once);
}

void RunController::repeatClicked(RunButton active) {
    runRepeated(active, passesOf(active));
}

void RunController::runRepeated(RunButton active, int count) {
    if (running_) {
        stop_ = true;
        return;
    }
    for (RunButton button : othersOf(active))
        skipOnError([&] { buttons_.setRunButtonEnabled(button, false); });
    ++depth_;
    QString saved;
    skipOnError([&] { saved = buttons_.runButtonCaption(active); });
    skipOnError([&] { buttons_.setRunButtonCaption(active, TESTING_CAPTION); });
    float start = 0;
    skipOnError([&] { start = rt::timer(); });
    running_ = true;
    stop_ = false;

    int completed = count;
    for (int i = 1; i <= count; ++i) {
        skipOnError([&] {
            ShowStatusCaption(host_, QStringLiteral("Loop ") + rt::textOf(i) +
                                         QStringLiteral(" of ") + rt::textOf(count));
        });
        skipOnError([&] { runPass(); });
        if (stop_) {
            completed = i;
            break;
        }
    }

    running_ = false;
    skipOnError([&] {
        const float seconds = rt::timer() - start;
        host_.PrintfShaped(
            QStringLiteral("Finished: ") + suite::vary::passCount(rt::textOf(completed)) +
            QStringLiteral(" loops took ") + suite::vary::timing(rt::textOf(seconds)) +
            QStringLiteral(" seconds\r\n"));
    });
    skipOnError([&] { buttons_.setRunButtonCaption(active, saved); });
    --depth_;
    restoreButtons(active);
}

}  // namespace rig
