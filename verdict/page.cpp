#include "page.h"

#include "units.h"

#include <QHash>
#include <algorithm>
#include <cmath>

namespace verdict {

namespace {

// A plot keeps at most this many points per series: a long run's page stays small.
constexpr qsizetype MAX_PLOT_POINTS = 300;

// Library results may hold anything: control characters become visible escapes (and very
// long lines are cut) before the markup characters are escaped. Attributes are all quoted
// with '"', which is escaped too.
QString esc(QStringView raw) { return printable(raw).toHtmlEscaped(); }

QString growth(qint64 count) {
    return (count > 0 ? QStringLiteral("+") : QString()) + bytes(count);
}

bool isErrorLine(const QString &text) {
    return text.startsWith(QStringLiteral("Error ")) && text.contains(QStringLiteral(" ocurred ("));
}

// ---- the plots -----------------------------------------------------------------------------

struct Point {
    double x, y;
};

struct Series {
    QString name;
    QList<Point> points;
};

// Buckets of consecutive points, each kept as its lowest and highest point in their order,
// so a spike in a long run stays visible.
QList<Point> thinned(const QList<Point> &points) {
    if (points.size() <= MAX_PLOT_POINTS)
        return points;
    const qsizetype buckets = MAX_PLOT_POINTS / 2;
    QList<Point> out;
    out.reserve(MAX_PLOT_POINTS);
    for (qsizetype b = 0; b < buckets; ++b) {
        const qsizetype from = b * points.size() / buckets, to = (b + 1) * points.size() / buckets;
        qsizetype low = from, high = from;
        for (qsizetype i = from; i < to; ++i) {
            if (points[i].y < points[low].y)
                low = i;
            if (points[i].y > points[high].y)
                high = i;
        }
        out.append(points[std::min(low, high)]);
        if (low != high)
            out.append(points[std::max(low, high)]);
    }
    return out;
}

const char *const COLOURS[] = {"#2563eb", "#dc2626", "#16a34a", "#d97706", "#7c3aed",
                               "#0891b2", "#db2777", "#65a30d", "#475569", "#ea580c",
                               "#4f46e5", "#0d9488", "#a21caf", "#92400e", "#9f1239"};
constexpr int COLOUR_COUNT = sizeof COLOURS / sizeof *COLOURS;

// Colour and dashes of series `i`: after the colours run out, they repeat dashed.
QString strokeOf(qsizetype i) {
    QString stroke = QStringLiteral("stroke=\"%1\"").arg(QLatin1String(COLOURS[i % COLOUR_COUNT]));
    if (i >= COLOUR_COUNT)
        stroke += i / COLOUR_COUNT % 2 ? QStringLiteral(" stroke-dasharray=\"6 3\"")
                                       : QStringLiteral(" stroke-dasharray=\"2 2\"");
    return stroke;
}

// A round step near range / 5: 1, 2 or 5 times a power of ten of the largest unit the range
// holds (so a memory axis steps by 10 MiB, not by 10^7 bytes).
double tickStep(double range, double unitStep) {
    double scale = 1;
    while (unitStep > 1 && range >= scale * unitStep)
        scale *= unitStep;
    const double raw = std::max(range / scale / 5, 1e-12);
    const double power = std::pow(10, std::floor(std::log10(raw)));
    const double m = raw / power;
    return scale * power * (m <= 1 ? 1 : m <= 2 ? 2 : m <= 5 ? 5 : 10);
}

struct YAxis {
    const Units &units;
    bool fromZero;  // times start at 0; a memory's level would flatten its changes
};

// Plots are drawn this wide and scale to the page; small ones sit two in a row.
constexpr int PLOT_W = 900, SMALL_PLOT_W = 450, PLOT_H = 260, LEFT = 78, RIGHT = 16, TOP = 10,
              BOTTOM = 34;

QString legend(const QList<Series> &series) {
    QString out = QStringLiteral("<ul class=\"legend\">");
    for (qsizetype i = 0; i < series.size(); ++i)
        out += QStringLiteral(
                   "<li><svg width=\"22\" height=\"8\" aria-hidden=\"true\"><line "
                   "x1=\"0\" y1=\"4\" x2=\"22\" y2=\"4\" stroke-width=\"3\" %1/></svg>%2</li>")
                   .arg(strokeOf(i), esc(series[i].name));
    return out + QStringLiteral("</ul>");
}

// A line plot of `series` over the passes, with a legend below it when there are several.
QString linePlot(const QString &title, const QList<Series> &drawn, const YAxis &axis,
                 int plotW = PLOT_W) {
    // A figure that is no number would stretch the axis without end.
    QList<Series> series = drawn;
    for (Series &s : series)
        s.points.removeIf([](const Point &p) { return !std::isfinite(p.y); });
    double xMax = 1, yMin = INFINITY, yMax = -INFINITY;
    for (const Series &s : series)
        for (const Point &p : s.points) {
            xMax = std::max(xMax, p.x);
            yMin = std::min(yMin, p.y);
            yMax = std::max(yMax, p.y);
        }
    if (yMin > yMax)
        return {};
    if (axis.fromZero)
        yMin = std::min(0.0, yMin);
    const double yStep =
        std::max(1.0, tickStep(std::max(yMax - yMin, std::abs(yMax) * 1e-3), axis.units.step));
    yMin = std::floor(yMin / yStep) * yStep;
    yMax = std::max(yMin + yStep, std::ceil(yMax / yStep) * yStep);
    // A single pass sits in the middle.
    const double xMin = xMax > 1 ? 1 : 0, xSpan = xMax > 1 ? xMax - 1 : 2;
    const double w = plotW - LEFT - RIGHT, h = PLOT_H - TOP - BOTTOM;
    const auto px = [&](double x) { return LEFT + (x - xMin) / xSpan * w; };
    const auto py = [&](double y) { return TOP + h - (y - yMin) / (yMax - yMin) * h; };
    // Every tick in one unit, with the decimals its step needs.
    double scale;
    const int unit = unitIndex(std::max(std::abs(yMin), std::abs(yMax)), axis.units, &scale);
    const int decimals = std::clamp(int(-std::floor(std::log10(yStep / scale) + 1e-9)), 0, 3);
    const QString unitName = QString::fromUtf16(axis.units.names[unit]);

    QString out = QStringLiteral(
                      "<figure><svg class=\"plot\" viewBox=\"0 0 %1 %2\" role=\"img\" "
                      "aria-label=\"%3\">")
                      .arg(plotW)
                      .arg(PLOT_H)
                      .arg(esc(title));
    for (double y = yMin; y <= yMax + yStep / 2; y += yStep)
        out += QStringLiteral(
                   "<line class=\"grid\" x1=\"%1\" x2=\"%2\" y1=\"%3\" y2=\"%3\"/>"
                   "<text class=\"tick\" x=\"%4\" y=\"%5\" text-anchor=\"end\">%6</text>")
                   .arg(LEFT)
                   .arg(plotW - RIGHT)
                   .arg(py(y), 0, 'f', 1)
                   .arg(LEFT - 6)
                   .arg(py(y) + 4, 0, 'f', 1)
                   .arg(QString::number(y / scale, 'f', decimals) + u' ' + unitName);
    const double xStep = std::max(1.0, tickStep(xSpan, 1));
    // Pass 1, then round passes not too close to it.
    for (double x = 1; x <= xMax + 0.5;
         x = std::max(xStep, std::ceil((x + xStep / 2) / xStep) * xStep))
        out += QStringLiteral(
                   "<text class=\"tick\" x=\"%1\" y=\"%2\" text-anchor=\"middle\">%3</text>")
                   .arg(px(x), 0, 'f', 1)
                   .arg(PLOT_H - BOTTOM + 16)
                   .arg(qint64(x));
    out +=
        QStringLiteral("<text class=\"tick\" x=\"%1\" y=\"%2\" text-anchor=\"middle\">pass</text>")
            .arg(LEFT + w / 2)
            .arg(PLOT_H - 2);
    out += QStringLiteral("<line class=\"axis\" x1=\"%1\" x2=\"%1\" y1=\"%2\" y2=\"%3\"/>")
               .arg(LEFT)
               .arg(TOP)
               .arg(TOP + h);
    for (qsizetype i = 0; i < series.size(); ++i) {
        const QList<Point> points = thinned(series[i].points);
        if (points.isEmpty())
            continue;
        QString coordinates;
        for (const Point &p : points)
            coordinates += QStringLiteral("%1,%2 ").arg(px(p.x), 0, 'f', 1).arg(py(p.y), 0, 'f', 1);
        coordinates.chop(1);
        out += QStringLiteral("<g %1><title>%2</title>").arg(strokeOf(i), esc(series[i].name));
        // A single pass has no line to draw: a dot stands for it.
        if (points.size() == 1)
            out += QStringLiteral("<circle cx=\"%1\" cy=\"%2\" r=\"3\" fill=\"%3\"/>")
                       .arg(px(points[0].x), 0, 'f', 1)
                       .arg(py(points[0].y), 0, 'f', 1)
                       .arg(QLatin1String(COLOURS[i % COLOUR_COUNT]));
        else
            out += QStringLiteral("<polyline fill=\"none\" stroke-width=\"1.5\" points=\"%1\"/>")
                       .arg(coordinates);
        out += QStringLiteral("</g>");
    }
    out += QStringLiteral("</svg>");
    if (series.size() > 1)
        out += legend(series);
    return out + QStringLiteral("<figcaption>%1</figcaption></figure>").arg(esc(title));
}

const YAxis TIME_AXIS{TIME, true};

// Total time per export, longest first (`sorted` is in that order), as horizontal bars.
QString barChart(const QList<ExportCost> &sorted) {
    constexpr int ROW = 17, LABEL = 220, VALUE = 80, NAME_CHARS = 24;
    const double longest = sorted.isEmpty() ? 0 : double(sorted.first().totalNs);
    const int height = int(sorted.size()) * ROW + 8;
    QString out = QStringLiteral(
                      "<figure><svg class=\"plot\" viewBox=\"0 0 %1 %2\" role=\"img\" "
                      "aria-label=\"Total time per export\">")
                      .arg(PLOT_W)
                      .arg(height);
    for (qsizetype i = 0; i < sorted.size(); ++i) {
        const ExportCost &cost = sorted[i];
        const double width =
            longest > 0 ? std::max(0.0, cost.totalNs / longest * (PLOT_W - LABEL - VALUE - 10)) : 0;
        const int y = int(i) * ROW + 4;
        const QString name =
            cost.name.size() > NAME_CHARS ? cost.name.left(NAME_CHARS - 1) + u'…' : cost.name;
        const QString total = duration(double(cost.totalNs));
        // One arg() call: a name holding "%1" must not take the place of a later figure.
        out += QStringLiteral(
                   "<g><title>%1: %2</title>"
                   "<text class=\"tick\" x=\"%3\" y=\"%4\" text-anchor=\"end\">%5</text>"
                   "<rect class=\"bar\" x=\"%6\" y=\"%7\" width=\"%8\" height=\"13\"/>"
                   "<text class=\"tick\" x=\"%9\" y=\"%4\">%2</text></g>")
                   .arg(esc(cost.name), total, QString::number(LABEL - 6), QString::number(y + 13),
                        esc(name), QString::number(LABEL), QString::number(y + 2),
                        QString::number(width, 'f', 1), QString::number(LABEL + width + 4, 'f', 1));
    }
    return out + QStringLiteral(
                     "</svg><figcaption>Total time per export over all passes"
                     "</figcaption></figure>");
}

// ---- the run's data ------------------------------------------------------------------------

// A section's case in a pass: at its own place when the names agree there, else by name.
const CaseResult *caseOf(const SuiteResult &suite, qsizetype index, const QString &name) {
    if (index >= 0 && index < suite.cases.size() && suite.cases[index].name == name)
        return &suite.cases[index];
    for (const CaseResult &c : suite.cases)
        if (c.name == name)
            return &c;
    return nullptr;
}

struct SectionRow {
    QString name;
    qsizetype index;  // of its lines in the shown pass, -1 when it has none
};

// The shown pass's sections in order, then sections only the passes name (the loop's end).
QList<SectionRow> sectionRows(const PageInput &in, const QList<SuiteResult> &passes) {
    qsizetype count = in.sectionNames.size();
    for (const DiffLine &line : in.shownLines)
        count = std::max(count, qsizetype(line.section) + 1);
    QList<SectionRow> rows;
    QStringList names;
    for (qsizetype i = 0; i < count; ++i) {
        const QString name = i < in.sectionNames.size() && !in.sectionNames[i].isEmpty()
                                 ? in.sectionNames[i]
                                 : QStringLiteral("Section %1").arg(i + 1);
        rows.append({name, i});
        names << name;
    }
    for (const SuiteResult &suite : passes)
        for (const CaseResult &c : suite.cases)
            if (!names.contains(c.name)) {
                rows.append({c.name, -1});
                names << c.name;
            }
    return rows;
}

// The section times per pass: the verdict's results, else the cost profile's.
QList<SuiteResult> timedPasses(const PageInput &in) {
    if (!in.passes.isEmpty())
        return in.passes;
    QList<SuiteResult> passes;
    for (const PassCost &pass : in.profile.passes) {
        SuiteResult suite{QStringLiteral("pass %1").arg(pass.pass), {}};
        for (const SectionCost &section : pass.sections)
            suite.cases.append({section.name, section.seconds, {}, {}, {}, {}});
        passes.append(suite);
    }
    return passes;
}

// ---- the page's parts ----------------------------------------------------------------------

const char *const STYLE = R"(
:root{--fg:#1f2328;--muted:#59636e;--line:#d1d9e0;--bg2:#f6f8fa}
*{box-sizing:border-box}
body{margin:0;font:15px/1.45 system-ui,"DejaVu Sans","Liberation Sans",sans-serif;
  color:var(--fg);background:#fff}
main{max-width:1180px;margin:0 auto;padding:0 20px 40px}
h2{font-size:1.3em;margin:1.6em 0 .5em;padding-bottom:.2em;border-bottom:1px solid var(--line)}
h3{font-size:1.05em;margin:1.2em 0 .4em}
.banner{padding:18px 20px 14px;margin:0 -20px;overflow-wrap:anywhere}
.banner h1{margin:0 0 4px;font-size:1.9em;letter-spacing:.02em}
.banner .verdict{font-size:1.2em;margin:0 0 6px}
.banner ul{margin:4px 0 8px;padding-left:1.2em}
.banner dl{display:flex;flex-wrap:wrap;gap:4px 24px;margin:6px 0 0}
.banner dt{font-weight:600}.banner dt::after{content:":"}.banner dd{margin:0 0 0 -18px}
.passed{background:#1a7f37;color:#fff}
.errors{background:#f5b301;color:#1f2328}
.failed{background:#c62828;color:#fff}
nav{margin:10px 0;color:var(--muted)}nav a{margin-right:14px}
.scroll{overflow-x:auto;max-width:100%}
table{border-collapse:collapse;font-variant-numeric:tabular-nums}
th,td{padding:3px 10px;border-bottom:1px solid var(--line);text-align:left;vertical-align:top}
th{background:var(--bg2)}
td.n,th.n{text-align:right;white-space:nowrap}
td.msg{overflow-wrap:anywhere;min-width:16em}
details{border:1px solid var(--line);border-radius:6px;margin:6px 0}
summary{padding:6px 10px;cursor:pointer;background:var(--bg2);border-radius:6px;display:flex;
  flex-wrap:wrap;gap:4px 14px;align-items:baseline}
summary::before{content:"\25B8";color:var(--muted)}details[open]>summary::before{content:"\25BE"}
summary::-webkit-details-marker{display:none}
summary .name{font-weight:600;flex:1 1 20em;overflow-wrap:anywhere}
.badge{padding:0 8px;border-radius:10px;font-size:.85em;white-space:nowrap}
.ok{background:#dafbe1;color:#1a7f37}.bad{background:#ffebe9;color:#a40e26}
.time{color:var(--muted);font-variant-numeric:tabular-nums}
pre{margin:0;padding:6px 0;overflow-x:auto;
  font:13px/1.4 ui-monospace,"DejaVu Sans Mono","Liberation Mono",monospace}
pre span{display:block;padding:0 10px;white-space:pre;min-width:max-content}
.a{background:#dafbe1}.r{background:#ffebe9}
.e{background:#fff1c2;border-left:4px solid #d4a000}pre .e{padding-left:6px}
.o{color:var(--muted);font-style:italic}
.key{color:var(--muted);font-size:.9em}
.key span{padding:0 6px;margin-right:8px}
figure{margin:8px 0 18px}
figcaption{color:var(--muted);font-size:.9em}
svg.plot{width:100%;height:auto;display:block;font:12px system-ui,"DejaVu Sans",sans-serif}
.plot .grid{stroke:#e5e7eb}.plot .axis{stroke:#9ca3af}.plot .tick{fill:#4b5563}
.plot .bar{fill:#2563eb}
.legend{list-style:none;padding:0;margin:4px 0;display:flex;flex-wrap:wrap;gap:2px 16px;
  font-size:.9em}
.legend svg{margin-right:5px}
.small{display:grid;grid-template-columns:repeat(auto-fill,minmax(420px,1fr));gap:0 20px}
)";

QString banner(const PageInput &in, int passCount) {
    static const QHash<PageInput::Outcome, QPair<QString, QString>> looks{
        {PageInput::Outcome::Passed, {QStringLiteral("passed"), QStringLiteral("Passed")}},
        {PageInput::Outcome::ErrorLines,
         {QStringLiteral("errors"), QStringLiteral("Error lines")}},
        {PageInput::Outcome::Failed, {QStringLiteral("failed"), QStringLiteral("Failed")}}};
    const auto look = looks.value(in.outcome);
    QString out = QStringLiteral(
                      "<header class=\"banner %1\" id=\"verdict\"><h1>%2</h1>"
                      "<p class=\"verdict\">%3</p>")
                      .arg(look.first, look.second, esc(in.verdict));
    if (!in.notes.isEmpty()) {
        out += QStringLiteral("<ul>");
        for (const QString &note : in.notes)
            out += QStringLiteral("<li>%1</li>").arg(esc(note));
        out += QStringLiteral("</ul>");
    }
    out += QStringLiteral(
               "<dl><dt>Library</dt><dd>%1</dd><dt>Stored report</dt><dd>%2</dd>"
               "<dt>Passes</dt><dd>%3</dd></dl></header>")
               .arg(in.library.isEmpty() ? QStringLiteral("(not named)") : esc(in.library),
                    in.expectedName.isEmpty() ? QStringLiteral("none") : esc(in.expectedName),
                    QString::number(passCount));
    return out;
}

QString findingsPart(const QList<CostFinding> &findings) {
    QString out = QStringLiteral(
        "<section id=\"findings\"><h2>Findings</h2><div class=\"scroll\"><table><thead><tr>"
        "<th>Finding</th><th>Export or section</th><th>Fails section</th><th class=\"n\">Factor"
        "</th><th class=\"n\">p-value</th><th class=\"n\">Growth per pass</th><th>Message</th>"
        "</tr></thead><tbody>");
    const QString none = QStringLiteral("–");
    for (const CostFinding &f : findings) {
        const bool slower = f.kind == CostFinding::Slower;
        out += QStringLiteral(
                   "<tr><td>%1</td><td>%2%3</td><td>%4</td><td class=\"n\">%5</td>"
                   "<td class=\"n\">%6</td><td class=\"n\">%7</td><td class=\"msg\">%8"
                   "</td></tr>")
                   .arg(slower ? QStringLiteral("slower") : QStringLiteral("leaking"),
                        esc(f.subject), f.isSection ? QStringLiteral(" (section)") : QString(),
                        esc(f.section), slower ? QStringLiteral("×") + figure(f.factor) : none,
                        slower ? (f.pValue < 0.001 ? QString::number(f.pValue, 'e', 1)
                                                   : QString::number(f.pValue, 'f', 3))
                               : none,
                        slower ? none : growth(f.bytesPerPass), esc(f.message));
    }
    return out + QStringLiteral("</tbody></table></div></section>");
}

QString lineHtml(const DiffLine &line) {
    if (line.kind == DiffLine::Omitted)
        return QStringLiteral("<span class=\"o\">  … %1 stored line%2 left out%3</span>")
            .arg(line.count)
            .arg(line.count == 1 ? QString() : QStringLiteral("s"))
            .arg(line.text.isEmpty() ? QString() : QStringLiteral(": ") + esc(line.text));
    QString classes = line.kind == DiffLine::Added     ? QStringLiteral("a")
                      : line.kind == DiffLine::Removed ? QStringLiteral("r")
                                                       : QString();
    if (isErrorLine(line.text))
        classes += classes.isEmpty() ? QStringLiteral("e") : QStringLiteral(" e");
    return QStringLiteral("<span%1>%2 %3</span>")
        .arg(classes.isEmpty() ? QString() : QStringLiteral(" class=\"%1\"").arg(classes))
        .arg(QChar(char16_t(line.kind)), esc(line.text));
}

QString sectionsPart(const PageInput &in, const QList<SuiteResult> &passes,
                     const QList<SectionRow> &rows) {
    const SuiteResult *shown = nullptr;
    for (const SuiteResult &suite : passes)
        if (suite.name == in.shownPassName)
            shown = &suite;
    if (!shown && !passes.isEmpty())
        shown = &passes.last();

    QList<QList<const DiffLine *>> linesOf(rows.size());
    for (const DiffLine &line : in.shownLines)
        linesOf[std::max(0, line.section)].append(&line);

    QString out =
        QStringLiteral(
            "<section id=\"sections\"><h2>Sections of %1</h2>"
            "<p class=\"key\"><span class=\"a\">+ this run's line</span>"
            "<span class=\"r\">- the stored report's line</span>"
            "<span class=\"e\">error line</span></p>")
            .arg(in.shownPassName.isEmpty() ? QStringLiteral("the run") : esc(in.shownPassName));
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const SectionRow &row = rows[r];
        int failed = 0;
        qsizetype errors = 0, differences = 0, findings = 0;
        for (const SuiteResult &suite : passes)
            if (const CaseResult *c = caseOf(suite, row.index, row.name)) {
                failed += !c->errorLines.isEmpty() || !c->differences.isEmpty() ||
                          !c->findings.isEmpty();
                errors += c->errorLines.size();
                differences += c->differences.size();
                findings += c->findings.size();
            }
        QString status;
        if (failed > 0) {
            status = QStringLiteral("<span class=\"badge bad\">failed in %1 of %2 passes</span>")
                         .arg(failed)
                         .arg(passes.size());
            if (errors)
                status += QStringLiteral("<span class=\"badge bad\">%1 error line%2</span>")
                              .arg(errors)
                              .arg(errors == 1 ? "" : "s");
            if (differences)
                status += QStringLiteral("<span class=\"badge bad\">%1 difference%2</span>")
                              .arg(differences)
                              .arg(differences == 1 ? "" : "s");
            if (findings)
                status += QStringLiteral("<span class=\"badge bad\">slower or leaking</span>");
        } else if (!passes.isEmpty()) {
            status =
                QStringLiteral("<span class=\"badge ok\">passed in %1</span>")
                    .arg(passes.size() == 1 ? QStringLiteral("its pass")
                                            : QStringLiteral("all %1 passes").arg(passes.size()));
        }
        const CaseResult *time = shown ? caseOf(*shown, row.index, row.name) : nullptr;
        out += QStringLiteral(
                   "<details%1><summary><span class=\"name\">%2</span>"
                   "<span class=\"time\">%3</span>%4</summary>")
                   .arg(failed > 0 ? QStringLiteral(" open") : QString(), esc(row.name),
                        time ? duration(time->seconds * 1e9) : QString(), status);
        if (row.index < 0 || linesOf[row.index].isEmpty()) {
            out += QStringLiteral("<pre><span class=\"o\">  (no lines in this pass)</span></pre>");
        } else {
            out += QStringLiteral("<pre>");
            for (const DiffLine *line : linesOf[row.index])
                out += lineHtml(*line);
            out += QStringLiteral("</pre>");
        }
        out += QStringLiteral("</details>");
    }
    return out + QStringLiteral("</section>");
}

QString timesPart(const QList<SuiteResult> &passes, const QList<SectionRow> &rows) {
    QList<Series> series;
    for (const SectionRow &row : rows) {
        Series s{row.name, {}};
        for (qsizetype p = 0; p < passes.size(); ++p)
            if (const CaseResult *c = caseOf(passes[p], row.index, row.name))
                s.points.append({double(p + 1), c->seconds * 1e9});
        if (!s.points.isEmpty())
            series.append(s);
    }
    QString out = QStringLiteral("<section id=\"times\"><h2>Section times across passes</h2>");
    if (series.isEmpty())
        return out + QStringLiteral("<p>No section was timed.</p></section>");
    return out + linePlot(QStringLiteral("Time of each section per pass"), series, TIME_AXIS) +
           QStringLiteral("</section>");
}

QString costPart(const PageInput &in) {
    QString out = QStringLiteral("<section id=\"cost\"><h2>Cost of every export</h2>");
    const CostProfile &profile = in.profile;
    if (profile.passes.isEmpty())
        return out + QStringLiteral("<p>The cost was not measured in this run.</p></section>");

    QList<ExportCost> run = profile.runExports();
    std::stable_sort(run.begin(), run.end(), [](const ExportCost &a, const ExportCost &b) {
        return a.totalNs > b.totalNs;
    });
    out += QStringLiteral("<p>%1 exports over %2 passes; the library ran %3.</p>")
               .arg(run.size())
               .arg(profile.passes.size())
               .arg(profile.isolated ? QStringLiteral("in a host process of its own")
                                     : QStringLiteral("inside the rig's process"));
    out += QStringLiteral(
        "<div class=\"scroll\"><table><thead><tr><th>Export</th><th class=\"n\">Calls</th>"
        "<th class=\"n\">Total</th><th class=\"n\">Median call</th><th class=\"n\">Longest call"
        "</th><th class=\"n\">Memory growth</th></tr></thead><tbody>");
    for (const ExportCost &cost : run)
        out += QStringLiteral(
                   "<tr><td>%1</td><td class=\"n\">%2</td><td class=\"n\">%3</td>"
                   "<td class=\"n\">%4</td><td class=\"n\">%5</td><td class=\"n\">%6"
                   "</td></tr>")
                   .arg(esc(cost.name), QString::number(cost.calls), duration(double(cost.totalNs)),
                        duration(double(cost.medianNs)), duration(double(cost.maxNs)),
                        growth(cost.memoryGrowth));
    out += QStringLiteral("</tbody></table></div>");
    if (!run.isEmpty())
        out += QStringLiteral("<h3>Total time per export</h3>") + barChart(run);

    Series memory{QStringLiteral("memory"), {}};
    for (qsizetype p = 0; p < profile.passes.size(); ++p)
        if (profile.passes[p].memory >= 0)
            memory.points.append({double(p + 1), double(profile.passes[p].memory)});
    out += QStringLiteral("<h3>Memory of the library's process at each pass's end</h3>");
    if (memory.points.isEmpty())
        out += QStringLiteral("<p>The memory was not measured.</p>");
    else
        out += linePlot(QStringLiteral("Resident memory at the end of each pass"), {memory},
                        YAxis{MEMORY, false});

    QStringList named;
    for (const CostFinding &f : in.findings)
        if (!f.isSection && !named.contains(f.subject))
            named << f.subject;
    if (!named.isEmpty()) {
        out += QStringLiteral(
            "<h3>Time per pass of the exports in the findings</h3>"
            "<div class=\"small\">");
        for (const QString &name : named) {
            Series s{name, {}};
            for (qsizetype p = 0; p < profile.passes.size(); ++p)
                for (const ExportCost &cost : profile.passes[p].exports)
                    if (cost.name == name)
                        s.points.append({double(p + 1), double(cost.totalNs)});
            out += s.points.isEmpty() ? QStringLiteral("<p>%1 was not called.</p>").arg(esc(name))
                                      : linePlot(name + QStringLiteral(": time per pass"), {s},
                                                 TIME_AXIS, SMALL_PLOT_W);
        }
        out += QStringLiteral("</div>");
    }
    return out + QStringLiteral("</section>");
}

}  // namespace

QByteArray htmlPage(const PageInput &in) {
    const QList<SuiteResult> passes = timedPasses(in);
    const QList<SectionRow> rows = sectionRows(in, passes);
    const int passCount = int(in.passes.isEmpty() ? in.profile.passes.size() : in.passes.size());
    const bool anyFindings = !in.findings.isEmpty();

    QString page = QStringLiteral(
                       "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
                       "<meta name=\"viewport\" content=\"width=device-width, "
                       "initial-scale=1\"><title>Testbed run: %1</title><style>%2"
                       "</style></head><body><main>")
                       .arg(esc(in.verdict), QLatin1String(STYLE));
    page += banner(in, passCount);
    page +=
        QStringLiteral(
            "<nav>%1<a href=\"#sections\">Sections</a><a href=\"#times\">Section "
            "times</a><a href=\"#cost\">Cost of the exports</a></nav>")
            .arg(anyFindings ? QStringLiteral("<a href=\"#findings\">Findings</a>") : QString());
    if (anyFindings)
        page += findingsPart(in.findings);
    page += sectionsPart(in, in.passes, rows);
    page += timesPart(passes, rows);
    page += costPart(in);
    page += QStringLiteral("</main></body></html>\n");
    return page.toUtf8();
}

}  // namespace verdict
