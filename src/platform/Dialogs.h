#pragma once
#include <QColor>
#include <QString>
#include <optional>

// File dialogs, the colour chooser and message boxes. The real ones are Qt's
// modal dialogs; tests script the answers and read the messages.
class Dialogs {
public:
    struct FileRequest {
        QString title;
        QString folder;   // initial folder; empty keeps the dialog's last one
        QString fileName; // initial file name
        QString filter;   // e.g. "*.KVPL"
        QString defaultExtension;
    };
    virtual ~Dialogs() = default;
    // A message box with one OK button.
    virtual void message(const QString& text, const QString& title) = 0;
    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<QString> saveFile(const FileRequest& request) = 0;
    virtual std::optional<QString> openFile(const FileRequest& request) = 0;
    virtual std::optional<QColor> chooseColour(const QColor& initial) = 0;
};

class QtDialogs : public Dialogs {
public:
    void message(const QString& text, const QString& title) override;
    std::optional<QString> saveFile(const FileRequest& request) override;
    std::optional<QString> openFile(const FileRequest& request) override;
    std::optional<QColor> chooseColour(const QColor& initial) override;
    // The program was asked to end (logout, `kill`): the boxes open now close as if cancelled, and from now
    // on nothing waits for the user: messages go to the standard error output, dialogs answer "cancelled".
    void endRequested();

private:
    bool ending_ = false;
};
