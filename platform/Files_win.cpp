#include <io.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "platform/Files.h"
#include "platform/Win32.h"

namespace rg_com_ptl_xyh {

namespace fs = std::filesystem;

namespace {

std::string Reason(const std::string& what, int code) {
  if (code == kErrorInUse) return what + ": it is in use by another program";
  return what + ": " + std::strerror(code);
}

int LastErrno() { return win::ErrnoOf(GetLastError()); }

// What an open handle is, for a refusal; "" for a regular file.
std::string NotRegular(HANDLE h, rg_FileProblem* problem) {
  *problem = rg_FileProblem::Special;
  switch (GetFileType(h)) {
    case FILE_TYPE_DISK: break;
    case FILE_TYPE_PIPE: return "it is a FIFO (named pipe)";
    case FILE_TYPE_CHAR: return "it is a device";
    default: return "it is not a regular file";
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileInformationByHandle(h, &info) &&
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    *problem = rg_FileProblem::Folder;
    return "it is a folder";
  }
  return {};
}

Result<std::string> ReadAll(HANDLE h, std::size_t limit) {
  std::string bytes;
  char buffer[1 << 16];
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(h, buffer, sizeof buffer, &n, nullptr)) {
      const DWORD error = GetLastError();
      // The writer of a pipe closing is its end, as on POSIX.
      if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF) break;
      if (error == ERROR_INVALID_HANDLE) return Fail(rg_FileProblem::Closed, "it is closed", EBADF);
      const int code = win::ErrnoOf(error);
      return Fail(rg_FileProblem::Failed, Reason("reading failed", code), code);
    }
    if (n == 0) break;
    if (bytes.size() + n > limit)
      return Fail(rg_FileProblem::TooLarge,
                  "it is larger than " + std::to_string(limit) + " bytes");
    bytes.append(buffer, n);
  }
  return bytes;
}

std::atomic<unsigned> tempCounter{0};

// Opens path for looking at only (a folder too), following links.
HANDLE OpenToLook(const fs::path& path, DWORD access) {
  return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// Whether another program holds the file open without letting it go.
bool HeldOpen(const fs::path& file) {
  win::Handle h(CreateFileW(file.c_str(), DELETE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return !h.valid() && GetLastError() == ERROR_SHARING_VIOLATION;
}

}  // namespace

Result<std::string> ReadRegularFile(const fs::path& file, std::size_t limit) {
  if (file.empty()) return Fail(rg_FileProblem::Missing, "no file name was given");
  win::Handle h(OpenToLook(file, GENERIC_READ));
  if (!h.valid()) {
    const DWORD error = GetLastError();
    const int code = win::ErrnoOf(error);
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
      return Fail(rg_FileProblem::Missing, "it does not exist", code);
    return Fail(rg_FileProblem::Failed, Reason("it cannot be opened", code), code);
  }
  rg_FileProblem problem = rg_FileProblem::None;
  if (std::string why = NotRegular(h.get(), &problem); !why.empty())
    return Fail(problem, std::move(why));
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(h.get(), &size))
    return Fail(rg_FileProblem::Failed, Reason("it cannot be examined", LastErrno()), LastErrno());
  if (static_cast<std::uintmax_t>(size.QuadPart) > limit)
    return Fail(rg_FileProblem::TooLarge, "it is larger than " + std::to_string(limit) + " bytes");
  return ReadAll(h.get(), limit);
}

Result<std::string> ReadDescriptor(int fd, std::size_t limit) {
  const intptr_t os = _get_osfhandle(fd);
  if (os == -1 || os == -2) return Fail(rg_FileProblem::Closed, "it is closed", EBADF);
  // NOLINTNEXTLINE(performance-no-int-to-ptr): the C runtime hands out handles as numbers
  const auto h = reinterpret_cast<HANDLE>(os);
  rg_FileProblem problem = rg_FileProblem::None;
  if (GetFileType(h) == FILE_TYPE_DISK && !NotRegular(h, &problem).empty() &&
      problem == rg_FileProblem::Folder) {
    return Fail(rg_FileProblem::Folder, "it is a folder");
  }
  return ReadAll(h, limit);
}

namespace {

// The file a write to target replaces (the end of its links), or why none.
std::string ResolveWriteTarget(const fs::path& target, fs::path& file) {
  if (target.empty()) return "no file name was given";
  file = target;
  win::Handle h(OpenToLook(target, 0));
  if (!h.valid()) {
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND) {
      if (error == ERROR_PATH_NOT_FOUND) return Reason("its folder cannot be used", ENOENT);
      return Reason("it cannot be examined", win::ErrnoOf(error));
    }
    // A link to nothing opens as "not found" too.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
      return "it is a link to nothing";
    const fs::path parent = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const DWORD folder = GetFileAttributesW(parent.c_str());
    if (folder == INVALID_FILE_ATTRIBUTES) return Reason("its folder cannot be used", LastErrno());
    if ((folder & FILE_ATTRIBUTE_DIRECTORY) == 0) return "its folder is not a folder";
    return {};
  }
  rg_FileProblem problem = rg_FileProblem::None;
  std::string why = NotRegular(h.get(), &problem);
  if (!why.empty()) return why;
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    wchar_t final[32768];
    const DWORD n = GetFinalPathNameByHandleW(h.get(), final, 32768, FILE_NAME_NORMALIZED);
    if (n == 0 || n >= 32768) return Reason("its link cannot be followed", LastErrno());
    file = fs::path(std::wstring(final, n));
  }
  return {};
}

}  // namespace

