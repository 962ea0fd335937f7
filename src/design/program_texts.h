#pragma once

#include <string_view>

#include "design/product.h"

// The program's own texts, byte for byte. Captions of the controls live in
// the design table; list entries in the listing tables.
namespace quernel::texts {

inline constexpr std::string_view kAppTitle = product::kName;
inline constexpr std::string_view kCopyright = product::kCopyright;

// quernel --help (Linux).
inline constexpr std::string_view kCommandLineDescription =
    "把文件夹中的文件列表输出到文本文件，以便打印或保存。";
inline constexpr std::string_view kHelpOptionHelp = "显示本说明。";
inline constexpr std::string_view kFolderArgument = "文件夹";
inline constexpr std::string_view kFolderArgumentHelp =
    "窗口打开时填入“文件夹”框的文件夹；给出文件时取它所在的文件夹。";
inline constexpr std::string_view kFolderArgumentSyntax = "[文件夹...]";

inline constexpr std::string_view kFolderHint = "请指定文件夹路径";
inline constexpr std::string_view kFolderPrompt = "请指定文件夹:";

inline constexpr std::string_view kNotice =
    "文件列表已输出到临时文件中!\r\r请另存为其它文件或复制内容到其它文件!";

inline constexpr std::string_view kBatchFileName = "\\path.bat";
inline constexpr std::string_view kListingFileName = "\\path.txt";
inline constexpr std::string_view kListingFileNameInCommand = "\\Path.txt";
inline constexpr std::string_view kHelpFileName = "\\help.htm";
// What the Windows back-end starts to show the listing and the help page,
// and the viewer's name in messages; and the Linux viewer's name.
inline constexpr std::string_view kViewer = "notepad.exe ";
inline constexpr std::string_view kFileManager = "explorer.exe ";
inline constexpr std::string_view kNotepadName = "记事本";
inline constexpr std::string_view kTextEditorName = "文本编辑器";
// cmd reads DIRCMD as default switches for dir: "/p" would wait for a key in
// a window nobody sees, and other presets change the listing.
inline constexpr std::string_view kDirPresetVariable = "DIRCMD";
// The run's own variables for a folder, pattern or work folder that the
// batch file's code page cannot hold (set by us, so no user's setting counts).
inline constexpr std::string_view kFolderVariable = "QUERNEL_FOLDER";
inline constexpr std::string_view kPatternVariable = "QUERNEL_PATTERN";
inline constexpr std::string_view kWorkFolderVariable = "QUERNEL_WORK_FOLDER";

// Messages of our own, in the notice's tone; each is shown with the error
// icon. "{0}", "{1}" and "{2}" are filled in by FillMessage(); "{2}" is
// always the viewer's name as the platform's users know it.
inline constexpr std::string_view kInputHasForbiddenCharacter =
    "“{0}”中含有双引号或控制字符(如换行、制表符),无法输出文件列表!\r\r请修改{1}后再试。";
// Its inputs: the field's label ("{0}"), and what the user is to change ("{1}").
inline constexpr std::string_view kFolderInput = "文件夹";
inline constexpr std::string_view kFolderInputToChange = "文件夹路径";
inline constexpr std::string_view kPatternInput = "后缀过滤";
inline constexpr std::string_view kBatchFileNotWritten =
    "无法写入批处理文件:\r{0}\r\r{1}\r\r文件列表没有输出。";
inline constexpr std::string_view kBatchFileNotRun = "无法运行批处理文件:\r{0}\r\r{1}\r\r文件列表没有输出。";
inline constexpr std::string_view kListingMissing =
    "文件列表没有生成:\r{0}\r\r请检查文件夹路径和后缀过滤是否正确。";
inline constexpr std::string_view kViewerNotStarted =
    "无法用{2}打开文件列表:\r{0}\r\r{1}\r\r文件列表已保存在上面的文件中。";
inline constexpr std::string_view kHelpNotStarted = "无法打开帮助页:\r{0}\r\r{1}";
inline constexpr std::string_view kListingNotCompleted =
    "文件列表没有完成,未打开{2}!\r\r命令解释器报告:\r{1}\r\r列表文件(可能不完整)留在:\r{0}";
inline constexpr std::string_view kListingFolderMissing =
    "找不到要列出的文件夹:\r{0}\r\r请检查文件夹路径是否正确。文件列表没有输出。";
inline constexpr std::string_view kListingFoundNothing =
    "文件夹中没有与“{1}”相符的文件:\r{0}\r\r请换一个后缀过滤或文件类型后再试。";
inline constexpr std::string_view kListingNotConverted =
    "文件列表无法转换为 UTF-8 文本,未打开{2}!\r\r{1}\r\r列表文件(可能不完整)留在:\r{0}";
// Reasons for kListingNotConverted's "{1}", beside the system's own.
inline constexpr std::string_view kListingCutShort = "列表文件在一个字符的中间中断,不完整。";
inline constexpr std::string_view kListingNotRegular =
    "该位置是一个不是普通文件的项目(链接、管道、设备或文件夹),为安全起见不转换它。";
inline constexpr std::string_view kExitCode = "(退出代码 {0})";
inline constexpr std::string_view kListingDiskFull =
    "文件列表可能不完整:保存列表的磁盘已满,未打开{2}!\r\r列表文件留在:\r{0}\r\r请腾出磁盘空间后再试。";
inline constexpr std::string_view kListingNotRemoved =
    "无法删除上次的文件列表:\r{0}\r\r{1}\r\r为免把旧列表当作新列表打开,输出已取消。"
    "请关闭正在使用该文件的程序后再试。";
inline constexpr std::string_view kBatchFileNotRegular =
    "无法写入批处理文件:\r{0}\r\r该位置已有一个不是普通文件的项目(链接、管道、设备或文件夹),"
    "为安全起见不写入它。\r\r请删除或改名后再试。";
inline constexpr std::string_view kBatchFileNotEncoded =
    "批处理文件的内容无法转换为代码页 {0},文件列表没有输出。";
inline constexpr std::string_view kWorkFolderHasForbiddenCharacter =
    "工作文件夹的路径中含有双引号或控制字符(如换行、制表符),"
    "无法安全地写入和运行批处理文件,输出已取消!\r\r{0}";
inline constexpr std::string_view kWorkFolderNotMade =
    "无法建立工作文件夹:\r{0}\r\r{1}\r\r文件列表没有输出。";
inline constexpr std::string_view kWorkFolderBusy =
    "另一个 Quernel 窗口正在这个文件夹中输出文件列表:\r{0}\r\r请等它完成后再试。";
inline constexpr std::string_view kStopListingQuestion = "文件列表还没有生成完。\r\r要停止生成文件列表吗?";
inline constexpr std::string_view kListingStopped =
    "已停止生成文件列表,未打开{2}。\r\r列表文件(不完整)留在:\r{0}";
inline constexpr std::string_view kWindowNotCreated = "无法创建程序窗口,Quernel 无法启动:\r{0}";

}  // namespace quernel::texts
