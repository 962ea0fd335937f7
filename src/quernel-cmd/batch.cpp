#include "quernel-cmd/batch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <variant>

#include "base/ascii.h"
#include "quernel-cmd/dir_command.h"
#include "quernel-cmd/scan.h"
#include "quernel-cmd/text.h"

extern char** environ;

namespace quernel::cmd {

namespace {

constexpr int error_exit_code = 1;

struct Stop {
  int exit_code;
};
using LineResult = std::variant<int, Stop>;  // an errorlevel, or stop

std::string CurrentDirectory(Charset& charset) {
  std::unique_ptr<char, decltype(&std::free)> cwd(getcwd(nullptr, 0), &std::free);
  return cwd ? charset.ToUtf8(cwd.get()) : std::string("/");
}

Stop Report(const CommandError& error, BatchContext& context) {
  context.err.Write(Describe(error, context.locale.language) + "\n");
  context.err.Flush();
  return Stop{error_exit_code};
}

// "exit [/b] [code]"; a code that is no number counts as 0, as in cmd.
Stop RunExit(const std::vector<Word>& words) {
  std::size_t next = 1;
  if (next < words.size() && EqualIgnoringAsciiCase(words[next].text, "/b")) ++next;
  if (next >= words.size()) return Stop{0};
  return Stop{static_cast<int>(std::strtol(words[next].text.c_str(), nullptr, 10))};
}

LineResult RunDirLine(const CommandLine& command, BatchContext& context) {
  DirOptions options;
  const std::vector<Word> arguments(command.words.begin() + 1, command.words.end());
  if (auto parsed = ParseDirArguments(arguments, options); !parsed) return Report(parsed.error(), context);

  DirContext dir_context{context.locale, context.charset, CurrentDirectory(context.charset)};
  if (!command.redirect) {
    const DirStatus status = RunDir(options, dir_context, context.out, context.err);
    if (status.failed) return Stop{error_exit_code};
    return status.errorlevel;
  }

  const std::string target = HostPath(command.redirect->target, context.charset);
  const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (command.redirect->append ? O_APPEND : O_TRUNC);
  const int fd = context.open(target, flags);
  if (fd < 0) return Report(ErrorFromErrno(errno, context.charset), context);
  DescriptorSink file(fd, context.listing_charset, true);
  const DirStatus status = RunDir(options, dir_context, file, context.err);
  file.Flush();
  if (file.Failed()) return Report(ErrorFromErrno(file.ErrorNumber(), context.charset), context);
  if (status.failed) return Stop{error_exit_code};
  return status.errorlevel;
}

LineResult RunLine(std::string_view line, BatchContext& context) {
  std::string expanded = ExpandPercents(line, context.lookup, context.batch_path);
  std::erase(expanded, '\r');  // as cmd reads a line, once its variables are expanded
  std::string_view rest = expanded;
  rest.remove_prefix(std::min(rest.find_first_not_of(" \t@"), rest.size()));
  const auto parsed = ParseCommandLine(rest);
  if (!parsed) return Report(parsed.error(), context);
  const CommandLine& command = *parsed;
  if (command.words.empty()) return 0;
  const std::string& name = command.words.front().text;
  if (EqualIgnoringAsciiCase(name, "exit")) return RunExit(command.words);
  if (EqualIgnoringAsciiCase(name, "dir")) return RunDirLine(command, context);
  return Report({CommandError::Kind::UnknownCommand, name}, context);
}

}  // namespace

// Never through a link, never blocking on a FIFO, and only into a regular
// file: anything else there is refused as cmd refuses a folder.
int OpenTarget(const std::string& host_path, int flags) {
  const int fd = ::open(host_path.c_str(), flags | O_NOFOLLOW | O_NONBLOCK, 0666);
  if (fd < 0) {
    if (errno == ELOOP || errno == ENXIO) errno = EACCES;  // a link; a FIFO nobody reads
    return -1;
  }
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    errno = EACCES;
    return -1;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

int RunBatch(std::string_view text, BatchContext& context) {
  int errorlevel = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    line = line.substr(0, line.find('\0'));  // no name can hold a NUL: it ends the line
    if (line.find_first_not_of(" \t") == std::string_view::npos) continue;
    const LineResult result = RunLine(line, context);
    if (const auto* stop = std::get_if<Stop>(&result)) return stop->exit_code;
    errorlevel = std::get<int>(result);
  }
  return errorlevel;
}

std::optional<std::string> LookupEnvironment(std::string_view name, Charset& charset) {
  const std::string native_name = charset.FromUtf8(name);
  if (const char* value = std::getenv(native_name.c_str())) return charset.ToUtf8(value);
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string_view variable = *entry;
    const std::size_t equals = variable.find('=');
    if (equals != std::string_view::npos && EqualIgnoringAsciiCase(variable.substr(0, equals), native_name))
      return charset.ToUtf8(variable.substr(equals + 1));
  }
  return std::nullopt;
}

}  // namespace quernel::cmd
