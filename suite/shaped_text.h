// A text for the report whose parts that vary from run to run by nature (timings, random
// texts, process ids, machine figures, values of Now) carry the shape every run's value
// keeps. Sections build their lines with the vary:: helpers; the text itself is exactly
// what a plain QString line would be, and a later run can compare its report with a
// stored one: the stable parts byte for byte, each varying part by its shape.
#pragma once

#include <QList>
#include <QString>

namespace suite {

// One varying part of a text.
struct VaryingField {
    qsizetype start = 0;
    qsizetype length = 0;
    QString pattern;  // a regular expression that any run's value of this part matches
    // The value may end in ";", which makes Printf join the next line to this one.
    bool mayEndInSemicolon = false;
};

// The frame's shared line formats, so a host that keeps sections can tell them apart.
enum class LineRole { Plain, Banner, Timing, Error };

class ShapedText {
  public:
    ShapedText() = default;
    // A text that is the same in every run.
    ShapedText(QString text) : text_(std::move(text)) {}  // NOLINT: implicit on purpose

    // A text that varies by nature; every run's value matches `pattern`.
    static ShapedText varying(QString text, QString pattern, bool mayEndInSemicolon = false);

    const QString &text() const { return text_; }
    const QList<VaryingField> &fields() const { return fields_; }

    // Marks a banner (label: its title), a timing line (label: N of "Execution (N)") or an
    // error line.
    ShapedText &as(LineRole role, QString label = {});
    LineRole role() const { return role_; }
    const QString &label() const { return label_; }

    friend ShapedText operator+(ShapedText left, const ShapedText &right);

  private:
    QString text_;
    QList<VaryingField> fields_;
    LineRole role_ = LineRole::Plain;
    QString label_;
};

// The natures of varying values, each with the shape a value of that nature keeps.
namespace vary {

// A time the run measured: a number in general text form ("-" too: the clock restarts at
// midnight).
ShapedText timing(const QString &figure);
// A timing in the sign-or-space form (" 0.5", "-0.5").
ShapedText signedTiming(const QString &figure);
// A process id: an integer.
ShapedText processId(const QString &figure);
// A memory or disk figure of this machine: digits, maybe grouped with ",", maybe a
// fraction.
ShapedText machineFigure(const QString &figure);
// A number that counts or measures outcomes over random texts (general text form).
ShapedText fromRandomTexts(const QString &figure);
// A number of passes a repeat loop made.
ShapedText passCount(const QString &figure);

// The character classes of random texts.
enum class Characters { Letters, Upper, Lower, Digits, Hex, Printable };
// A random text: its length and its class. Printable texts may end in ";".
ShapedText randomText(const QString &text, Characters characters);
// The hexadecimal dump of random bytes other than NUL: two digits per byte, never "00".
ShapedText randomBytesHex(const QString &hex);

// A text derived from the current date and time: its digit runs, letter runs and
// punctuation in the same order, each run of any length (so "5th January" and
// "22nd February" have one shape), signs and the padding spaces before numbers free.
ShapedText fromNow(const QString &text);
// A number in general text form derived from the current date and time.
ShapedText numberFromNow(const QString &figure);
// Hexadecimal digits derived from the current date and time: their count.
ShapedText hexFromNow(const QString &hex);
// The general date text of a date value derived from the current date and time; the time
// may be missing in one run and present in another (exactly midnight shows no time).
ShapedText dateFromNow(double date);

}  // namespace vary

}  // namespace suite
