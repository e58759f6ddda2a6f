#pragma once

#include <QByteArray>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

// The built programs run as a user or a script runs them, for the tests of
// their command lines.
namespace tq::test {

struct ProgramRun {
    int exitCode = -1;  // -1 when the program crashed or hung
    QString out;
    QString err;
};

// Offscreen: widgets render without a display. None: no window system at
// all, as over ssh or from a script.
enum class Display { Offscreen, None };

inline ProgramRun runProgram(const QString& program, const QStringList& args,
                             const QByteArray& input = {}, Display display = Display::Offscreen) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        env.remove(name);
    }
    if (display == Display::Offscreen) {
        env.insert("QT_QPA_PLATFORM", "offscreen");
    }
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, args);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(120000)) {
        process.kill();
        return {};
    }
    return {.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            .out = QString::fromUtf8(process.readAllStandardOutput()),
            .err = QString::fromUtf8(process.readAllStandardError())};
}

#ifdef TQ4700_EXE
inline ProgramRun runTq4700(const QStringList& args, const QByteArray& input = {},
                            Display display = Display::Offscreen) {
    return runProgram(QStringLiteral(TQ4700_EXE), args, input, display);
}
#endif

// The first capture of pattern in a line of text; empty when none matches.
inline QString captured(const QString& text, const QString& pattern) {
    return QRegularExpression(pattern, QRegularExpression::MultilineOption).match(text).captured(1);
}

inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// One control of a --dump-controls file, by name; empty when it has none.
inline QJsonObject dumpedControl(const QByteArray& json, const QString& name) {
    for (const QJsonValue& v : QJsonDocument::fromJson(json).object()["controls"].toArray()) {
        if (v["name"].toString() == name) {
            return v.toObject();
        }
    }
    return {};
}

}  // namespace tq::test
