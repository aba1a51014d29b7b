#include "app/openflow.h"

#include <QFileInfo>

namespace veltra {

std::optional<QString> AddToFileFilter(const QString &fileFilter, const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.isEmpty())
        return std::nullopt;
    const QString e = QStringLiteral("*.") + suffix.toUpper();
    if (fileFilter.toUpper().contains(e))
        return std::nullopt;
    return e + QLatin1Char('|') + e.toLower() + QLatin1Char('|') + fileFilter;
}

QStringList DialogFiltersFromFileFilter(const QString &fileFilter)
{
    QStringList out;
    const QStringList parts = fileFilter.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString &p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString t = p.trimmed();
            if (t == QLatin1String("*.*")) {
                patterns << QStringLiteral("*");
                continue;
            }
            for (const QString &v : {t, t.toUpper(), t.toLower()})
                if (!v.isEmpty() && !patterns.contains(v))
                    patterns << v;
        }
        if (patterns.isEmpty())
            continue;
        const QString description = parts[i].trimmed().isEmpty() ? parts[i + 1] : parts[i].trimmed();
        out << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    if (out.isEmpty())
        out << QStringLiteral("All files (*)");
    return out;
}

} // namespace veltra
