#pragma once

#include <QtCore/QString>
#include <QtCore/QStringList>

#include "platform/start_up.h"

class QCommandLineParser;

// quernel's command line: --help, --version and the folder to start with;
// after "--" every argument is a folder. It is Quernel's alone: Qt's own
// options (-reverse, -style, -display...) are neither taken nor advertised.
namespace quernel::qt {

void DescribeCommandLine(QCommandLineParser& parser);

// The program's arguments, its name first.
QStringList ArgumentsOf(int argc, char** argv);

// Answers --help, --version and a wrong option, and ends the program, before
// the window system is reached: they work in a terminal without a display.
void AnswerHelpAndVersion(int argc, char** argv);

// The folder arguments of a parsed command line, as given, and the folder the
// program was started in.
StartUp StartUpFrom(const QCommandLineParser& parser, const QString& currentFolder);

}  // namespace quernel::qt
