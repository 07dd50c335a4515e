// The IP and CIDR section: its exact lines against the library (numbers checked with
// Python's ipaddress), and a library that lacks the IPv4 functions.
#include "section_rig.h"
#include "sections.h"

namespace {

using namespace section_rig;

class IpCidr : public SectionTest {};

TEST_F(IpCidr, ReportLines) {
    suite::IpAndCidr(run);
    const QStringList expected{
        banner("IP and CIDR Match Tests "),
        QStringLiteral("IPToLong(255.255.255.254)=[4294967294] (FFFFFFFE)"),
        QStringLiteral("IPToLong(192.168.2.101)=[3232236133] (C0A80265)"),
        QStringLiteral("IPToLong(19.2.16.35)=[318902307] (13021023)"),
        QStringLiteral("IPToLong(1.1.1.1)=[16843009] (01010101)"),
        QStringLiteral("IPToLong(192.)=[3221225472] (C0000000) (Partial ranges are ok)"),
        QStringLiteral("LongToIP(IPToLong(192.168.2.101))=[192.168.2.101]"),
        QStringLiteral("LongToHex(IPToLong(255.255.255.255))=FFFFFFFF"),
        QStringLiteral("MatchCIDR(192.168.0.0/8, 192.168.2.1)=True"),
        QStringLiteral("MatchCIDR(192.168.0.0/16, 192.168.2.1)=True"),
        QStringLiteral("MatchCIDR(192.168.13.66/16, 192.168.2.1)=True"),
        QStringLiteral("MatchCIDR(192.168.0.0/24, 192.168.2.1)=False (error test)"),
        QStringLiteral("MatchCIDR(192.168.0.0/24, 192.168.0.1)=True"),
        QStringLiteral("MatchCIDR(192.168.0.0/32, 192.168.2.1)=False (error test)"),
        QStringLiteral("MatchCIDR(192., 192.168.2.1)=True (error test)"),
        QStringLiteral("MatchCIDR(NULL, 192.168.2.1)=False (error test)"),
        QStringLiteral("Test IP wildcard matching routine..."),
        QStringLiteral("IPMatch(200.3.*.*, 192.2.8.1)=False"),
        QStringLiteral("IPMatch(192.*.*.*, 192.2.8.1)=True"),
        QStringLiteral("IPMatch(192.??.*.*, 192.2.8.1)=False"),
        QStringLiteral("IPMatch(192.??.*.*, 192.33.8.1)=True"),
        QStringLiteral("IPMatch(192.???.??.?, 192.33.8.1)=False"),
        QStringLiteral("IPMatch(192.??.?.?, 192.33.8.1)=True"),
        QStringLiteral("IPMatch(192., 192.2.8.1)=True"),
        QStringLiteral("IPMatch(*.*.*.*, 192.2.8.1)=True"),
        QStringLiteral("IPMatch(*, 192.2.8.1)=True"),
        timingLines("7")[0],
        QString(),
        QString(),
    };
    EXPECT_EQ(reportLines(), expected);
    EXPECT_EQ(run.errorCount(), 0);
}

TEST_F(IpCidr, MissingLibraryLosesEveryRowButNotTheSection) {
    qorbind::Library::instance().setPath(QStringLiteral("/nonexistent/libqorlib145.so"));
    suite::IpAndCidr(run);
    // Seven conversion rows, eight CIDR rows, nine wildcard rows.
    EXPECT_EQ(run.errorCount(), 7 + 8 + 9);
    QStringList lines = reportLines();
    lines.removeIf([](const QString &l) { return l.startsWith(QStringLiteral("Error 53 ")); });
    const QStringList expected{banner("IP and CIDR Match Tests "),
                               QStringLiteral("Test IP wildcard matching routine..."),
                               timingLines("7")[0], QString(), QString()};
    EXPECT_EQ(lines, expected);
}

}  // namespace
