#pragma once
// The command line:
//
//   veltra [REPORT | INI=MASTER:REPORT | DIRECTORY/ | "NO FILE ON CL"]
//          [HEADER-LINES] [CALLER-WINDOW] [U] [L|P] [PRINT-FONT-SIZE|X] [VIEW-FONT-SIZE|X]
//
// A report named here becomes an open request; an archive (".zip", ".vta")
// must hold one report (and perhaps its page index).

#include "document/archiveaccess.h"
#include "document/reportdocument.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace veltra {

class MessageSink;

struct CommandLine {
    // Argument 1.
    QString masterIniPath;            // from "INI=master:report"; empty when not given
    std::optional<OpenRequest> open;  // a report to open after start-up
    QString archivePassword;          // typed for an archive on the command line
    std::optional<QString> reportDir; // a directory argument (or the program directory)
    // Arguments 2 to 7.
    int headerLineCount = -1;
    qint64 callerWindow = 0;
    std::optional<QString> headerFormat;   // "U"
    std::optional<QString> landPort;       // "L" or "P"
    std::optional<int> prntFontSize;
    std::optional<int> viewFontSize;       // at least 5
};

// The master settings path named by argument 1 ("INI=master:report"), or
// empty. Read before the settings are loaded.
QString MasterIniFromArguments(const QStringList &args);

// Examines the arguments (without the program name), reports what is wrong
// through messages, and returns what start-up must do. archives may be null
// when no archive library is available.
CommandLine ProcessCommandLine(const QStringList &args, const QString &programDir,
                               MessageSink &messages, ArchiveAccess *archives);

} // namespace veltra
