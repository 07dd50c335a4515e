// The PHP date emulation section: format texts applied to one reading of the clock, fixed
// dates on both sides of the 32-bit Unix-time bounds, and dates passed with no format.
// The labels are printed as written, also where they differ from the format passed.
#include "clock.h"
#include "conversions.h"
#include "qorbind.h"
#include "sections.h"

namespace suite {

namespace {

struct FormatRow {
    const char *label;
    const char *format;
    const char *note;
};

// Formats applied to d, the one reading of the clock.
constexpr FormatRow kFormatsBeforeLetters[] = {
    {"PHPDate(d, jS F Y H:i:s)=", "jS F Y H:i:s", ""},
    {"PHPDate(d,c)=", "c", " ISO Date macro"},
    {"PHPDate(d,C)=", "C", " C/C++ asctime() format (no CRLF)"},
    {"PHPDate(d,r)=", "r", " RFC Date macro"},
    {R"x(PHPDate(d,\I\t \i\s \n\o\w \t\h\e jS \d\a\y.)=)x",
     R"x(\i\t \i\s \n\o\w  \t\h\e jS \d\a\y.)x", " (escaped literals)"},
    {R"x(PHPDate(d,(\T\h\e \t\i\m\e \i\s h:i:s \h\r\s on j-m-Y, \i\t \i\s w Day z ))=)x",
     R"x((\t\h\e \t\i\m\e \i\s h:i:s \h\r\s on j-m-Y, \i\t \i\s w Day z ))x",
     " (Bad formatting example!)"},
};

constexpr FormatRow kLetterFormats[] = {
    {"PHPDate(d,a b c d e f g h i j k l m n o p q r s t u v w x y z)=",
     "a b c d e f g h i j k l m n o p q r s t u v w x y z", ""},
    {"PHPDate(d,A B C D E F G H I J K L M N O P Q R S T U V W X Y Z)=",
     "A B C D E F G H I J K L M N O P Q R S T U V W X Y Z", ""},
};

struct DateRow {
    const char *label;
    double date;
    const char *note;
};

// Dates around the bounds of 32-bit Unix time, each passed as its day count.
constexpr DateRow kEpochBounds[] = {
    {"PHPDate(#1/1/1900 12:01:59 PM#, l jS F Y H:i:s)=", 2.501377314814815, " (Should ERR)"},
    {"PHPDate(#1/1/1968 04:01:02 PM#, l jS F Y H:i:s)=", 24838.66738425926, " (Should ERR)"},
    {"PHPDate(#1/1/1970 00:00:00#, l jS F Y H:i:s)=", 25569.0, " (Should be OK)"},
    {"PHPDate(#1/1/1970 12:01:59 PM#, l jS F Y H:i:s)=", 25569.501377314813, " (Should be OK)"},
    {"PHPDate(#1/1/2036 12:01:59 PM#, l jS F Y H:i:s)=", 49675.50137731482, " (Should be OK)"},
    {"PHPDate(#2/5/2036 12:01:59 PM#, l jS F Y H:i:s)=", 49710.50137731482, " (Should be OK)"},
    {"PHPDate(#3/5/2036 12:01:59 PM#, l jS F Y H:i:s)=", 49739.50137731482, " (Should ERR)"},
    {"PHPDate(#1/1/2037 12:01:59 PM#, l jS F Y H:i:s)=", 50041.50137731482, " (Should ERR)"},
};

// Numbers converted to date values and passed with no format (a null pointer).
constexpr DateRow kDoubleInputs[] = {
    {"PHPDate(25569.0)=", 25569.0, " (Unix Epoch - double input)"},
    {"PHPDate(32000.0)=", 32000.0, " (double input)"},
    {"PHPDate(32000.5)=", 32000.5, " (double input)"},
    {"PHPDate(39619.8489467593)=", 39619.8489467593, " (double input)"},
    {"PHPDate(0.0)=", 0.0, " (double input - should ERR)"},
    {"PHPDate(25569.0000000000)=", 25569.0, " (Unix/C epoch start)"},
};

// d is the clock's reading, so the formatted text varies with it.
void formatLine(Run &run, double d, const FormatRow &row) {
    run.step([&] {
        const QString text = qor::PHPDate(d, row.format);
        run.Printf(QString::fromLatin1(row.label) + vary::fromNow(text) +
                   QString::fromLatin1(row.note));
    });
}

}  // namespace

void PhpDates(Run &run) {
    run.step([&] { run.banner(QStringLiteral("PHP Date Emulation Tests ")); });

    // One reading of the clock serves every format below, so they describe one instant.
    double d = 0;
    run.step([&] { d = rt::now(); });
    for (const FormatRow &row : kFormatsBeforeLetters)
        formatLine(run, d, row);
    run.step([&] {
        run.Printf(
            QStringLiteral("PHPDate Functions from A to Z... (not all letters implemented)"));
    });
    for (const FormatRow &row : kLetterFormats)
        formatLine(run, d, row);

    run.step([&] { run.Printf(QStringLiteral("Test Unix Epoch bounds...")); });
    for (const DateRow &row : kEpochBounds) {
        run.step([&] {
            const QString text = qor::PHPDate(row.date, "l jS F Y H:i:s");
            run.Printf(QString::fromLatin1(row.label) + text + QString::fromLatin1(row.note));
        });
    }

    for (const DateRow &row : kDoubleInputs) {
        run.step([&] {
            const QString text = qor::PHPDate(rt::toDate(row.date), nullptr);
            run.Printf(QString::fromLatin1(row.label) + text + QString::fromLatin1(row.note));
        });
    }

    run.step([&] { run.timing(QStringLiteral("8")); });
}

}  // namespace suite
