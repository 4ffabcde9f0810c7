#include "platform/Dialogs.h"
#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>
#include <cstdio>

namespace {
QFileDialog* makeDialog(const Dialogs::FileRequest& request) {
    auto* dialog = new QFileDialog(QApplication::activeWindow(), request.title);
    if (!request.folder.isEmpty())
        dialog->setDirectory(request.folder);
    if (!request.filter.isEmpty())
        dialog->setNameFilter(request.filter);
    if (!request.defaultExtension.isEmpty())
        dialog->setDefaultSuffix(request.defaultExtension);
    // With several filters ("Playlist (*.KVPL);;M3U8 (*.m3u8)") a name typed
    // without an extension takes the chosen filter's.
    if (request.filter.contains(QLatin1String(";;")))
        QObject::connect(dialog, &QFileDialog::filterSelected, dialog, [dialog](const QString& filter) {
            static const QRegularExpression firstExtension(QStringLiteral("\\*\\.([^ ;)]+)"));
            if (const QRegularExpressionMatch match = firstExtension.match(filter); match.hasMatch())
                dialog->setDefaultSuffix(match.captured(1));
        });
    if (!request.fileName.isEmpty() && !request.fileName.contains(QLatin1Char('*')))
        dialog->selectFile(request.fileName);
    return dialog;
}

std::optional<QString> runDialog(QFileDialog* dialog) {
    std::optional<QString> chosen;
    if (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty())
        chosen = dialog->selectedFiles().constFirst();
    delete dialog;
    return chosen;
}
} // namespace

void QtDialogs::endRequested() {
    ending_ = true;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(window); dialog && dialog->isVisible() && dialog->isModal())
            dialog->reject();
}

void QtDialogs::message(const QString& text, const QString& title) {
    if (ending_) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText); // the file names a message holds are shown as written
    box.exec();
}

std::optional<QString> QtDialogs::saveFile(const FileRequest& request) {
    if (ending_)
        return std::nullopt;
    auto* dialog = makeDialog(request);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    return runDialog(dialog);
}

std::optional<QString> QtDialogs::openFile(const FileRequest& request) {
    if (ending_)
        return std::nullopt;
    auto* dialog = makeDialog(request);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    return runDialog(dialog);
}

std::optional<QColor> QtDialogs::chooseColour(const QColor& initial) {
    if (ending_)
        return std::nullopt;
    QColor colour = QColorDialog::getColor(initial, QApplication::activeWindow());
    if (!colour.isValid())
        return std::nullopt;
    return colour;
}
