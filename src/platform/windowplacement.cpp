#include "platform/windowplacement.h"

#include <QSettings>

#include <memory>

namespace veltra {

namespace {

const QString Left = QStringLiteral("FLeft");
const QString Top = QStringLiteral("FTop");
const QString Width = QStringLiteral("FWidth");
const QString Height = QStringLiteral("FHeight");

std::unique_ptr<QSettings> openStore(const QString &fileName)
{
    if (fileName.isEmpty())
        return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                           QStringLiteral("Morvane"), QStringLiteral("Veltra32"));
    return std::make_unique<QSettings>(fileName, QSettings::IniFormat);
}

int numberOr(const QSettings &store, const QString &name, int fallback)
{
    bool ok = false;
    const int value = store.value(name).toString().trimmed().toInt(&ok);
    return ok ? value : fallback;
}

}  // namespace

WindowPlacementStore::WindowPlacementStore() = default;

WindowPlacementStore::WindowPlacementStore(const QString &fileName) : m_fileName(fileName) {}

std::optional<WindowPlacement> WindowPlacementStore::read() const
{
    const auto store = openStore(m_fileName);
    if (!store->contains(Left) && !store->contains(Top) && !store->contains(Width) && !store->contains(Height))
        return std::nullopt;
    WindowPlacement placement;
    placement.left = numberOr(*store, Left, 0);
    placement.top = numberOr(*store, Top, 0);
    placement.width = numberOr(*store, Width, 800);
    placement.height = numberOr(*store, Height, 600);
    return placement;
}

bool WindowPlacementStore::write(const WindowPlacement &placement)
{
    const auto store = openStore(m_fileName);
    if (!store->isWritable())
        return false;
    store->setValue(Left, QString::number(placement.left));
    store->setValue(Top, QString::number(placement.top));
    store->setValue(Width, QString::number(placement.width));
    store->setValue(Height, QString::number(placement.height));
    store->sync();
    return store->status() == QSettings::NoError;
}

}  // namespace veltra
