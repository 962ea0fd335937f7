#include "quernel-cmd/messages.h"

#include <cerrno>
#include <cstring>

namespace quernel::cmd {

namespace {

std::string English(const CommandError& error) {
  using Kind = CommandError::Kind;
  switch (error.kind) {
    case Kind::UnknownCommand:
      return "'" + error.detail +
             "' is not recognized as an internal or external command,\noperable program or batch file.";
    case Kind::InvalidSwitch:
      return "Invalid switch - \"" + error.detail + "\".";
    case Kind::ParameterFormat:
      return "Parameter format not correct - \"" + error.detail + "\".";
    case Kind::TooManyParameters:
      return "Too many parameters - " + error.detail;
    case Kind::Syntax:
      return "The syntax of the command is incorrect.";
    case Kind::FileNotFound:
      return "File Not Found";
    case Kind::PathNotFound:
      return "The system cannot find the path specified.";
    case Kind::AccessDenied:
      return "Access is denied.";
    case Kind::DiskFull:
      return "There is not enough space on the disk.";
    case Kind::InvalidName:
      return "The filename, directory name, or volume label syntax is incorrect.";
    case Kind::SystemMessage:
      return error.detail;
  }
  return {};
}

std::string Chinese(const CommandError& error) {
  using Kind = CommandError::Kind;
  switch (error.kind) {
    case Kind::UnknownCommand:
      return "'" + error.detail + "' 不是内部或外部命令，也不是可运行的程序\n或批处理文件。";
    case Kind::InvalidSwitch:
      return "无效开关 - \"" + error.detail + "\"。";
    case Kind::ParameterFormat:
      return "参数格式不正确 - \"" + error.detail + "\"。";
    case Kind::TooManyParameters:
      return "参数太多 - " + error.detail;
    case Kind::Syntax:
      return "命令语法不正确。";
    case Kind::FileNotFound:
      return "找不到文件";
    case Kind::PathNotFound:
      return "系统找不到指定的路径。";
    case Kind::AccessDenied:
      return "拒绝访问。";
    case Kind::DiskFull:
      return "磁盘空间不足。";
    case Kind::InvalidName:
      return "文件名、目录名或卷标语法不正确。";
    case Kind::SystemMessage:
      return error.detail;
  }
  return {};
}

}  // namespace

CommandError ErrorFromErrno(int error_number, Charset& charset) {
  using Kind = CommandError::Kind;
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
  return language == Language::Chinese ? Chinese(error) : English(error);
}

}  // namespace quernel::cmd
