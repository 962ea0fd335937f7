#include "quernel-cmd/messages.h"

#include <cerrno>
#include <cstring>
#include <string_view>

namespace quernel::cmd {

namespace {

using Kind = CommandError::Kind;

// cmd's wording of each error, English and Chinese; "{}" stands for the
// error's detail.
constexpr struct {
  Kind kind;
  std::string_view english, chinese;
} kWordings[] = {
    {Kind::UnknownCommand,
     "'{}' is not recognized as an internal or external command,\noperable program or batch file.",
     "'{}' 不是内部或外部命令，也不是可运行的程序\n或批处理文件。"},
    {Kind::InvalidSwitch, "Invalid switch - \"{}\".", "无效开关 - \"{}\"。"},
    {Kind::ParameterFormat, "Parameter format not correct - \"{}\".", "参数格式不正确 - \"{}\"。"},
    {Kind::TooManyParameters, "Too many parameters - {}", "参数太多 - {}"},
    {Kind::Syntax, "The syntax of the command is incorrect.", "命令语法不正确。"},
    {Kind::FileNotFound, "File Not Found", "找不到文件"},
    {Kind::PathNotFound, "The system cannot find the path specified.", "系统找不到指定的路径。"},
    {Kind::AccessDenied, "Access is denied.", "拒绝访问。"},
    {Kind::DiskFull, "There is not enough space on the disk.", "磁盘空间不足。"},
    {Kind::InvalidName, "The filename, directory name, or volume label syntax is incorrect.",
     "文件名、目录名或卷标语法不正确。"},
    {Kind::SystemMessage, "{}", "{}"},
};

}  // namespace

CommandError ErrorFromErrno(int error_number, Charset& charset) {
  switch (error_number) {
    case EACCES:
    case EPERM:
    case EISDIR:  // a folder where a file is to be written, as cmd says it
      return {Kind::AccessDenied, {}};
    case ENOSPC:
    case EDQUOT:
      return {Kind::DiskFull, {}};
    case ENAMETOOLONG:  // Windows refuses a name over 255 characters as bad syntax
      return {Kind::InvalidName, {}};
    case ENOENT:
    case ENOTDIR:
      return {Kind::PathNotFound, {}};
    default:
      return {Kind::SystemMessage, charset.ToUtf8(std::strerror(error_number))};
  }
}

std::string Describe(const CommandError& error, Language language) {
  for (const auto& wording : kWordings) {
    if (wording.kind != error.kind) continue;
    std::string text(language == Language::Chinese ? wording.chinese : wording.english);
    if (const std::size_t at = text.find("{}"); at != std::string::npos) text.replace(at, 2, error.detail);
    return text;
  }
  return {};
}

}  // namespace quernel::cmd
