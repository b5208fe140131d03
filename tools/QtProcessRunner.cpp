#include "tools/QtProcessRunner.h"

#include <QLoggingCategory>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

namespace velomira {

Q_LOGGING_CATEGORY(lcTools, "velomira.tools")

namespace {

std::string FindProgram(const char* name, bool required)
{
    QString found = QStandardPaths::findExecutable(QString::fromLatin1(name));
    if (found.isEmpty()) {
        found = QStandardPaths::findExecutable(QString::fromLatin1(name),
            { QStringLiteral("/usr/sbin"), QStringLiteral("/sbin"), QStringLiteral("/usr/bin"),
                QStringLiteral("/bin") });
    }
    if (found.isEmpty() && required)
        return name; // left to fail at start, which the command reports
    return found.toStdString();
}

} // namespace

ProgramResult RunProgramStep(const ProgramStep& step)
{
    QStringList arguments;
    for (const std::string& argument : step.arguments)
        arguments << QString::fromStdString(argument);
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(QString::fromStdString(step.program), arguments);
    ProgramResult result;
    if (!process.waitForStarted(-1)) {
        qCWarning(lcTools) << "could not start" << process.program() << process.errorString();
        return result;
    }
    result.started = true;
    process.waitForFinished(-1);
    result.output = process.readAllStandardOutput().toStdString();
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    if (result.exitCode != 0)
        qCWarning(lcTools) << process.program() << arguments << "ended with" << result.exitCode;
    return result;
}

FormatPrograms FindFormatPrograms()
{
    FormatPrograms programs;
    programs.mkfs = FindProgram("mkfs.fat", true);
    programs.mount = FindProgram("mount", true);
    programs.umount = FindProgram("umount", true);
    programs.udisksctl = FindProgram("udisksctl", false);
    programs.pkexec = FindProgram("pkexec", false);
    return programs;
}

} // namespace velomira
