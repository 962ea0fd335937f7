// quernel-cmd: the command interpreter Quernel runs on Linux in place of
// cmd.exe. Usage: quernel-cmd /c FILE.bat
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <variant>

#include "batch.hpp"
#include "output.hpp"
#include "scan.hpp"
#include "text.hpp"

namespace {

using quernel::cmd::CommandError;

// The batch file's bytes, or why it cannot be run: cmd does not know a
// name that is missing or a folder, and cannot read one it may not open.
std::variant<std::string, CommandError> read_batch_file(const std::string& path, const std::string& utf8_name,
                                                        quernel::cmd::Charset& charset) {
  const CommandError unknown{CommandError::Kind::unknown_command, utf8_name};
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    return errno == ENOENT || errno == ENOTDIR ? unknown : quernel::cmd::error_from_errno(errno, charset);
  struct stat info {};
  if (fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
    close(fd);
    return unknown;
  }
  std::string bytes;
  char buffer[65536];
  for (;;) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      const int error = errno;
      close(fd);
      return quernel::cmd::error_from_errno(error, charset);
    }
    if (got == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  close(fd);
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace quernel::cmd;
  std::setlocale(LC_ALL, "");
  const LocaleSettings locale = LocaleSettings::from_current_locale();
  Charset charset(locale.charset);
  DescriptorSink out(1, charset, false);
  DescriptorSink err(2, charset, false);

  if (argc != 3 || !iequals_ascii(argv[1], "/c")) {
    err.write("usage: quernel-cmd /c FILE.bat\n");
    return 1;
  }
  const std::string batch_path = charset.to_utf8(argv[2]);
  const auto read =
      read_batch_file(host_path(batch_path, charset), without_control_characters(batch_path), charset);
  if (const auto* error = std::get_if<CommandError>(&read)) {
    err.write(describe(*error, locale.language) + "\n");
    return 1;
  }
  BatchContext context{
      locale, charset, [&charset](std::string_view name) { return lookup_environment(name, charset); },
      out,    err,     batch_path};
  const int exit_code = run_batch(charset.to_utf8(std::get<std::string>(read)), context);
  out.flush();
  if (out.failed()) {  // a listing on standard output that did not all arrive
    err.write(describe(error_from_errno(out.error_number(), charset), locale.language) + "\n");
    err.flush();
    return exit_code != 0 ? exit_code : 1;
  }
  err.flush();
  return exit_code;
}
