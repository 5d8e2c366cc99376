#include "imaging/BrowserCommand.h"

#include "imaging/LinkResult.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>
#include <QTimer>

#include <memory>

namespace {

// Runs xdg-settings without waiting for it; the answer comes from the event loop.
void AskXdgSettings(QObject* pContext, CBrowserCommand::DesktopIdDone fnDone)
{
    auto* process = new QProcess(pContext);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    auto bAnswered = std::make_shared<bool>(false);
    const auto answer = [pContext, bAnswered, fnDone](const QString& strId) {
        if (*bAnswered)
            return;
        *bAnswered = true;
        QMetaObject::invokeMethod(
            pContext, [fnDone, strId] { fnDone(strId); }, Qt::QueuedConnection);
    };
    QTimer::singleShot(CBrowserCommand::kAskTimeoutMs, process, [process, answer] {
        answer({});
        process->kill(); // its end deletes it
    });
    QObject::connect(process, &QProcess::errorOccurred, process, [process, answer](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart) {
            answer({});
            process->deleteLater();
        }
    });
    QObject::connect(process, &QProcess::finished, process,
                     [process, answer](int nExitCode, QProcess::ExitStatus status) {
                         QString strId;
                         if (status == QProcess::NormalExit && nExitCode == 0) {
                             strId = QString::fromLocal8Bit(process->readAllStandardOutput())
                                         .section(QLatin1Char('\n'), 0, 0)
                                         .trimmed();
                         }
                         answer(strId);
                         process->deleteLater();
                     });
    process->start(QStringLiteral("xdg-settings"),
                   {QStringLiteral("get"), QStringLiteral("default-web-browser")});
}

// The escapes of a desktop entry's string values: \s \n \t \r and \\.
QString UnescapeValue(const QString& str)
{
    QString strOut;
    for (qsizetype i = 0; i < str.size(); ++i) {
        const QChar c = str[i];
        if (c != QLatin1Char('\\') || i + 1 >= str.size()) {
            strOut += c;
            continue;
        }
        const QChar n = str[i + 1];
        if (n == QLatin1Char('s'))
            strOut += QLatin1Char(' ');
        else if (n == QLatin1Char('n'))
            strOut += QLatin1Char('\n');
        else if (n == QLatin1Char('t'))
            strOut += QLatin1Char('\t');
        else if (n == QLatin1Char('r'))
            strOut += QLatin1Char('\r');
        else if (n == QLatin1Char('\\'))
            strOut += QLatin1Char('\\');
        else {
            strOut += c; // kept for the quoting rules of Exec
            strOut += n;
        }
        ++i;
    }
    return strOut;
}

// The first file or URL field code becomes the placeholder "%1"; "%%" is a percent sign;
// every other field code (icon, name, location, deprecated ones) is dropped.
QString ExecFieldCodesToPlaceholder(const QString& strExec)
{
    QString strOut;
    bool bPlaced = false;
    for (qsizetype i = 0; i < strExec.size(); ++i) {
        if (strExec[i] != QLatin1Char('%') || i + 1 >= strExec.size()) {
            strOut += strExec[i];
            continue;
        }
        const QChar code = strExec[++i];
        if (code == QLatin1Char('%')) {
            strOut += QLatin1Char('%');
        } else if (QStringLiteral("fFuU").contains(code)) {
            if (!bPlaced)
                strOut += QStringLiteral("%1");
            bPlaced = true;
        }
    }
    return strOut;
}

} // namespace

std::function<void(QObject*, CBrowserCommand::DesktopIdDone)> CBrowserCommand::s_pfnDefaultBrowser =
    AskXdgSettings;

QString CBrowserCommand::DesktopExec(const QString& strDesktopId)
{
    if (strDesktopId.isEmpty() || strDesktopId.contains(QLatin1Char('/')))
        return {};
    const QString strPath = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, strDesktopId);
    if (strPath.isEmpty())
        return {};
    QFile file(strPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QTextStream in(&file);
    bool bInEntry = false;
    while (!in.atEnd()) {
        const QString strLine = in.readLine().trimmed();
        if (strLine.startsWith(QLatin1Char('['))) {
            bInEntry = strLine == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!bInEntry)
            continue;
        const qsizetype nEq = strLine.indexOf(QLatin1Char('='));
        if (nEq > 0 && strLine.left(nEq).trimmed() == QLatin1String("Exec"))
            return ExecFieldCodesToPlaceholder(UnescapeValue(strLine.mid(nEq + 1).trimmed()));
    }
    return {};
}

bool CBrowserCommand::QueryDefault(const QString& strDesktopId, QString& strCommand)
{
    QString strFound = DesktopExec(strDesktopId);
    if (strFound.trimmed().isEmpty()) {
        // $BROWSER may list several commands separated by colons; "%s" marks the target.
        strFound = qEnvironmentVariable("BROWSER").section(QLatin1Char(':'), 0, 0);
        strFound.replace(QLatin1String("%s"), QLatin1String("%1"));
    }
    if (strFound.trimmed().isEmpty() || strFound.size() > kValueChars)
        return false;
    strCommand = strFound;
    return true;
}

bool CBrowserCommand::Assemble(const QString& strCommand, const QString& strTarget, Line& line, int& nError)
{
    QString strCut = strCommand;
    qsizetype nAt = strCommand.indexOf(QLatin1String("\"%1\""));
    if (nAt < 0)
        nAt = strCommand.indexOf(QLatin1String("%1"));
    if (nAt >= 0)
        strCut = strCommand.left(nAt);

    const QString strLine = strCut + QLatin1Char(' ') + strTarget;
    if (strLine.size() >= kCommandChars) {
        nError = LinkResult::OutOfMemory;
        return false;
    }
    QStringList words = SplitArguments(strCut);
    if (words.isEmpty() || words.front().isEmpty()) {
        nError = LinkResult::FileNotFound;
        return false;
    }
    line.strLine = strLine;
    line.strProgram = words.takeFirst();
    line.args = words;
    line.args.append(strTarget);
    return true;
}

QStringList CBrowserCommand::SplitArguments(const QString& strCommand)
{
    QStringList words;
    QString strWord;
    bool bInWord = false;
    bool bQuoted = false;
    for (qsizetype i = 0; i < strCommand.size(); ++i) {
        const QChar c = strCommand[i];
        if (bQuoted) {
            if (c == QLatin1Char('"')) {
                bQuoted = false;
            } else if (c == QLatin1Char('\\') && i + 1 < strCommand.size() &&
                       QStringLiteral("\"`$\\").contains(strCommand[i + 1])) {
                strWord += strCommand[++i];
            } else {
                strWord += c;
            }
        } else if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n')) {
            if (bInWord)
                words.append(strWord);
            strWord.clear();
            bInWord = false;
        } else if (c == QLatin1Char('"')) {
            bQuoted = true;
            bInWord = true;
        } else {
            strWord += c;
            bInWord = true;
        }
    }
    if (bInWord)
        words.append(strWord);
    return words;
}
