#pragma once
// The value rules of the settings: the number parser, the directory
// normaliser, the green bar effect words and finding settings files.

#include "app/settings.h"

#include <QChar>
#include <QString>

namespace veltra {

class MessageSink;

// Text to real, the way the margin keys are read:
//  - empty text, or text of nothing but control characters and blanks:
//    failure, target unchanged;
//  - trailing characters below code 33 and blanks around are dropped;
//  - the first decimalSeparator becomes '.' (dropped when it is the last
//    character);
//  - sign, digits, point and exponent are converted; on success the target
//    gets the value, otherwise the 1-based position of the first character
//    that could not be converted, and the result is false.
bool ParseSettingsNumber(const QString &text, double &target, QChar decimalSeparator);

// The two message texts of a directory key.
struct DirectoryMessages {
    QString couldNotCreate;   // "Could not create ReportDir Directory\r\n"
    QString setToProgramDir;  // "ReportDir Directory set to program directory."
};
DirectoryMessages DirectoryMessagesFor(const QString &name);  // "ReportDir", "RptIndDir", ...

// A value that begins with one backslash (not two) gets the drive letter and
// ':' in front; without a drive letter (Linux, network paths) it is kept.
QString CompleteDirectoryValue(const QString &value, const QString &driveLetter);

// The directory to use for a directory value. The value is completed (see
// above); a relative path is taken below the program directory. When create
// is set, a missing directory is created with its parents; when it cannot be
// (or the value is empty) one error box names the value and the program
// directory is used instead. Without create the completed value is used as
// it is. The result keeps the value's case and gets no separator added.
QString NormaliseDirectory(const QString &value, const DirectoryMessages &texts, const QString &programDir,
                           const QString &driveLetter, MessageSink &messages, bool create = true);

// Sets GreenBarEffect and BandColour for an effect word: "LIGHTGRAY",
// "MONEYGREEN" or "LIGHTBLUE" (any case), anything else "NONE" (no band
// colour: the panes keep the system window colour).
void SetGreenBarEffect(Settings &settings, const QString &word);

// The file named name in dir, found ignoring case as the host system of the
// settings files did ("Veltra32.ini" is "VELTRA32.INI"); dir + name when
// there is none. dir ends with '/' or is joined with one.
QString FindFileIgnoringCase(const QString &dir, const QString &name);

}  // namespace veltra
