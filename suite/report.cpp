#include "report.h"

namespace suite {

QString printfPiece(const QString &text) {
    QString piece =
        text.endsWith(u';') ? text.left(text.size() - 1) : text + QStringLiteral("\r\n");
    const qsizetype nul = piece.indexOf(QChar(u'\0'));
    if (nul >= 0)
        piece.truncate(nul);
    return piece;
}

}  // namespace suite