Result<void> CheckWriteTarget(const fs::path& target) {
  fs::path file;
  if (std::string why = ResolveWriteTarget(target, file); !why.empty())
    return Fail(rg_FileProblem::Failed, std::move(why));
  return {};
}

rg_AtomicFile::rg_AtomicFile(const fs::path& target) {
  if (std::string why = ResolveWriteTarget(target, file_); !why.empty()) {
    error_ = std::move(why);
    return;
  }
  HANDLE h = INVALID_HANDLE_VALUE;
  DWORD error = 0;
  for (int attempt = 0; attempt < 100 && h == INVALID_HANDLE_VALUE; ++attempt) {
    temp_ = file_;
    temp_.replace_filename(L"." + file_.filename().wstring() + L".part-" +
                           std::to_wstring(GetCurrentProcessId()) + L"-" +
                           std::to_wstring(tempCounter++));
    // Nobody else may open the half-written file; every write goes to the
    // disk before it returns.
    h = CreateFileW(temp_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
    error = GetLastError();
    if (h == INVALID_HANDLE_VALUE && error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
      break;
  }
  if (h == INVALID_HANDLE_VALUE) {
    temp_.clear();
    Fail("the file cannot be created beside it", win::ErrnoOf(error));
    return;
  }
  fd_ = reinterpret_cast<std::intptr_t>(h);
}

rg_AtomicFile::~rg_AtomicFile() {
  if (!committed_) Discard();
}

void rg_AtomicFile::Fail(const std::string& what, int code) {
  if (error_.empty()) {
    error_ = Reason(what, code);
    errorNumber_ = code;
  }
  Discard();
}

void rg_AtomicFile::Discard() {
  // NOLINTNEXTLINE(performance-no-int-to-ptr): the handle kept as a number
  if (fd_ != -1) CloseHandle(reinterpret_cast<HANDLE>(fd_));
  fd_ = -1;
  if (!temp_.empty()) DeleteFileW(temp_.c_str());
  temp_.clear();
}

bool rg_AtomicFile::Write(std::string_view bytes) {
  if (!Ok()) return false;
  // NOLINTNEXTLINE(performance-no-int-to-ptr): the handle kept as a number
  const auto h = reinterpret_cast<HANDLE>(fd_);
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD n = 0;
    if (!WriteFile(h, bytes.data(), chunk, &n, nullptr)) {
      Fail("writing failed", LastErrno());
      return false;
    }
    bytes.remove_prefix(n);
  }
  return true;
}

bool rg_AtomicFile::Commit() {
  if (!Ok()) return false;
  // NOLINTNEXTLINE(performance-no-int-to-ptr): the handle kept as a number
  const auto h = reinterpret_cast<HANDLE>(fd_);
  if (!FlushFileBuffers(h)) {
    Fail("flushing to the disk failed", LastErrno());
    return false;
  }
  fd_ = -1;
  if (!CloseHandle(h)) {
    Fail("closing failed", LastErrno());
    return false;
  }
  // Replaced in one step, and the step itself on the disk before it returns.
  if (!MoveFileExW(temp_.c_str(), file_.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DWORD error = GetLastError();
    // Windows says "access denied" for a file another program has open;
    // the user can do something about that one, so it is told apart.
    if (error == ERROR_ACCESS_DENIED && HeldOpen(file_)) error = ERROR_SHARING_VIOLATION;
    Fail("renaming into place failed", win::ErrnoOf(error));
    return false;
  }
  temp_.clear();
  committed_ = true;
  return true;
}

Result<void> WriteFileAtomically(const fs::path& target, std::string_view bytes) {
  rg_AtomicFile file(target);
  if (file.Write(bytes) && file.Commit()) return {};
  return Fail(rg_FileProblem::Failed, file.Error(), file.ErrorNumber());
}

}  // namespace rg_com_ptl_xyh
