// quernel-cmd: the command interpreter Quernel runs on Linux in place of
// cmd.exe. Usage: quernel-cmd [/u] [/d] [/v:off] /c FILE.bat
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <span>

#include "base/result.h"
#include "quernel-cmd/batch.h"
#include "quernel-cmd/invocation.h"
#include "quernel-cmd/output.h"
#include "quernel-cmd/scan.h"
#include "quernel-cmd/text.h"

namespace {

using quernel::cmd::CommandError;

// The batch file's bytes, or why it cannot be run: cmd does not know a
// name that is missing or a folder, and cannot read one it may not open.
quernel::Result<std::string, CommandError> ReadBatchFile(const std::string& path,
                                                         const std::string& utf8_name,
                                                         quernel::cmd::Charset& charset) {
  const auto unknown = quernel::Fail(CommandError{CommandError::Kind::UnknownCommand, utf8_name});
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    return errno == ENOENT || errno == ENOTDIR ? unknown
                                               : quernel::Fail(quernel::cmd::ErrorFromErrno(errno, charset));
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
      return quernel::Fail(quernel::cmd::ErrorFromErrno(error, charset));
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
  const LocaleSettings locale = LocaleSettings::FromCurrentLocale();
  Charset charset(locale.charset);
  DescriptorSink err(2, charset, false);
  const std::span<const char* const> words(argv, static_cast<std::size_t>(argc));
  const auto invocation = ParseInvocation(words.empty() ? words : words.subspan(1));
  if (!invocation) {
    err.Write(kUsage);
    return 1;
  }
  // The batch file, names and messages stay in the locale's set; only the
  // listing follows /u.
  Charset utf8("UTF-8");
  Charset& listing_charset = invocation->unicode ? utf8 : charset;
  DescriptorSink out(1, listing_charset, false);

  const std::string batch_path = charset.ToUtf8(invocation->batch_file);
  const auto read =
      ReadBatchFile(HostPath(batch_path, charset), WithoutControlCharacters(batch_path), charset);
  if (!read) {
    err.Write(Describe(read.error(), locale.language) + "\n");
    return 1;
  }
  BatchContext context{locale,
                       charset,
                       listing_charset,
                       [&charset](std::string_view name) { return LookupEnvironment(name, charset); },
                       out,
                       err,
                       batch_path};
  const int exit_code = RunBatch(charset.ToUtf8(*read), context);
  out.Flush();
  if (out.Failed()) {  // a listing on standard output that did not all arrive
    err.Write(Describe(ErrorFromErrno(out.ErrorNumber(), charset), locale.language) + "\n");
    err.Flush();
    return exit_code != 0 ? exit_code : 1;
  }
  err.Flush();
  return exit_code;
}
