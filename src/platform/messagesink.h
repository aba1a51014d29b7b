#pragma once
// The one road for every message box, input box and confirmation.
//
// The program installs a sink that shows real dialogs (DialogMessageSink in
// the UI layer); tests install a ScriptedMessageSink that answers from a
// script and records every text. Core code only ever sees this interface.

#include <QString>
#include <QStringList>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

namespace veltra {

enum class MessageKind {
    ErrorAbort,   // error box with an Abort button (file and archive failures)
    ErrorOk,      // error box with an OK button (wrong input)
    Information,  // titled information box with OK
    Warning,      // warning box with OK
    Confirm,      // question with Yes and No
    Input,        // input box (text, OK, Cancel)
    Password,     // input box whose text is hidden
};

struct Message {
    MessageKind kind = MessageKind::ErrorOk;
    QString title;   // empty: the program's own title ("Veltra")
    QString text;
    QString proposed;  // input boxes: the proposed answer
};

class MessageSink {
public:
    virtual ~MessageSink() = default;

    // Shows the message and returns the answer:
    //  - boxes with one button: the return value is meaningless (true);
    //  - Confirm: true for Yes;
    //  - Input/Password: true for OK, with the typed text in *answer.
    virtual bool show(const Message &message, QString *answer = nullptr) = 0;

    // Conveniences for the common kinds.
    void errorAbort(const QString &text, const QString &title = {});
    void errorOk(const QString &text, const QString &title = {});
    void information(const QString &title, const QString &text);
    void warning(const QString &text, const QString &title = {});
    bool confirm(const QString &title, const QString &text);
    // Returns the typed text, or nothing when the box was cancelled.
    std::optional<QString> input(const QString &title, const QString &prompt,
                                 const QString &proposed = {});
    std::optional<QString> password(const QString &title, const QString &prompt);
};

// A sink for tests and headless runs: answers from a queue, records every
// message. Thread-safe, so a loader thread may report through it directly.
class ScriptedMessageSink : public MessageSink {
public:
    struct Answer {
        bool accept = true;   // Yes / OK
        QString text;         // for input boxes
    };

    bool show(const Message &message, QString *answer = nullptr) override;

    // Queue the answer for the next confirmation or input box. With an empty
    // queue confirmations answer Yes and input boxes are cancelled.
    void pushAnswer(bool accept, const QString &text = {});

    std::vector<Message> messages() const;
    QStringList texts() const;
    int count() const;
    void clear();

private:
    mutable std::mutex mutex_;
    std::vector<Message> messages_;
    std::deque<Answer> answers_;
};

// A sink that drops everything (answers No / cancel). For command-line tools,
// which report errors through their own exit status.
class SilentMessageSink : public MessageSink {
public:
    bool show(const Message &, QString * = nullptr) override { return false; }
};

} // namespace veltra
