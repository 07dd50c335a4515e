#include "statuscaption.h"

#include <cstdint>

#include "conversions.h"
#include "qorbind.h"
#include "run.h"
#include "shell.h"

namespace rig {

void ShowStatusCaption(suite::Host &host, const QString &text) {
    skipOnError(
        [&] { host.setCaption(DESIGN_CAPTION + QStringLiteral(" v") + suite::RIG_VERSION); });
    if (text.isEmpty())
        return;
    std::int32_t pid = 0;
    std::int32_t memory = 0;
    skipOnError([&] { pid = qor::GetPID(); });
    skipOnError([&] { memory = qor::GetProcessMemoryUsed(qor::GetPID()); });
    skipOnError([&] {
        host.setCaption(host.caption() + QStringLiteral(" - ") + text +
                        QStringLiteral(" (process ID:") + rt::textOf(pid) + QStringLiteral(") - ") +
                        rt::textOf(static_cast<double>(memory) / 1024.0) +
                        QStringLiteral(" Kb used"));
    });
}

}  // namespace rig
