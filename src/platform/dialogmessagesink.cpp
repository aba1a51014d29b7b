#include "platform/dialogmessagesink.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QThread>
#include <QWidget>

namespace veltra {

DialogMessageSink::DialogMessageSink(QWidget *parent) : parent_(parent) {}

void DialogMessageSink::setParentWindow(QWidget *parent)
{
    parent_ = parent;
}

bool DialogMessageSink::show(const Message &message, QString *answer)
{
    QObject *home = parent_ ? static_cast<QObject *>(parent_.data()) : qApp;
    if (!home || QThread::currentThread() == home->thread())
        return showHere(message, answer);

    // A worker thread: the box opens on the window's thread and this thread
    // waits for the answer.
    bool result = false;
    QString text = answer ? *answer : QString();
    QMetaObject::invokeMethod(
        home, [&] { result = showHere(message, &text); }, Qt::BlockingQueuedConnection);
    if (answer)
        *answer = text;
    return result;
}

bool DialogMessageSink::showHere(const Message &m, QString *answer)
{
    const QString title = m.title.isEmpty() ? defaultTitle() : m.title;
    QWidget *parent = parent_.data();

    switch (m.kind) {
    case MessageKind::ErrorAbort: {
        QMessageBox box(QMessageBox::Critical, title, m.text, QMessageBox::Abort, parent);
        box.setDefaultButton(QMessageBox::Abort);
        box.setEscapeButton(QMessageBox::Abort);
        box.exec();
        return true;
    }
    case MessageKind::ErrorOk:
        QMessageBox::critical(parent, title, m.text, QMessageBox::Ok);
        return true;
    case MessageKind::Information:
        QMessageBox::information(parent, title, m.text, QMessageBox::Ok);
        return true;
    case MessageKind::Warning:
        QMessageBox::warning(parent, title, m.text, QMessageBox::Ok);
        return true;
    case MessageKind::Confirm:
        return QMessageBox::question(parent, title, m.text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::Yes)
            == QMessageBox::Yes;
    case MessageKind::Input:
    case MessageKind::Password: {
        bool ok = false;
        const QLineEdit::EchoMode echo =
            m.kind == MessageKind::Password ? QLineEdit::Password : QLineEdit::Normal;
        const QString proposed = m.kind == MessageKind::Password ? QString() : m.proposed;
        const QString typed = QInputDialog::getText(parent, title, m.text, echo, proposed, &ok);
        if (ok && answer)
            *answer = typed;
        return ok;
    }
    }
    return false;
}

} // namespace veltra
