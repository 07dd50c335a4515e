// The rig's error model: every failure a step can raise, with its number and description.
#pragma once

#include <QString>
#include <exception>
#include <string>

namespace rt {

class RigError : public std::exception {
  public:
    RigError(int number, QString description)
        : number_(number),
          description_(std::move(description)),
          what_(description_.toStdString()) {}

    int number() const noexcept { return number_; }
    const QString &description() const noexcept { return description_; }
    const char *what() const noexcept override { return what_.c_str(); }

    // The errors the rig raises itself.
    static RigError invalidCall() {
        return {5, QStringLiteral("Invalid procedure call or argument")};
    }
    static RigError outOfMemory() { return {7, QStringLiteral("Out of memory")}; }
    static RigError overflow() { return {6, QStringLiteral("Overflow")}; }
    static RigError subscriptOutOfRange() { return {9, QStringLiteral("Subscript out of range")}; }
    static RigError typeMismatch() { return {13, QStringLiteral("Type mismatch")}; }
    static RigError loadFailed() { return {48, QStringLiteral("Error in loading DLL")}; }
    static RigError fileNotFound(const QString &file) {
        return {53, QStringLiteral("File not found: ") + file};
    }
    static RigError entryPointNotFound(const QString &name, const QString &file) {
        return {453, QStringLiteral("Can't find DLL entry point ") + name + QStringLiteral(" in ") +
                         file};
    }

    // The library, run in its host process, ended that process during a call (a fatal
    // signal, abort(), exit()) or broke the channel; `cause` says how.
    static RigError libraryCrashed(const QString &name, const QString &cause) {
        return {LIBRARY_CRASHED,
                QStringLiteral("The library crashed in ") + name + QStringLiteral(": ") + cause};
    }
    // A call in the host ran past its time limit (`limit`, as "60 seconds").
    static RigError libraryTimedOut(const QString &name, const QString &limit) {
        return {LIBRARY_TIMED_OUT, QStringLiteral("The library did not answer in time: ") + name +
                                       QStringLiteral(" ran past ") + limit};
    }
    static constexpr int LIBRARY_CRASHED = 900;
    static constexpr int LIBRARY_TIMED_OUT = 901;

  private:
    int number_;
    QString description_;
    std::string what_;
};

}  // namespace rt
