// quernel-cmd: the command interpreter Quernel runs on Linux in place of
// cmd.exe. Usage: quernel-cmd /c FILE.bat
#include <clocale>
#include <fstream>
#include <iterator>
#include <sstream>

#include "batch.hpp"
#include "output.hpp"
#include "text.hpp"

namespace {

std::optional<std::string> read_file(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
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
  const std::string batch_path = argv[2];
  const auto bytes = read_file(resolve_windows_file_name(batch_path));
  if (!bytes) {
    err.write(describe({CommandError::Kind::unknown_command, charset.to_utf8(batch_path)}, locale.language) +
              "\n");
    return 1;
  }
  BatchContext context{
      locale, charset, [&charset](std::string_view name) { return lookup_environment(name, charset); },
      out,    err,     charset.to_utf8(batch_path)};
  const int exit_code = run_batch(charset.to_utf8(*bytes), context);
  out.flush();
  err.flush();
  return exit_code;
}
