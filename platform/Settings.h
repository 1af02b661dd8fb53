#pragma once
// config.ini: a profile file of [sections] and key=value lines in UTF-8,
// read and written the way profile files always were: names without regard
// to letter case, values trimmed, missing keys read as the default.
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/Files.h"

namespace rg_com_ptl_xyh {

class rg_Settings {
 public:
  explicit rg_Settings(std::filesystem::path file) : file_(std::move(file)) {}

  const std::filesystem::path& File() const { return file_; }

  // The file is read only when it is a regular file of at most this many
  // bytes; anything else reads as the defaults and is never rewritten.
  static constexpr std::size_t kFileLimit = 64u << 10;
  // Why the file is not read ("it is a folder"), or "" when it is read or
  // simply missing. Examined afresh on each call.
  std::string Problem() const;
  // The same as a kind, for a reason worded elsewhere (None when read or
  // missing).
  rg_FileProblem ProblemKind() const;

  // Lines holding CR or NUL inside are not read as keys.
  std::u16string Read(std::u16string_view section, std::u16string_view key,
                      std::u16string_view fallback = {}) const;
  // Refuses (false, file untouched) when Problem() is not "".
  // Adds the section or key when missing; keeps every other line as it was.
  // Refuses (false, file untouched) a section, key or value holding CR, LF
  // or NUL, a section holding a bracket, and a key that would not read back
  // as itself; a value with blanks or quotes at its ends is quoted, so that
  // it reads back unchanged.
  bool Write(std::u16string_view section, std::u16string_view key, std::u16string_view value);

 private:
  std::filesystem::path file_;
};

}  // namespace rg_com_ptl_xyh
