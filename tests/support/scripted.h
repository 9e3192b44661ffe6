#pragma once
// Shared by the window tests: scripted boxes, files written byte for byte, redirected settings.
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <deque>
#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#endif

#include "project/codepage.h"
#include "settings.h"
#include "ui/dialogs.h"

/// The operator's answers, given in advance; what each box said is kept.
class ScriptedDialogs : public ui::Dialogs {
public:
    std::deque<fault::Answer> errorAnswers;
    /// The answer to a report once the script has run out.
    fault::Answer unscripted = fault::Answer::Ignore;
    /// Each report also goes to stdout as "box:" and the report, for a test that runs the program
    /// as a process of its own.
    bool printReports = false;
    std::deque<bool> yesNoAnswers;
    std::deque<QString> folders;
    std::deque<QString> files;
    QStringList reports;
    QStringList questions;
    QStringList messages;
    int folderPicks = 0;
    int filePicks = 0;

    fault::Answer errorBox(const QString& report) override
    {
        reports.append(report);
        if (printReports) {
#ifdef Q_OS_WIN
            _setmode(_fileno(stdout), _O_BINARY); // the report's own CR LF, not doubled
#endif
            std::printf("box:%s\n", report.toLocal8Bit().constData());
            std::fflush(stdout);
        }
        if (errorAnswers.empty())
            return unscripted;
        const fault::Answer a = errorAnswers.front();
        errorAnswers.pop_front();
        return a;
    }
    bool yesNo(const QString& text, const QString& caption) override
    {
        questions.append(caption + QStringLiteral("|") + text);
        if (yesNoAnswers.empty())
            return false;
        const bool a = yesNoAnswers.front();
        yesNoAnswers.pop_front();
        return a;
    }
    QString pickFolder(const QString&) override
    {
        ++folderPicks;
        if (folders.empty())
            return QString();
        const QString f = folders.front();
        folders.pop_front();
        return f;
    }
    QString pickFile(QWidget*, const QString&) override
    {
        ++filePicks;
        if (files.empty())
            return QString();
        const QString f = files.front();
        files.pop_front();
        return f;
    }
    void message(const QString& text, const QString& caption) override
    {
        messages.append(caption + QStringLiteral("|") + text);
    }
};

/// Installs a script for the life of a test.
struct ScriptScope {
    ScriptedDialogs script;
    ScriptScope() { ui::setDialogs(&script); }
    ~ScriptScope() { ui::setDialogs(nullptr); }
};

/// Writes bytes exactly as given.
inline void writeRaw(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
    f.write(bytes);
}

/// Writes lines in the code page, each ending in CR LF.
inline void writeCodePageLines(const QString& path, const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& l : lines)
        bytes += project::codepage::encode(l) + "\r\n";
    writeRaw(path, bytes);
}

inline QByteArray readRaw(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}
