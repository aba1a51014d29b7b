#pragma once
// The running program: the main window with its start-up (FormCreate,
// FormShow), its shut-down (FormClose) and the Open command. Owns the one
// report document, the settings record and the archive access for the run.

#include "app/settings.h"
#include "document/reportdocument.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

namespace veltra {

class ArchiveAccess;
class DialogMessageSink;
class MessageSink;
class TVeltraFm;
class ViewerController;
struct ArchiveContext;

class VeltraApp : public QObject {
    Q_OBJECT
public:
    // args: the command-line arguments without the program name. A
    // "--report-library" switch anywhere among them turns report library mode
    // on and is not counted as a positional argument. messages: null for the
    // real dialogs.
    explicit VeltraApp(const QStringList &args, MessageSink *messages = nullptr);
    ~VeltraApp() override;

    // Creates the window (FormCreate). False when start-up must end (the
    // archive library could not start); the message has been shown.
    bool FormCreate();
    // Shows the window and runs the first-show steps (FormShow).
    void FormShow();

    TVeltraFm &window() { return *fm_; }
    ViewerController &viewer() { return *viewer_; }
    ReportDocument &document() { return doc_; }
    Settings &settings() { return settings_; }
    bool ReportLibraryMode = false;
    QString LastOpenDir;

    // The standard open dialog; tests replace it. Gets the initial folder
    // and the dialog filters, returns the chosen path (empty: cancelled).
    std::function<QString(const QString &dir, const QStringList &filters, int &filterIndex)> chooseFile;

public slots:
    void OpenmuClick();   // ChooseReport
    void FormClose();

private:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void applyCommandLine();
    void applyViewFont();
    void applyPlacement();
    void applyWindowState();
    void startOpen(OpenRequest request);

    QStringList args_;
    QStringList positional_;
    std::unique_ptr<MessageSink> ownSink_;
    MessageSink *messages_;
    Settings settings_;
    ReportDocument doc_;
    std::unique_ptr<ArchiveAccess> archives_;
    ArchiveContext *archiveContext_ = nullptr;
    std::unique_ptr<TVeltraFm> fm_;
    std::unique_ptr<ViewerController> viewer_;
    int filterIndex_ = 0;
    bool closed_ = false;
    QString startupSize_;
};

} // namespace veltra
