#include "platform/qt/qt_command_line.h"

#include <QtCore/QCommandLineParser>
#include <QtCore/QCoreApplication>
#include <algorithm>

#include "design/product.h"
#include "design/program_texts.h"
#include "platform/qt/qt_text.h"

namespace quernel::qt {

// Help is Quernel's own option, so that Qt's --help-all, which lists Qt's
// options, is not offered; "-display" is one unknown option, not seven.
void DescribeCommandLine(QCommandLineParser& parser) {
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser.setApplicationDescription(ToQString(Text(texts::kCommandLineDescription)));
  parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, ToQString(Text(texts::kHelpOptionHelp))});
  parser.addVersionOption();
  parser.addPositionalArgument(ToQString(Text(texts::kFolderArgument)),
                               ToQString(Text(texts::kFolderArgumentHelp)),
                               ToQString(Text(texts::kFolderArgumentSyntax)));
}

QStringList ArgumentsOf(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  return arguments;
}

void AnswerHelpAndVersion(int argc, char** argv) {
  const QStringList arguments = ArgumentsOf(argc, argv);
  // Only an option needs an answer; a start with a folder or none goes on.
  if (std::none_of(arguments.begin() + 1, arguments.end(),
                   [](const QString& a) { return a.startsWith('-'); }))
    return;
  int nameOnly = 1;
  QCoreApplication terminal(nameOnly, argv);
  QCoreApplication::setApplicationName(ToQString(Text(product::kName)));
  QCoreApplication::setApplicationVersion(ToQString(Text(product::kVersion)));
  QCommandLineParser parser;
  DescribeCommandLine(parser);
  parser.process(arguments);  // the version and a wrong option end here
  if (parser.isSet(QStringLiteral("help"))) parser.showHelp();
}

StartUp StartUpFrom(const QCommandLineParser& parser, const QString& currentFolder) {
  StartUp startUp{{}, ToText(currentFolder)};
  for (const QString& argument : parser.positionalArguments()) startUp.arguments.push_back(ToText(argument));
  return startUp;
}

}  // namespace quernel::qt
