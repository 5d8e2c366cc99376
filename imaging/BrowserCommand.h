#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QObject;

// The desktop's default web browser as a command, and the command line that opens one
// target with it. The link control falls back to it when the desktop's opener fails.
//
// A command carries its placeholder for the target written "%1": the Exec line of a
// browser's .desktop file has its %u/%U/%f/%F field code turned into "%1", a $BROWSER
// entry its "%s". The target is always handed to the program as one argument of its
// own; no shell ever sees it.
class CBrowserCommand {
public:
    static constexpr int kValueChars = 259;   // longest browser command that is read
    static constexpr int kCommandChars = 520; // buffer of the command line, terminator included

    // A command line ready to run: the text as it would be typed, and the program with
    // its arguments, the target last.
    struct Line {
        QString strLine;
        QString strProgram;
        QStringList args;
    };

    using DesktopIdDone = std::function<void(const QString& strDesktopId)>;
    static constexpr int kAskTimeoutMs = 3000; // longest wait for xdg-settings

    // Asks for the desktop file id of the default web browser ("firefox-esr.desktop")
    // and hands it to fnDone, empty when unknown. Never waits: by default it runs
    // `xdg-settings get default-web-browser` and calls fnDone from the event loop when
    // that ends, or with an empty id after kAskTimeoutMs (the slow asker is killed). Once
    // pContext is destroyed nothing is called. Tests replace it.
    static std::function<void(QObject* pContext, DesktopIdDone fnDone)> s_pfnDefaultBrowser;

    // The browser command for a desktop id: the Exec line of its .desktop file, else the
    // first entry of $BROWSER. False when there is none or it is longer than kValueChars.
    static bool QueryDefault(const QString& strDesktopId, QString& strCommand);

    // The Exec line of the desktop entry with this id (looked up in the applications
    // folders of $XDG_DATA_HOME and $XDG_DATA_DIRS), with "%1" for its target field
    // code; empty when there is no such entry or it has no Exec line.
    static QString DesktopExec(const QString& strDesktopId);

    // Cuts strCommand where its placeholder starts ("%1" in double quotes, at the opening
    // quote; else the bare %1; with neither, the whole command stays), then appends a
    // blank and the target. False with nError set when the line does not fit
    // kCommandChars (LinkResult::OutOfMemory) or names no program (LinkResult::FileNotFound).
    static bool Assemble(const QString& strCommand, const QString& strTarget, Line& line, int& nError);

    // Splits a command into words at blanks outside double quotes; inside quotes a
    // backslash escapes '"', '`', '$' and '\'.
    static QStringList SplitArguments(const QString& strCommand);
};
