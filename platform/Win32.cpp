#include "platform/Win32.h"

#include <cerrno>

#include "platform/Files.h"

namespace rg_com_ptl_xyh::win {

namespace {

// One argument as the C runtime's command-line parser reads it back:
// quoted when it holds a blank or a quote or is empty, backslashes doubled
// only where a quote follows them.
void AppendQuoted(std::wstring& line, const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    line += arg;
    return;
  }
  line += L'"';
  std::size_t backslashes = 0;
  for (const wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    if (c == L'"')
      line.append(backslashes * 2 + 1, L'\\');
    else
      line.append(backslashes, L'\\');
    backslashes = 0;
    line += c;
  }
  line.append(backslashes * 2, L'\\');
  line += L'"';
}

}  // namespace

std::wstring CommandLine(const std::vector<std::string>& argv) {
  std::wstring line;
  for (const std::string& a : argv) {
    if (!line.empty()) line += L' ';
    AppendQuoted(line, Wide(a));
  }
  return line;
}

std::wstring Wide(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

std::string Narrow(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

int ErrnoOf(DWORD error) {
  struct Row {
    DWORD error;
    int number;
  };
  static constexpr Row kRows[] = {
      {ERROR_FILE_NOT_FOUND, ENOENT},
      {ERROR_PATH_NOT_FOUND, ENOENT},
      {ERROR_INVALID_DRIVE, ENOENT},
      {ERROR_BAD_NETPATH, ENOENT},
      {ERROR_BAD_PATHNAME, ENOENT},
      {ERROR_DIRECTORY, ENOTDIR},
      {ERROR_ACCESS_DENIED, EACCES},
      {ERROR_PRIVILEGE_NOT_HELD, EPERM},
      {ERROR_WRITE_PROTECT, EROFS},
      {ERROR_DISK_FULL, ENOSPC},
      {ERROR_HANDLE_DISK_FULL, ENOSPC},
      {ERROR_FILENAME_EXCED_RANGE, ENAMETOOLONG},
      {ERROR_ALREADY_EXISTS, EEXIST},
      {ERROR_FILE_EXISTS, EEXIST},
      {ERROR_SHARING_VIOLATION, kErrorInUse},
      {ERROR_LOCK_VIOLATION, kErrorInUse},
      {ERROR_USER_MAPPED_FILE, kErrorInUse},
      {ERROR_INVALID_HANDLE, EBADF},
      {ERROR_BROKEN_PIPE, EPIPE},
      {ERROR_NO_DATA, EPIPE},
      {ERROR_NOT_ENOUGH_MEMORY, ENOMEM},
      {ERROR_OUTOFMEMORY, ENOMEM},
      {ERROR_INVALID_NAME, EINVAL},
      {ERROR_INVALID_PARAMETER, EINVAL},
      {ERROR_DIR_NOT_EMPTY, ENOTEMPTY},
      {ERROR_NOT_SAME_DEVICE, EXDEV},
  };
  for (const Row& row : kRows) {
    if (row.error == error) return row.number;
  }
  return EIO;
}

}  // namespace rg_com_ptl_xyh::win
