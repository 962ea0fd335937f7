#include "messages.hpp"

#include <cerrno>
#include <cstring>

namespace quernel::cmd {

namespace {

std::string english(const CommandError& error) {
  using Kind = CommandError::Kind;
  switch (error.kind) {
    case Kind::unknown_command:
      return "'" + error.detail +
             "' is not recognized as an internal or external command,\noperable program or batch file.";
    case Kind::invalid_switch:
      return "Invalid switch - \"" + error.detail + "\".";
    case Kind::parameter_format:
      return "Parameter format not correct - \"" + error.detail + "\".";
    case Kind::too_many_parameters:
      return "Too many parameters - " + error.detail;
    case Kind::syntax:
      return "The syntax of the command is incorrect.";
    case Kind::file_not_found:
      return "File Not Found";
    case Kind::path_not_found:
      return "The system cannot find the path specified.";
    case Kind::access_denied:
      return "Access is denied.";
    case Kind::disk_full:
      return "There is not enough space on the disk.";
    case Kind::invalid_name:
      return "The filename, directory name, or volume label syntax is incorrect.";
    case Kind::system_message:
      return error.detail;
  }
  return {};
}

std::string chinese(const CommandError& error) {
  using Kind = CommandError::Kind;
  switch (error.kind) {
    case Kind::unknown_command:
      return "'" + error.detail + "' 不是内部或外部命令，也不是可运行的程序\n或批处理文件。";
    case Kind::invalid_switch:
      return "无效开关 - \"" + error.detail + "\"。";
    case Kind::parameter_format:
      return "参数格式不正确 - \"" + error.detail + "\"。";
    case Kind::too_many_parameters:
      return "参数太多 - " + error.detail;
    case Kind::syntax:
      return "命令语法不正确。";
    case Kind::file_not_found:
      return "找不到文件";
    case Kind::path_not_found:
      return "系统找不到指定的路径。";
    case Kind::access_denied:
      return "拒绝访问。";
    case Kind::disk_full:
      return "磁盘空间不足。";
    case Kind::invalid_name:
      return "文件名、目录名或卷标语法不正确。";
    case Kind::system_message:
      return error.detail;
  }
  return {};
}

}  // namespace

CommandError error_from_errno(int error_number, Charset& charset) {
  using Kind = CommandError::Kind;
  switch (error_number) {
    case EACCES:
    case EPERM:
    case EISDIR:  // a folder where a file is to be written, as cmd says it
      return {Kind::access_denied, {}};
    case ENOSPC:
    case EDQUOT:
      return {Kind::disk_full, {}};
    case ENAMETOOLONG:  // Windows refuses a name over 255 characters as bad syntax
      return {Kind::invalid_name, {}};
    case ENOENT:
    case ENOTDIR:
      return {Kind::path_not_found, {}};
    default:
      return {Kind::system_message, charset.to_utf8(std::strerror(error_number))};
  }
}

std::string describe(const CommandError& error, Language language) {
  return language == Language::chinese ? chinese(error) : english(error);
}

}  // namespace quernel::cmd
