// File name helpers used before any file is created or opened.
#pragma once

#include <string>

// Path status codes of FileStatus (and operating-system error codes passed to FileStatusText).
enum : int {
  fsExists = 0,
  fsMissing = 2,
  fsInvalidName = 3,
  fsAccessDenied = 5,
  fsNotReady = 21,
  fsInUse = 32,
  fsDevice = 9998,
  fsBadExtension = 9999,
};

// 9998 for a reserved device name (CON, AUX, COM1-4, LPT1-3, PRN, NUL, kept so files stay portable),
// a path under /dev or anything that is neither a regular file nor a folder (a FIFO, socket or
// device, which could block the program); 3 for "*" or "?" in the path; 0 when the file exists; 2 when
// it does not.
int FileStatus(const std::string& path);
// The message of a status code, preceded by path and CR LF when a path is given.
std::string FileStatusText(int code, const std::string& path = {});
// "File does not have a valid extension (.tsj)." after the path.
std::string BadExtensionText(const std::string& path, const std::string& extension);
// A temporary file name: in the system's temporary folder (created there) when `folder` is empty,
// otherwise folder + first 3 characters of prefix + 5 hexadecimal digits + ".tmp".
std::string MakeTempName(const std::string& folder, const std::string& prefix);

std::string ExtractBaseName(const std::string& path);  // without folder and extension
std::string ExtractFileName(const std::string& path);  // without folder
std::string ExtractFileDir(const std::string& path);   // folder without trailing "/"
std::string ExtractFileExt(const std::string& path);   // ".tsj", or empty
std::string ChangeFileExt(const std::string& path, const std::string& extension);
std::string AddSlash(const std::string& folder);
std::string RemoveSlash(const std::string& folder);
bool IsFolder(const std::string& path);
// Whether new files can be made in the folder of `path` (a file is replaced through a new one).
bool FolderWritable(const std::string& path);
// The absolute, normalized form of a path.
std::string ExpandFileName(const std::string& path);
