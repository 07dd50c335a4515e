#include "compare.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

namespace verdict {

namespace {

// Past these sizes the changed middle of two reports is not aligned line by line: it is
// shown as removed and added as a whole, the stored part cut short.
constexpr qsizetype MAX_ALIGNED_CELLS = 4'000'000;
constexpr qsizetype MAX_SHOWN_LINES = 200;
// No line with a varying part comes near this length; a longer stored line is not decoded.
constexpr qsizetype MAX_SHAPED_LINE = 1 << 20;
constexpr qsizetype MAX_SHOWN_CHARACTERS = 400;

// A line of this run, ready to be matched.
struct Template {
    QByteArray utf8;                          // the line itself
    QByteArray lead;                          // its text before the first varying part
    std::optional<QRegularExpression> shape;  // none for a line without varying parts
    bool broken = false;                      // its own values lack their shapes
    bool mayJoinNext = false;
};

// A stored line, or a part of a stored line that held two lines joined by the Printf rule.
struct StoredLine {
    QByteArray bytes;  // a whole line refers to the stored report's bytes
    qsizetype number;  // of the line in the file, from 1
};

bool matches(const Template &t, QByteArrayView line) {
    if (t.broken)
        return false;
    if (!t.shape)
        return line == QByteArrayView(t.utf8);
    if (!line.startsWith(t.lead) || line.size() > MAX_SHAPED_LINE)
        return false;
    return t.shape->match(QString::fromUtf8(line)).hasMatch();
}

// Splits `line` into the lines from `index` on that a run joined into it: each joinable
// line ended in a value whose last ";" the Printf rule took back. Empty when it cannot.
QList<QByteArray> splitJoined(const std::vector<Template> &templates, std::size_t index,
                              QByteArrayView line) {
    const Template &first = templates[index];
    if (!first.mayJoinNext || index + 1 >= templates.size() || !line.startsWith(first.lead))
        return {};
    const Template &second = templates[index + 1];
    // The first line is about as long in every run; a longer head is never tried.
    const qsizetype longest = std::min(line.size(), 2 * first.utf8.size() + 256);
    for (qsizetype at = first.lead.size(); at < longest; ++at) {
        // The second line starts with its own text: only places where it does are tried.
        if (!second.lead.isEmpty()) {
            at = line.indexOf(QByteArrayView(second.lead), at);
            if (at < 0 || at >= longest)
                break;
        }
        QByteArray head = line.first(at).toByteArray() + ';';
        if (!matches(first, head))
            continue;
        const QByteArrayView rest = line.sliced(at);
        if (matches(second, rest))
            return {head, rest.toByteArray()};
        QList<QByteArray> more = splitJoined(templates, index + 1, rest);
        if (!more.isEmpty())
            return QList<QByteArray>{head} + more;
    }
    return {};
}

}  // namespace

QRegularExpression Comparator::compiled(const QString &pattern) {
    auto it = patterns_.find(pattern);
    if (it == patterns_.end()) {
        QRegularExpression expression(QRegularExpression::anchoredPattern(pattern));
        expression.optimize();
        it = patterns_.insert(pattern, expression);
    }
    return *it;
}

Comparison Comparator::compare(const QList<suite::ReportLine> &current, const StoredReport &stored,
                               qsizetype from, qsizetype to) {
    std::vector<Template> templates;
    templates.reserve(static_cast<std::size_t>(current.size()));
    for (const suite::ReportLine &line : current) {
        Template t;
        t.utf8 = line.text.toUtf8();
        t.mayJoinNext = line.mayJoinNext;
        t.broken = line.shapeBroken;
        if (!line.pattern.isEmpty()) {
            t.shape = compiled(line.pattern);
            t.lead = line.text.left(line.stableLead).toUtf8();
            // The run's own values must have their shapes, or the line can match nothing.
            t.broken = t.broken || !t.shape->isValid() || !t.shape->match(line.text).hasMatch();
        }
        templates.push_back(std::move(t));
    }

    Comparison result;
    const auto same = [&](std::size_t t, qsizetype number) {
        result.lines.append({DiffLine::Same, current[static_cast<qsizetype>(t)].text, number,
                             static_cast<qsizetype>(t) + 1, 1, 0});
    };

    // The common start, where joined stored lines are split on the way.
    std::size_t t = 0;
    qsizetype s = from;
    const std::size_t n = templates.size();
    while (t < n && s < to) {
        const QByteArrayView line = stored.line(s);
        if (matches(templates[t], line)) {
            same(t++, ++s);
            continue;
        }
        const QList<QByteArray> parts = splitJoined(templates, t, line);
        if (parts.isEmpty())
            break;
        ++s;
        for (qsizetype k = 0; k < parts.size(); ++k)
            same(t++, s);
    }

    // The common end.
    std::size_t tEnd = n;
    qsizetype sEnd = to;
    while (tEnd > t && sEnd > s && matches(templates[tEnd - 1], stored.line(sEnd - 1))) {
        --tEnd;
        --sEnd;
    }

    // The middle, aligned by the longest common subsequence of lines.
    std::vector<StoredLine> middle;
    const qsizetype rows = static_cast<qsizetype>(tEnd - t);
    const bool aligned = rows * (sEnd - s) <= MAX_ALIGNED_CELLS;
    for (qsizetype k = s; k < sEnd && (aligned || k - s < MAX_SHOWN_LINES); ++k) {
        const QByteArrayView line = stored.line(k);
        QList<QByteArray> parts;
        for (std::size_t u = t; aligned && u < tEnd && parts.isEmpty(); ++u)
            if (templates[u].mayJoinNext && !matches(templates[u], line))
                parts = splitJoined(templates, u, line);
        if (parts.isEmpty())
            parts = {QByteArray::fromRawData(line.data(), line.size())};
        for (QByteArray &part : parts)
            middle.push_back({std::move(part), k + 1});
    }

    const auto removed = [&](const StoredLine &line) {
        // Only what can be shown is decoded: a stored line may be as long as the file.
        QString text =
            QString::fromUtf8(line.bytes.first(std::min(line.bytes.size(), MAX_SHOWN_CHARACTERS)));
        if (line.bytes.size() > MAX_SHOWN_CHARACTERS)
            text += QStringLiteral(" ... (%1 more bytes)")
                        .arg(line.bytes.size() - MAX_SHOWN_CHARACTERS);
        result.lines.append({DiffLine::Removed, text, line.number, 0, 1, 0});
    };
    const auto added = [&](std::size_t u) {
        result.lines.append({DiffLine::Added, current[static_cast<qsizetype>(u)].text, 0,
                             static_cast<qsizetype>(u) + 1, 1, 0});
    };
    if (aligned) {
        const std::size_t m = middle.size();
        const std::size_t r = static_cast<std::size_t>(rows);
        // length[a][b]: the longest common subsequence of templates t+a.. and middle b..
        std::vector<std::uint32_t> length((r + 1) * (m + 1), 0);
        std::vector<std::uint8_t> match(r * m, 0);
        const auto at = [&](std::size_t a, std::size_t b) -> std::uint32_t & {
            return length[a * (m + 1) + b];
        };
        for (std::size_t a = r; a-- > 0;) {
            for (std::size_t b = m; b-- > 0;) {
                match[a * m + b] = matches(templates[t + a], middle[b].bytes) ? 1 : 0;
                at(a, b) =
                    match[a * m + b] ? at(a + 1, b + 1) + 1 : std::max(at(a + 1, b), at(a, b + 1));
            }
        }
        std::size_t a = 0, b = 0;
        while (a < r || b < m) {
            if (a < r && b < m && match[a * m + b] && at(a, b) == at(a + 1, b + 1) + 1) {
                same(t + a++, middle[b++].number);
            } else if (b < m && (a == r || at(a, b + 1) >= at(a + 1, b))) {
                removed(middle[b++]);
            } else {
                added(t + a++);
            }
        }
    } else {
        for (const StoredLine &line : middle)
            removed(line);
        const qsizetype left = (sEnd - s) - static_cast<qsizetype>(middle.size());
        if (left > 0) {
            result.lines.append(
                {DiffLine::Omitted,
                 QStringLiteral("... %1 more lines of the expected report").arg(left),
                 s + static_cast<qsizetype>(middle.size()) + 1, 0, left, 0});
        }
        for (std::size_t u = t; u < tEnd; ++u)
            added(u);
    }
    for (; tEnd < n; ++tEnd)
        same(tEnd, ++sEnd);

    // Sections: this run's line, or for a stored line the run's line that follows it.
    int section = current.isEmpty() ? 0 : current.back().section;
    for (qsizetype k = result.lines.size(); k-- > 0;) {
        DiffLine &line = result.lines[k];
        if (line.currentNumber > 0)
            section = current[line.currentNumber - 1].section;
        line.section = section;
        if (line.kind != DiffLine::Same)
            result.changedLines += line.count;
    }
    return result;
}

namespace {

// "\x1B" or "\uFFFE".
QString escaped(char16_t c) {
    const bool byte = c <= 0xFF;
    return (byte ? QStringLiteral("\\x") : QStringLiteral("\\u")) +
           QString::number(c, 16).toUpper().rightJustified(byte ? 2 : 4, u'0');
}

}  // namespace

QString printable(QStringView text) {
    QString out;
    const qsizetype shown = std::min(text.size(), MAX_SHOWN_CHARACTERS);
    out.reserve(shown + 16);
    for (qsizetype i = 0; i < shown; ++i) {
        const char16_t c = text[i].unicode();
        const bool pairedSurrogate =
            (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ||
            (QChar::isLowSurrogate(c) && i > 0 && text[i - 1].isHighSurrogate());
        if ((c < 0x20 && c != u'\t') || (c >= 0x7F && c <= 0x9F) || c == 0xFFFE || c == 0xFFFF ||
            (QChar::isSurrogate(c) && !pairedSurrogate)) {
            out += escaped(c);
        } else {
            out += QChar(c);
        }
    }
    if (shown < text.size())
        out += QStringLiteral(" ... (%1 more characters)").arg(text.size() - shown);
    return out;
}

QString unifiedDiff(const Comparison &comparison, const QString &storedName,
                    const QString &currentName, const QStringList &sectionNames, int context) {
    const QList<DiffLine> &lines = comparison.lines;
    QString out =
        QStringLiteral("--- ") + storedName + QStringLiteral("\n+++ ") + currentName + u'\n';
    const auto changed = [&](qsizetype i) { return lines[i].kind != DiffLine::Same; };
    qsizetype shownChanges = 0;
    qsizetype previousEnd = 0;
    for (qsizetype first = 0; first < lines.size(); ++first) {
        if (!changed(first))
            continue;
        // One hunk holds every change that follows the last one within twice the context.
        qsizetype last = first;
        for (qsizetype i = first + 1; i < lines.size() && i - last <= 2 * context + 1; ++i)
            if (changed(i))
                last = i;
        const qsizetype begin = std::max(previousEnd, first - context);
        const qsizetype end = std::min(lines.size(), last + 1 + context);

        qsizetype oldStart = 0, oldCount = 0, newStart = 0, newCount = 0;
        for (qsizetype i = begin; i < end; ++i) {
            const DiffLine &line = lines[i];
            if (line.kind != DiffLine::Added) {
                oldStart = oldStart ? oldStart : line.storedNumber;
                oldCount += line.count;
            }
            if (line.kind == DiffLine::Same || line.kind == DiffLine::Added) {
                newStart = newStart ? newStart : line.currentNumber;
                ++newCount;
            }
        }
        // Headed by every section the hunk shows lines of.
        QStringList spanned;
        for (qsizetype i = begin; i < end; ++i) {
            const QString name = sectionNames.value(lines[i].section);
            if (!name.isEmpty() && !spanned.contains(name))
                spanned << name;
        }
        out += QStringLiteral("@@ -%1,%2 +%3,%4 @@ %5\n")
                   .arg(oldStart)
                   .arg(oldCount)
                   .arg(newStart)
                   .arg(newCount)
                   .arg(spanned.join(QStringLiteral("; ")));
        for (qsizetype i = begin; i < end; ++i) {
            const DiffLine &line = lines[i];
            if (changed(i) && ++shownChanges > 2 * MAX_SHOWN_LINES) {
                out += QStringLiteral("... the rest of the differences left out\n");
                return out;
            }
            out += (line.kind == DiffLine::Omitted ? QChar(u'-') : QChar(line.kind)) +
                   printable(line.text) + u'\n';
        }
        previousEnd = end;
        first = end - 1;
    }
    return out;
}

namespace {

// The line with every figure that follows the clock, the zone or the locale made one "#":
// zone names and abbreviations, names of days and months, am and pm (also where a format
// glues them to other letters, as "Tuepm26"), numbers (with their signs, separators, the T
// of a date and an ordinal suffix) and lone ordinal suffixes, each with the blanks before
// it (a day is padded to its width). Two zones hours apart differ in all of them around
// midnight, noon and the turn of a month or year.
QString zoneFree(const QString &line) {
    static const QRegularExpression figure(QStringLiteral(
        R"( *(?:[A-Z][A-Za-z_]+/[A-Za-z_/+-]+)"
        R"(|(?:Mon|Tues|Wednes|Thurs|Fri|Satur|Sun)day)"
        R"(|January|February|March|April|May|June|July|August|September|October|November)"
        R"(|December|Mon|Tue|Wed|Thu|Fri|Sat|Sun|Jan|Feb|Mar|Apr|Jun|Jul|Aug|Sep|Oct|Nov|Dec)"
        R"(|[ap]m|[-+]?[0-9][0-9:.,/T+-]*(?:st|nd|rd|th)?|\b(?:st|nd|rd|th|Z|[A-Z]{2,5})\b))"));
    return QString(line).replace(figure, QStringLiteral("#"));
}

}  // namespace

bool onlyZoneOrDateDiffers(const Comparison &comparison, const QStringList &sectionNames) {
    QList<const DiffLine *> removed, added;
    const auto pairsMatch = [&] {
        if (removed.size() != added.size())
            return false;
        for (qsizetype i = 0; i < removed.size(); ++i)
            if (zoneFree(removed[i]->text) != zoneFree(added[i]->text))
                return false;
        removed.clear();
        added.clear();
        return true;
    };
    bool any = false;
    for (const DiffLine &line : comparison.lines) {
        if (line.kind == DiffLine::Same) {
            if (!pairsMatch())
                return false;
            continue;
        }
        if (line.kind == DiffLine::Omitted ||
            !sectionNames.value(line.section).contains(QStringLiteral("Date")))
            return false;
        (line.kind == DiffLine::Removed ? removed : added).append(&line);
        any = true;
    }
    return any && pairsMatch();
}

}  // namespace verdict
