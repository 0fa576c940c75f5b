// The gauge host's calls to Windows for files, folders, its command line, text encodings
// and the console it writes to, in one place: inside the host every text is UTF-8; at Windows' boundary it
// becomes UTF-16, so that any name a designer gives works whatever the code page.
// Windows only.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/gauge_host/common/diagnostic.h"

namespace gauge_host {

std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

// The console shows a program's bytes in its output code page, and the host writes UTF-8:
// when the host writes to a console, that page becomes UTF-8 until the host exits, and is
// then put back as it was.
void WriteUtf8ToAConsole();

// The arguments after the program's name, as typed.
std::vector<std::string> CommandLineArguments();

// The folder the host's program is in.
std::string ExecutableDirectory();

// The path as typed from the current folder: relative when it lies inside that folder
// (with "..\\" and "." resolved), else whole.
std::string FromCurrentFolder(const std::string& path);

// Why a path cannot be read as a file ("no such file", "is a directory"), or nothing.
std::optional<Diagnostic> FileProblem(const std::string& path);

bool IsFolder(const std::string& path);

// The file's bytes, appended to contents; or why there are none.
std::optional<Diagnostic> ReadWholeFile(const std::string& path, std::string& contents);

// The SHA-256 of the file's bytes, in lowercase hexadecimal, as Windows' cryptography
// computes it; or why there is none.
std::optional<Diagnostic> FileSha256(const std::string& path, std::string& digest);

// The file version of a program or library's version record, "1.0.0.0"; "" when it has none.
std::string FileVersion(const std::string& path);

// The files of a folder whose names end in the extension (".scn"), in name order, each
// joined to the folder as it was written.
std::vector<std::string> FilesInFolder(const std::string& folder, std::string_view extension);

// The names of a folder's files and folders, in the order Windows lists them; nothing when
// the path is no folder.
std::optional<std::vector<std::string>> FolderEntries(const std::string& folder);

}  // namespace gauge_host
