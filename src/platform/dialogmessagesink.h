#pragma once
// The message sink of the running program: every message of the core and of
// the windows ends here as a real modal box.
//
//   ErrorAbort   critical box with an Abort button
//   ErrorOk      critical box with an OK button
//   Information  information box with OK
//   Warning      warning box with OK
//   Confirm      question with Yes and No (true = Yes)
//   Input        input box with the proposed text (true = OK)
//   Password     input box whose text is hidden (true = OK)
//
// A message without a title gets the program's title, "Veltra". The boxes
// are parented to the window given (the main window), so they are centred on
// it. Messages from another thread are shown on the thread of the sink's
// window, which waits for the answer.

#include "platform/messagesink.h"

#include <QPointer>

class QWidget;

namespace veltra {

class DialogMessageSink : public MessageSink {
public:
    explicit DialogMessageSink(QWidget *parent = nullptr);

    void setParentWindow(QWidget *parent);

    bool show(const Message &message, QString *answer = nullptr) override;

    static QString defaultTitle() { return QStringLiteral("Veltra"); }

private:
    bool showHere(const Message &message, QString *answer);

    QPointer<QWidget> parent_;
};

} // namespace veltra
