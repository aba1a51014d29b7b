#pragma once
// The main window's placement between runs: left, top, width and height,
// kept per user under "Morvane"/"Veltra32" in the native settings store
// (on Linux ~/.config/Morvane/Veltra32.conf) as the values "FLeft", "FTop",
// "FWidth" and "FHeight", each a decimal number written as text.

#include <QString>

#include <optional>

namespace veltra {

struct WindowPlacement {
    int left = 0;
    int top = 0;
    int width = 800;
    int height = 600;
    bool operator==(const WindowPlacement &) const = default;
};

class WindowPlacementStore {
public:
    // The user's own store.
    WindowPlacementStore();
    // A store in the given file (INI format); for tools and tests.
    explicit WindowPlacementStore(const QString &fileName);

    // The placement saved at the last exit, or nothing when none was ever
    // stored (none of the four values exists). A value that is missing or
    // not a whole number reads as its default: left 0, top 0, width 800,
    // height 600.
    std::optional<WindowPlacement> read() const;

    // Saves the four values; false when the store could not be written.
    bool write(const WindowPlacement &placement);

private:
    QString m_fileName;  // empty: the user's native store
};

}  // namespace veltra
