#include "platform/qt/qt_command_line.h"

#include <QtCore/QCommandLineParser>
#include <QtCore/QCoreApplication>
#include <algorithm>

#include "design/product.h"
#include "design/program_texts.h"
#include "platform/qt/qt_text.h"

namespace quernel::qt {

void DescribeCommandLine(QCommandLineParser& parser) {
  parser.setApplicationDescription(ToQString(Text(texts::kCommandLineDescription)));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument(ToQString(Text(texts::kFolderArgument)),
                               ToQString(Text(texts::kFolderArgumentHelp)),
                               ToQString(Text(texts::kFolderArgumentSyntax)));
}

void AnswerHelpAndVersion(int& argc, char** argv) {
  // Only an option needs an answer; a start with a folder or none goes on.
  if (std::none_of(argv + 1, argv + argc, [](const char* argument) { return argument[0] == '-'; })) return;
  QCoreApplication terminal(argc, argv);
  QCoreApplication::setApplicationName(ToQString(Text(product::kName)));
  QCoreApplication::setApplicationVersion(ToQString(Text(product::kVersion)));
  QCommandLineParser parser;
  DescribeCommandLine(parser);
  parser.process(terminal);
}

StartUp StartUpFrom(const QCommandLineParser& parser, const QString& currentFolder) {
  StartUp startUp{{}, ToText(currentFolder)};
  for (const QString& argument : parser.positionalArguments()) startUp.arguments.push_back(ToText(argument));
  return startUp;
}

}  // namespace quernel::qt
