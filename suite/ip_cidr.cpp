// The IPv4 section: address to number and hexadecimal, number back to address, CIDR
// blocks and wildcard patterns. Every row calls the library afresh.
#include "conversions.h"
#include "qorbind.h"
#include "sections.h"

namespace suite {

namespace {

// "IPToLong(a)=[" number "] (" hex ")" + note: the address is converted twice, the second
// result going to LongToHex.
void conversionRow(Run &run, const char *address, const char *note = "") {
    run.step([&] {
        const double number = qor::IPToLong(address);
        const double again = qor::IPToLong(address);
        const QString hex = qor::LongToHex(again);
        run.Printf(QStringLiteral("IPToLong(") + QString::fromLatin1(address) +
                   QStringLiteral(")=[") + rt::textOf(number) + QStringLiteral("] (") + hex + u')' +
                   QString::fromLatin1(note));
    });
}

void conversions(Run &run) {
    conversionRow(run, "255.255.255.254");
    conversionRow(run, "192.168.2.101");
    conversionRow(run, "19.2.16.35");
    conversionRow(run, "1.1.1.1");
    conversionRow(run, "192.", " (Partial ranges are ok)");
    run.step([&] {
        const QString address = qor::LongToIP(qor::IPToLong("192.168.2.101"));
        run.Printf(QStringLiteral("LongToIP(IPToLong(192.168.2.101))=[") + address + u']');
    });
    run.step([&] {
        const QString hex = qor::LongToHex(qor::IPToLong("255.255.255.255"));
        run.Printf(QStringLiteral("LongToHex(IPToLong(255.255.255.255))=") + hex);
    });
}

void cidrRows(Run &run) {
    struct Row {
        const char *label;
        const char *block;
        const char *address;
        const char *note;
    };
    // The last block is an empty text, not a null one, although the label says NULL.
    static constexpr Row rows[] = {
        {"MatchCIDR(192.168.0.0/8, 192.168.2.1)=", "192.168.0.0/8", "192.168.2.1", ""},
        {"MatchCIDR(192.168.0.0/16, 192.168.2.1)=", "192.168.0.0/16", "192.168.2.1", ""},
        {"MatchCIDR(192.168.13.66/16, 192.168.2.1)=", "192.168.13.66/16", "192.168.2.1", ""},
        {"MatchCIDR(192.168.0.0/24, 192.168.2.1)=", "192.168.0.0/24", "192.168.2.1",
         " (error test)"},
        {"MatchCIDR(192.168.0.0/24, 192.168.0.1)=", "192.168.0.0/24", "192.168.0.1", ""},
        {"MatchCIDR(192.168.0.0/32, 192.168.2.1)=", "192.168.0.0/32", "192.168.2.1",
         " (error test)"},
        {"MatchCIDR(192., 192.168.2.1)=", "192.", "192.168.2.1", " (error test)"},
        {"MatchCIDR(NULL, 192.168.2.1)=", "", "192.168.2.1", " (error test)"},
    };
    for (const Row &row : rows) {
        run.step([&] {
            const std::int16_t inside = qor::MatchCIDR(row.block, row.address);
            run.Printf(QString::fromLatin1(row.label) + rt::yesNoText(inside) +
                       QString::fromLatin1(row.note));
        });
    }
}

void wildcardRows(Run &run) {
    run.step([&] { run.Printf(QStringLiteral("Test IP wildcard matching routine...")); });
    struct Row {
        const char *label;
        const char *pattern;
        const char *address;
    };
    static constexpr Row rows[] = {
        {"IPMatch(200.3.*.*, 192.2.8.1)=", "200.3.*.*", "192.2.8.1"},
        {"IPMatch(192.*.*.*, 192.2.8.1)=", "192.*.*.*", "192.2.8.1"},
        {"IPMatch(192.??.*.*, 192.2.8.1)=", "192.??.*.*", "192.2.8.1"},
        {"IPMatch(192.??.*.*, 192.33.8.1)=", "192.??.*.*", "192.33.8.1"},
        {"IPMatch(192.???.??.?, 192.33.8.1)=", "192.???.??.?", "192.33.8.1"},
        {"IPMatch(192.??.?.?, 192.33.8.1)=", "192.??.?.?", "192.33.8.1"},
        {"IPMatch(192., 192.2.8.1)=", "192.", "192.2.8.1"},
        {"IPMatch(*.*.*.*, 192.2.8.1)=", "*.*.*.*", "192.2.8.1"},
        {"IPMatch(*, 192.2.8.1)=", "*", "192.2.8.1"},
    };
    for (const Row &row : rows) {
        run.step([&] {
            const std::int16_t matches = qor::IPMatch(row.pattern, row.address);
            run.Printf(QString::fromLatin1(row.label) + rt::yesNoText(matches));
        });
    }
}

}  // namespace

void IpAndCidr(Run &run) {
    run.step([&] { run.banner(QStringLiteral("IP and CIDR Match Tests ")); });
    conversions(run);
    cidrRows(run);
    wildcardRows(run);
    run.step([&] { run.timing(QStringLiteral("7")); });
}

}  // namespace suite
