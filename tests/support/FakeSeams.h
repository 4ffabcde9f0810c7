#pragma once
#include "platform/Dialogs.h"
#include "platform/KeyState.h"
#include "platform/Shell.h"
#include <QStringList>
#include <deque>

class FakeKeyState : public KeyState {
public:
    bool shift = false;
    bool ctrl = false;
    bool shiftHeld() const override { return shift; }
    bool ctrlHeld() const override { return ctrl; }
};

// Records every message and answers file dialogs from a script (an empty
// script answers "cancelled").
class FakeDialogs : public Dialogs {
public:
    struct Message {
        QString text;
        QString title;
    };
    std::vector<Message> messages;
    std::vector<FileRequest> requests;
    std::deque<std::optional<QString>> fileAnswers;
    std::optional<QColor> colourAnswer;

    void message(const QString& text, const QString& title) override { messages.push_back({text, title}); }
    std::optional<QString> saveFile(const FileRequest& request) override { return answer(request); }
    std::optional<QString> openFile(const FileRequest& request) override { return answer(request); }
    std::optional<QColor> chooseColour(const QColor&) override { return colourAnswer; }

private:
    std::optional<QString> answer(const FileRequest& request) {
        requests.push_back(request);
        if (fileAnswers.empty())
            return std::nullopt;
        const std::optional<QString> next = fileAnswers.front();
        fileAnswers.pop_front();
        return next;
    }
};

class FakeShell : public Shell {
public:
    QStringList opened;
    void openFolder(const QString& folder) override { opened << folder; }
};
