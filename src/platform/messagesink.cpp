#include "platform/messagesink.h"

namespace veltra {

void MessageSink::errorAbort(const QString &text, const QString &title)
{
    show({MessageKind::ErrorAbort, title, text, {}});
}

void MessageSink::errorOk(const QString &text, const QString &title)
{
    show({MessageKind::ErrorOk, title, text, {}});
}

void MessageSink::information(const QString &title, const QString &text)
{
    show({MessageKind::Information, title, text, {}});
}

void MessageSink::warning(const QString &text, const QString &title)
{
    show({MessageKind::Warning, title, text, {}});
}

bool MessageSink::confirm(const QString &title, const QString &text)
{
    return show({MessageKind::Confirm, title, text, {}});
}

std::optional<QString> MessageSink::input(const QString &title, const QString &prompt,
                                          const QString &proposed)
{
    QString answer = proposed;
    if (!show({MessageKind::Input, title, prompt, proposed}, &answer))
        return std::nullopt;
    return answer;
}

std::optional<QString> MessageSink::password(const QString &title, const QString &prompt)
{
    QString answer;
    if (!show({MessageKind::Password, title, prompt, {}}, &answer))
        return std::nullopt;
    return answer;
}

bool ScriptedMessageSink::show(const Message &message, QString *answer)
{
    std::lock_guard lock(mutex_);
    messages_.push_back(message);
    const bool asks = message.kind == MessageKind::Confirm || message.kind == MessageKind::Input
        || message.kind == MessageKind::Password;
    if (!asks)
        return true;
    if (answers_.empty())
        return message.kind == MessageKind::Confirm;
    Answer a = answers_.front();
    answers_.pop_front();
    if (answer && a.accept)
        *answer = a.text;
    return a.accept;
}

void ScriptedMessageSink::pushAnswer(bool accept, const QString &text)
{
    std::lock_guard lock(mutex_);
    answers_.push_back({accept, text});
}

std::vector<Message> ScriptedMessageSink::messages() const
{
    std::lock_guard lock(mutex_);
    return messages_;
}

QStringList ScriptedMessageSink::texts() const
{
    std::lock_guard lock(mutex_);
    QStringList out;
    for (const Message &m : messages_)
        out << m.text;
    return out;
}

int ScriptedMessageSink::count() const
{
    std::lock_guard lock(mutex_);
    return int(messages_.size());
}

void ScriptedMessageSink::clear()
{
    std::lock_guard lock(mutex_);
    messages_.clear();
    answers_.clear();
}

} // namespace veltra
