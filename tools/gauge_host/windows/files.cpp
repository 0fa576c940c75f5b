#include "tools/gauge_host/windows/files.h"

#include <windows.h>

#include <bcrypt.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "tools/gauge_host/common/text.h"

namespace gauge_host {

std::wstring Wide(std::string_view utf8) {
  const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), size);
  return wide;
}

std::string Utf8(std::wstring_view wide) {
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), size, nullptr, nullptr);
  return utf8;
}

namespace {

UINT console_code_page = 0;  // the console's own, put back at exit

// Run by exit before it flushes the streams: flushed here, while the page is UTF-8.
void RestoreConsoleCodePage() {
  std::fflush(stdout);
  std::fflush(stderr);
  SetConsoleOutputCP(console_code_page);
}

// Calls visit with each entry Windows finds for the pattern (C:\Folder\*.scn).
template <typename Visit>
void ForEachFound(const std::string& pattern, Visit&& visit) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(Wide(pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    return;
  }
  do {
    visit(found);
  } while (FindNextFileW(search, &found) != 0);
  FindClose(search);
}

}  // namespace

void WriteUtf8ToAConsole() {
  DWORD mode = 0;
  const bool console = GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0 ||
                       GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
  console_code_page = console ? GetConsoleOutputCP() : CP_UTF8;
  if (console_code_page != CP_UTF8 && SetConsoleOutputCP(CP_UTF8) != 0) {
    std::atexit(RestoreConsoleCodePage);
  }
}

std::vector<std::string> CommandLineArguments() {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> utf8;
  for (int index = 1; index < count; ++index) {
    utf8.push_back(Utf8(arguments[index]));
  }
  LocalFree(arguments);
  return utf8;
}

std::string ExecutableDirectory() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::string program = Utf8(std::wstring_view(path, length));
  return program.substr(0, program.find_last_of("\\/"));
}

std::string FromCurrentFolder(const std::string& path) {
  wchar_t full[MAX_PATH];
  wchar_t current[MAX_PATH];
  const DWORD full_length = GetFullPathNameW(Wide(path).c_str(), MAX_PATH, full, nullptr);
  const DWORD current_length = GetCurrentDirectoryW(MAX_PATH, current);
  if (full_length == 0 || full_length >= MAX_PATH || current_length == 0 || current_length >= MAX_PATH) {
    return path;
  }
  std::string whole = Utf8(std::wstring_view(full, full_length));
  std::string folder = Utf8(std::wstring_view(current, current_length));
  if (!folder.ends_with('\\')) {
    folder += '\\';
  }
  const bool inside = whole.size() > folder.size() && SameIgnoringCase(whole.substr(0, folder.size()), folder);
  return inside ? whole.substr(folder.size()) : whole;
}

std::optional<Diagnostic> FileProblem(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return std::nullopt;
  }
  return Diagnostic{Shown(path, 4 * kShownCharacters), {}, Severity::kError,
                    attributes == INVALID_FILE_ATTRIBUTES ? "no such file" : "is a directory"};
}

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::optional<Diagnostic> ReadWholeFile(const std::string& path, std::string& contents) {
  if (std::optional<Diagnostic> problem = FileProblem(path)) {
    return problem;
  }
  std::FILE* file = _wfopen(Wide(path).c_str(), L"rb");
  if (file == nullptr) {
    return Diagnostic{Shown(path, 4 * kShownCharacters), {}, Severity::kError, "cannot be read"};
  }
  char buffer[1 << 14];
  for (std::size_t read; (read = std::fread(buffer, 1, sizeof buffer, file)) != 0;) {
    contents.append(buffer, read);
  }
  std::fclose(file);
  return std::nullopt;
}

std::optional<Diagnostic> FileSha256(const std::string& path, std::string& digest) {
  std::string contents;
  if (std::optional<Diagnostic> unreadable = ReadWholeFile(path, contents)) {
    return unreadable;
  }
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  BCRYPT_HASH_HANDLE hash = nullptr;
  unsigned char bytes[32];
  const auto succeeded = [](NTSTATUS status) { return status >= 0; };
  const bool hashed =
      succeeded(BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)) &&
      succeeded(BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0)) &&
      succeeded(BCryptHashData(hash, reinterpret_cast<unsigned char*>(contents.data()),
                               static_cast<ULONG>(contents.size()), 0)) &&
      succeeded(BCryptFinishHash(hash, bytes, sizeof bytes, 0));
  if (hash != nullptr) {
    BCryptDestroyHash(hash);
  }
  if (algorithm != nullptr) {
    BCryptCloseAlgorithmProvider(algorithm, 0);
  }
  if (!hashed) {
    return Diagnostic{Shown(path, 4 * kShownCharacters), {}, Severity::kError, "Windows could not compute its SHA-256"};
  }
  digest.clear();
  for (const unsigned char byte : bytes) {
    char pair[3];
    std::snprintf(pair, sizeof pair, "%02x", byte);
    digest += pair;
  }
  return std::nullopt;
}

std::string FileVersion(const std::string& path) {
  const std::wstring wide = Wide(path);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(wide.c_str(), &ignored);
  std::vector<unsigned char> record(size);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixed_size = 0;
  if (size == 0 || GetFileVersionInfoW(wide.c_str(), 0, size, record.data()) == 0 ||
      VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixed_size) == 0 ||
      fixed_size < sizeof *fixed) {
    return "";
  }
  return std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
         std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionLS));
}

std::vector<std::string> FilesInFolder(const std::string& folder, std::string_view extension) {
  // Joined as Windows joins paths, unless the folder was written with forward slashes.
  const std::string separator = folder.find('/') != std::string::npos ? "/" : "\\";
  const std::string prefix = folder.ends_with('\\') || folder.ends_with('/') ? folder : folder + separator;
  std::vector<std::string> names;
  ForEachFound(prefix + "*" + std::string(extension), [&](const WIN32_FIND_DATAW& found) {
    const std::string name = Utf8(found.cFileName);
    // "*.scn" also matches longer extensions through their short names ("a.scnx").
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && name.size() > extension.size() &&
        SameIgnoringCase(std::string_view(name).substr(name.size() - extension.size()), extension)) {
      names.push_back(name);
    }
  });
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const std::string folded_a = Lowered(a);
    const std::string folded_b = Lowered(b);
    return folded_a != folded_b ? folded_a < folded_b : a < b;
  });
  for (std::string& name : names) {
    name = prefix + name;
  }
  return names;
}

std::optional<std::vector<std::string>> FolderEntries(const std::string& folder) {
  if (!IsFolder(folder)) {
    return std::nullopt;
  }
  const bool separated = folder.ends_with('\\') || folder.ends_with('/');
  std::vector<std::string> names;
  ForEachFound(folder + (separated ? "*" : "\\*"), [&](const WIN32_FIND_DATAW& found) {
    const std::string name = Utf8(found.cFileName);
    if (name != "." && name != "..") {
      names.push_back(name);
    }
  });
  return names;
}

}  // namespace gauge_host
