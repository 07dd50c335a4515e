#include "shaped_report.h"

#include <QRegularExpression>

#include "report.h"

namespace suite {

void ShapedReport::clear() {
    text_.clear();
    fields_.clear();
    sections_.clear();
}

void ShapedReport::beginSection(const QString &name) {
    if (!sections_.isEmpty() && sections_.back().nanoseconds < 0)
        sections_.back().nanoseconds = sectionClock_.nsecsElapsed();
    sections_.append({text_.size(), name, {}, {}});
    sectionClock_.start();
}

void ShapedReport::ensureSection() {
    if (sections_.isEmpty())
        beginSection();
}

void ShapedReport::append(const ShapedText &shaped) {
    ensureSection();
    SectionMark &section = sections_.back();
    const QString &text = shaped.text();
    switch (shaped.role()) {
        case LineRole::Banner:
            section.titles << shaped.label().trimmed();
            break;
        case LineRole::Error:
            section.errorLines << text;
            break;
        case LineRole::Timing:
        case LineRole::Plain:
            break;
    }

    const qsizetype offset = text_.size();
    const QString piece = printfPiece(text);
    text_ += piece;
    // How much of the text the piece holds: a ";" at the end, and anything from a NUL on,
    // stay out of it.
    const bool joins = text.endsWith(u';');
    const bool cut = piece.size() < (joins ? text.size() - 1 : text.size() + 2);
    const qsizetype length = joins || cut ? piece.size() : text.size();

    for (const VaryingField &field : shaped.fields()) {
        const qsizetype end = field.start + field.length;
        if (field.start > length || (field.start == length && field.length > 0))
            continue;  // cut off with the rest of the text
        const bool joinable = field.mayEndInSemicolon && end == text.size() && !cut;
        const bool taken = joinable && joins;
        fields_.append(
            {offset + field.start, offset + std::min(end, length), field.pattern, joinable, taken});
    }
}

QList<ShapedReport::Section> ShapedReport::sections() const {
    QList<Section> result;
    for (qsizetype i = 0; i < sections_.size(); ++i) {
        const SectionMark &mark = sections_[i];
        Section section;
        if (!mark.titles.isEmpty()) {
            section.name = mark.titles.join(QStringLiteral(" / "));
        } else if (!mark.name.isEmpty()) {
            section.name = mark.name;
        } else {
            const qsizetype end = i + 1 < sections_.size() ? sections_[i + 1].start : text_.size();
            QStringView body = QStringView(text_).mid(mark.start, end - mark.start);
            const qsizetype lineEnd = body.indexOf(u'\n');
            section.name = body.left(lineEnd < 0 ? body.size() : lineEnd).trimmed().toString();
        }
        section.nanoseconds =
            mark.nanoseconds >= 0 ? mark.nanoseconds : sectionClock_.nsecsElapsed();
        section.errorLines = mark.errorLines;
        result.append(section);
    }
    return result;
}

QList<ReportLine> ShapedReport::lines() const {
    QList<ReportLine> lines;
    ReportLine line;
    QString literal;  // not yet escaped into line.pattern
    bool hasField = false;
    qsizetype joinableEnd = -1;  // where in line.text a joinable value ended
    qsizetype lineStart = 0;
    int section = 0;

    const auto sectionAt = [&](qsizetype position) {
        while (section + 1 < sections_.size() && sections_[section + 1].start <= position)
            ++section;
        return section;
    };
    const auto endLine = [&](qsizetype nextStart) {
        while (literal.endsWith(u'\r')) {
            literal.chop(1);
            line.text.chop(1);
        }
        line.pattern += QRegularExpression::escape(literal);
        literal.clear();
        if (!hasField) {
            line.pattern.clear();
            line.stableLead = line.text.size();
        }
        line.mayJoinNext = joinableEnd >= 0 && joinableEnd == line.text.size();
        line.section = sectionAt(lineStart);
        lines.append(std::move(line));
        line = ReportLine{};
        hasField = false;
        joinableEnd = -1;
        lineStart = nextStart;
    };

    qsizetype next = 0;  // the next field
    const qsizetype n = text_.size();
    for (qsizetype pos = 0; pos < n;) {
        if (next < fields_.size() && fields_[next].start == pos) {
            const Field &field = fields_[next++];
            const QStringView value = QStringView(text_).mid(field.start, field.end - field.start);
            if (value.contains(u'\n') || value.contains(u'\r')) {
                // A value that breaks its line has no shape: its characters count as they
                // are, and the line as broken.
                line.shapeBroken = true;
                continue;
            }
            line.pattern += QRegularExpression::escape(literal);
            literal.clear();
            if (!hasField)
                line.stableLead = line.text.size();
            line.text += value;
            line.pattern += QStringLiteral("(?:") + field.pattern + u')';
            hasField = true;
            pos = field.end;
            if (field.semicolonTaken) {
                line.text += u';';
                joinableEnd = line.text.size();
                endLine(pos);
            } else if (field.joinable) {
                joinableEnd = line.text.size();
            }
            continue;
        }
        const QChar c = text_[pos];
        if (c == u'\n' || (c == u'\r' && pos + 1 < n && text_[pos + 1] == u'\n')) {
            pos += c == u'\n' ? 1 : 2;
            endLine(pos);
            continue;
        }
        line.text += c;
        literal += c;
        ++pos;
    }
    if (!line.text.isEmpty() || hasField || line.shapeBroken)
        endLine(n);
    return lines;
}

}  // namespace suite
