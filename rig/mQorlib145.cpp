#include "mQorlib145.h"

namespace rig {

QString TrimAtNul(QString &text) {
    const qsizetype index = text.indexOf(QChar(u'\0'));
    // Positions count from 1; one that does not fit 16 bits is treated as not found.
    if (index >= 0 && index + 1 <= 32767)
        text.truncate(index);
    return text;
}

}  // namespace rig
