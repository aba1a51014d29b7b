#include "app/workwindow.h"

#include <QApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace veltra {

TWorkFm::TWorkFm(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("WorkFm"));
    setFixedSize(498, 49);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("WorkPanel"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setLineWidth(6);
    layout->addWidget(panel);
    auto *inner = new QVBoxLayout(panel);
    label_ = new QLabel(QStringLiteral("Working, please wait..."), panel);
    label_->setObjectName(QStringLiteral("WorkingLb"));
    label_->setAlignment(Qt::AlignCenter);
    QFont f = label_->font();
    f.setBold(true);
    f.setItalic(true);
    f.setPixelSize(24);
    label_->setFont(f);
    label_->setStyleSheet(QStringLiteral("color: red"));
    inner->addWidget(label_);
}

void TWorkFm::showWorking(const QString &text)
{
    if (!cursorSet_) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        cursorSet_ = true;
    }
    label_->setText(text);
    if (QScreen *s = QGuiApplication::primaryScreen())
        move(s->geometry().center() - rect().center());
    show();
    raise();
}

void TWorkFm::hideWorking()
{
    hide();
    if (cursorSet_) {
        QGuiApplication::restoreOverrideCursor();
        cursorSet_ = false;
    }
    QCoreApplication::processEvents();
}

QString TWorkFm::text() const
{
    return label_->text();
}

} // namespace veltra
