// windows.h before the shell's headers, which need its macros.
#include "platform/Win32.h"

#include <shlobj.h>

#include <system_error>

#include "platform/Folders.h"

namespace rg_com_ptl_xyh {

namespace fs = std::filesystem;

namespace {

// shell32 and ole32 from the system's folder when a known folder is first
// asked for, never at start: loading them makes every start of xyh-cli.exe
// slower (most of all under wine), and a portable copy never asks.
template <typename Function>
Function SystemFunction(const wchar_t* library, const char* name) {
  const HMODULE module = LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  return module == nullptr ? nullptr
                           : reinterpret_cast<Function>(  // NOLINT(bugprone-casting-through-void)
                                 reinterpret_cast<void*>(GetProcAddress(module, name)));
}

fs::path KnownFolder(REFKNOWNFOLDERID id) {
  using GetPath = HRESULT(WINAPI*)(REFKNOWNFOLDERID, DWORD, HANDLE, PWSTR*);
  using FreeMemory = void(WINAPI*)(LPVOID);
  static const auto getPath = SystemFunction<GetPath>(L"shell32.dll", "SHGetKnownFolderPath");
  static const auto freeMemory = SystemFunction<FreeMemory>(L"ole32.dll", "CoTaskMemFree");
  PWSTR path = nullptr;
  fs::path out;
  if (getPath != nullptr && SUCCEEDED(getPath(id, KF_FLAG_CREATE, nullptr, &path)))
    out = fs::path(path);
  if (path != nullptr && freeMemory != nullptr) freeMemory(path);
  std::error_code ec;
  return out.empty() ? fs::temp_directory_path(ec) : out;
}

std::string Environment(const wchar_t* name) {
  wchar_t buffer[32768];
  const DWORD n = GetEnvironmentVariableW(name, buffer, 32768);
  return n == 0 || n >= 32768 ? std::string() : win::Narrow(std::wstring_view(buffer, n));
}

}  // namespace

fs::path ExecutableDirectory() {
  // A path as long as Windows allows, not MAX_PATH: the program may sit
  // deep in a user's folders.
  std::wstring exe(32768, L'\0');
  const DWORD n = GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size()));
  std::error_code ec;
  if (n == 0 || n >= exe.size()) return fs::current_path(ec);
  exe.resize(n);
  return fs::path(exe).parent_path();
}

// Data is per machine, so the local (not roaming) folder.
fs::path UserDataRoot() { return KnownFolder(FOLDERID_LocalAppData); }

fs::path InstanceLockFile() {
  return KnownFolder(FOLDERID_RoamingAppData) / PathFromUtf8(kUserFolderName) / "xyh.sq";
}

bool IsWritableDirectory(const fs::path& dir) {
  // Attributes and ACLs say too little (a read-only flag on a folder means
  // nothing to Windows): a file made and gone again is the answer.
  const fs::path probe = dir / (L".xyh-probe-" + std::to_wstring(GetCurrentProcessId()));
  win::Handle h(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  return h.valid();
}

ProgramHome ResolveHome(const std::optional<fs::path>& option) {
  const fs::path exe = ExecutableDirectory();
  const std::string home = Environment(L"XYH_HOME");
  return ChooseHome(option, home.c_str(), exe, IsWritableDirectory(exe) && !IsInstalledLayout(exe),
                    UserProgramFolder());
}

}  // namespace rg_com_ptl_xyh
