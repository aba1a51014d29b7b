#pragma once
// TWorkFm: the small "Working, please wait..." notice shown while the user
// waits for the loader (last page) or for maintenance.

#include <QWidget>

class QLabel;

namespace veltra {

class TWorkFm : public QWidget {
    Q_OBJECT
public:
    explicit TWorkFm(QWidget *parent = nullptr);
    // Hourglass, the text, window shown.
    void showWorking(const QString &text = QStringLiteral("Working, please wait..."));
    // Window hidden, normal cursor, events let run.
    void hideWorking();
    QString text() const;

private:
    QLabel *label_;
    bool cursorSet_ = false;
};

} // namespace veltra
