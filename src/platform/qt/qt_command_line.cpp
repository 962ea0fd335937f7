#include "platform/qt/qt_command_line.h"

#include <QtCore/QCommandLineParser>

#include "core/texts.h"
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

StartUp StartUpFrom(const QCommandLineParser& parser, const QString& currentFolder) {
  StartUp startUp{{}, ToText(currentFolder)};
  for (const QString& argument : parser.positionalArguments()) startUp.arguments.push_back(ToText(argument));
  return startUp;
}

}  // namespace quernel::qt
