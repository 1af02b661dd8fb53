#include "history/HistoryFile.h"

#include <json/json.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <set>
#include <tuple>

#include "history/SavedCastCheck.h"
#include "platform/Utf.h"

namespace rg_com_ptl_xyh {

namespace {

// What the readers fill as they go; made a Result at the end.
struct HistoryParse {
  bool ok = false;
  std::vector<rg_HistoryRow> rows;
  std::string error;
};

constexpr std::size_t kColumns = 11;
enum Column { kId, kName, kIndex, kNumber, kDay, kZodiac, kUp, kDown, kDong, kRot, kInfo };
enum class Kind { Integer, Real, Text };

constexpr std::array<Kind, kColumns> kKinds = {
    Kind::Integer, Kind::Text, Kind::Integer, Kind::Text,    Kind::Real, Kind::Integer,
    Kind::Text,    Kind::Text, Kind::Text,    Kind::Integer, Kind::Text};
// The table declares these NOT NULL; a file cannot leave them out.
constexpr std::array<bool, kColumns> kRequired = {false, true,  false, true,  false, false,
                                                  false, false, true,  false, false};

auto Tie(const rg_HistoryRow& r) {
  return std::tie(r.ysname, r.ysindex, r.ysnumber, r.ysday, r.gzsxid, r.upstr, r.downstr, r.dong,
                  r.rot, r.uinfo);
}

std::optional<std::int64_t>* IntField(rg_HistoryRow& r, std::size_t c) {
  switch (c) {
    case kId: return &r.id;
    case kIndex: return &r.ysindex;
    case kZodiac: return &r.gzsxid;
    case kRot: return &r.rot;
    default: return nullptr;
  }
}

std::optional<std::u16string>* TextField(rg_HistoryRow& r, std::size_t c) {
  switch (c) {
    case kName: return &r.ysname;
    case kNumber: return &r.ysnumber;
    case kUp: return &r.upstr;
    case kDown: return &r.downstr;
    case kDong: return &r.dong;
    case kInfo: return &r.uinfo;
    default: return nullptr;
  }
}

const std::optional<std::int64_t>* IntField(const rg_HistoryRow& r, std::size_t c) {
  return IntField(const_cast<rg_HistoryRow&>(r), c);
}
const std::optional<std::u16string>* TextField(const rg_HistoryRow& r, std::size_t c) {
  return TextField(const_cast<rg_HistoryRow&>(r), c);
}

// The shortest text that reads back as the same double.
std::string RealText(double v) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
  return std::string(buffer, result.ptr);
}

std::optional<std::int64_t> ParseInteger(std::string_view text) {
  std::int64_t v = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), v);
  if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size())
    return std::nullopt;
  return v;
}

std::optional<double> ParseReal(std::string_view text) {
  double v = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), v);
  if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size() ||
      !std::isfinite(v)) {
    return std::nullopt;
  }
  return v;
}

// Offset of the first byte that is not part of well-formed UTF-8, or npos.
std::size_t InvalidUtf8At(std::string_view s) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  std::size_t i = 0;
  while (i < s.size()) {
    const unsigned char b = p[i];
    std::size_t n = 0;
    char32_t c = 0;
    if (b < 0x80) {
      ++i;
      continue;
    } else if (b >= 0xC2 && b <= 0xDF) {
      n = 1, c = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
      n = 2, c = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      n = 3, c = b & 0x07;
    } else {
      return i;
    }
    for (std::size_t k = 1; k <= n; ++k) {
      if (i + k >= s.size() || (p[i + k] & 0xC0) != 0x80) return i;
      c = (c << 6) | (p[i + k] & 0x3F);
    }
    const char32_t least = n == 1 ? 0x80 : n == 2 ? 0x800 : 0x10000;
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return i;
    i += n + 1;
  }
  return std::string_view::npos;
}

std::string LineText(std::size_t line) { return "第" + std::to_string(line) + "行:"; }

std::size_t LineOf(std::string_view bytes, std::size_t offset) {
  std::size_t line = 1;
  for (std::size_t i = 0; i < offset && i < bytes.size(); ++i) line += bytes[i] == '\n';
  return line;
}

// ---- CSV ----

void AppendCsvText(std::string& out, const std::u16string& text) {
  out += '"';
  for (char c : ToUtf8(text)) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

std::string WriteCsv(const std::vector<rg_HistoryRow>& rows) {
  std::string out;
  const auto& names = HistoryColumnNames();
  for (std::size_t c = 0; c < kColumns; ++c) out += (c ? "," : "") + names[c];
  out += "\r\n";
  for (const rg_HistoryRow& r : rows) {
    for (std::size_t c = 0; c < kColumns; ++c) {
      if (c != 0) out += ',';
      if (kKinds[c] == Kind::Integer) {
        if (const auto& v = *IntField(r, c)) out += std::to_string(*v);
      } else if (kKinds[c] == Kind::Real) {
        if (r.ysday) out += RealText(*r.ysday);
      } else if (const auto& v = *TextField(r, c)) {
        AppendCsvText(out, *v);
      }
    }
    out += "\r\n";
  }
  return out;
}

struct CsvField {
  std::string text;
  bool quoted = false;
};

struct CsvRecord {
  std::size_t line = 0;
  std::size_t count = 0;         // fields seen
  std::vector<CsvField> fields;  // the first kColumns + 1 of them
};

// Reads the text one record at a time, so that a hostile file never makes
// more than one record's fields at once.
class CsvReader {
 public:
  explicit CsvReader(std::string_view s) : s_(s) {}
  bool AtEnd() const { return i_ >= s_.size(); }

  // The next record; false with the reason for a broken quote.
  bool Next(CsvRecord& record, std::string& error) {
    record = CsvRecord{};
    record.line = line_;
    for (;;) {
      CsvField field;
      if (!Field(field, error)) return false;
      if (record.count++ <= kColumns) record.fields.push_back(std::move(field));
      if (i_ < s_.size() && s_[i_] == ',') {
        ++i_;
        continue;
      }
      if (i_ < s_.size() && s_[i_] == '\r') ++i_;
      if (i_ < s_.size() && s_[i_] == '\n') {
        ++i_;
        ++line_;
      }
      return true;
    }
  }

 private:
  bool Field(CsvField& field, std::string& error) {
    if (i_ < s_.size() && s_[i_] == '"') {
      field.quoted = true;
      const std::size_t openedOn = line_;
      ++i_;
      for (;;) {
        if (i_ >= s_.size()) {
          error = LineText(openedOn) + "引号没有闭合";
          return false;
        }
        if (s_[i_] == '"') {
          if (i_ + 1 < s_.size() && s_[i_ + 1] == '"') {
            field.text += '"';
            i_ += 2;
            continue;
          }
          ++i_;
          break;
        }
        if (s_[i_] == '\n') ++line_;
        field.text += s_[i_++];
      }
      if (i_ < s_.size() && s_[i_] != ',' && s_[i_] != '\n' &&
          !(s_[i_] == '\r' && i_ + 1 < s_.size() && s_[i_ + 1] == '\n')) {
        error = LineText(line_) + "右引号后应是逗号或行尾";
        return false;
      }
      return true;
    }
    while (i_ < s_.size() && s_[i_] != ',' && s_[i_] != '\n') {
      if (s_[i_] == '"') {
        error = LineText(line_) + "没有引号的字段里有引号";
        return false;
      }
      if (s_[i_] == '\r') {
        if (i_ + 1 < s_.size() && s_[i_ + 1] == '\n') break;
        error = LineText(line_) + "没有引号的字段里有回车符";
        return false;
      }
      field.text += s_[i_++];
    }
    return true;
  }

  std::string_view s_;
  std::size_t i_ = 0;
  std::size_t line_ = 1;
};

std::string TooManyRecords() {
  return "记录超过 " + std::to_string(kHistoryRecordLimit) + " 条,不读";
}

// Which column each field of the header names; nullopt when a name is
// unknown or given twice.
std::optional<std::array<std::size_t, kColumns>> ColumnsOfHeader(const CsvRecord& header) {
  const auto& names = HistoryColumnNames();
  std::array<std::size_t, kColumns> columnOf{};
  std::array<bool, kColumns> seen{};
  for (std::size_t f = 0; f < kColumns; ++f) {
    std::size_t c = 0;
    while (c < kColumns && names[c] != header.fields[f].text) ++c;
    if (c == kColumns || seen[c]) return std::nullopt;
    seen[c] = true;
    columnOf[f] = c;
  }
  return columnOf;
}

// Field into column c of row; what is wrong with it, or empty.
std::string ReadCsvField(const CsvField& field, std::size_t c, rg_HistoryRow& row) {
  const bool absent = field.text.empty() && !field.quoted;
  if (absent) return kRequired[c] ? "不能空着" : "";
  if (kKinds[c] == Kind::Integer) {
    const auto v = ParseInteger(field.text);
    if (!v) return "应是整数";
    *IntField(row, c) = *v;
  } else if (kKinds[c] == Kind::Real) {
    const auto v = ParseReal(field.text);
    if (!v) return "应是数";
    row.ysday = *v;
  } else {
    *TextField(row, c) = FromUtf8(field.text);
  }
  return {};
}

HistoryParse ReadCsv(std::string_view s) {
  HistoryParse parse;
  const auto refuse = [&parse](std::string why) {
    parse.error = std::move(why);
    parse.rows.clear();
    return parse;
  };
  CsvReader reader(s);
  if (reader.AtEnd()) return refuse("文件是空的,没有表头");
  CsvRecord header;
  if (!reader.Next(header, parse.error)) return parse;
  // The header names the columns; they may come in any order.
  const auto& names = HistoryColumnNames();
  std::string expected;
  for (std::size_t c = 0; c < kColumns; ++c) expected += (c ? "," : "") + names[c];
  if (header.count != kColumns) return refuse(LineText(1) + "表头应是 " + expected);
  const auto columnOf = ColumnsOfHeader(header);
  if (!columnOf) return refuse(LineText(1) + "表头应是 " + expected);

  CsvRecord record;
  while (!reader.AtEnd()) {
    if (!reader.Next(record, parse.error)) return refuse(parse.error);
    if (record.count != kColumns) {
      return refuse(LineText(record.line) + "应有 " + std::to_string(kColumns) + " 个字段,实有 " +
                    std::to_string(record.count) + " 个");
    }
    if (parse.rows.size() == kHistoryRecordLimit) return refuse(TooManyRecords());
    rg_HistoryRow row;
    for (std::size_t f = 0; f < kColumns; ++f) {
      const std::size_t c = (*columnOf)[f];
      if (const std::string why = ReadCsvField(record.fields[f], c, row); !why.empty()) {
        return refuse(LineText(record.line) + "字段 " + names[c] + " " + why);
      }
    }
    if (const auto fault = CheckHistoryRow(row))
      return refuse(LineText(record.line) + "字段 " + fault->field + " " + fault->why);
    parse.rows.push_back(std::move(row));
  }
  parse.ok = true;
  return parse;
}

// ---- JSON ----

void AppendJsonText(std::string& out, const std::u16string& text) {
  out += '"';
  for (char c : ToUtf8(text)) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  out += '"';
}

std::string WriteJson(const std::vector<rg_HistoryRow>& rows) {
  std::string out = "{\"format\":\"xyh-history\",\"version\":1,\"records\":[";
  const auto& names = HistoryColumnNames();
  for (std::size_t n = 0; n < rows.size(); ++n) {
    const rg_HistoryRow& r = rows[n];
    out += n == 0 ? "\n{" : ",\n{";
    for (std::size_t c = 0; c < kColumns; ++c) {
      out += (c ? ",\"" : "\"") + names[c] + "\":";
      if (kKinds[c] == Kind::Integer) {
        const auto& v = *IntField(r, c);
        out += v ? std::to_string(*v) : "null";
      } else if (kKinds[c] == Kind::Real) {
        out += r.ysday ? RealText(*r.ysday) : "null";
      } else if (const auto& v = *TextField(r, c)) {
        AppendJsonText(out, *v);
      } else {
        out += "null";
      }
    }
    // Written only where there are plays, so a history without them reads
    // as it always did.
    if (!r.plays.empty()) {
      const auto list = [&out](const char* key, const std::vector<int>& numbers) {
        out += std::string("\"") + key + "\":[";
        for (std::size_t i = 0; i < numbers.size(); ++i)
          out += (i ? "," : "") + std::to_string(numbers[i]);
        out += "],";
      };
      out += ",\"plays\":[";
      for (std::size_t p = 0; p < r.plays.size(); ++p) {
        out += p ? ",{" : "{";
        list("dan", r.plays[p].dan);
        list("red", r.plays[p].red);
        list("blue", r.plays[p].blue);
        out += "\"multiple\":" + std::to_string(r.plays[p].multiple) + "}";
      }
      out += ']';
    }
    out += '}';
  }
  out += "\n]}\n";
  return out;
}

// Where a JSON value starting at i ends (one past it); npos when the text
// ends inside a string or a bracket. Only strings and nesting are followed:
// jsoncpp checks the value itself.
std::size_t JsonValueEnd(std::string_view s, std::size_t i) {
  int depth = 0;
  bool inString = false;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (inString) {
      if (c == '\\') {
        ++i;
      } else if (c == '"') {
        inString = false;
        if (depth == 0) return i + 1;
      }
      continue;
    }
    switch (c) {
      case '"': inString = true; break;
      case '{':
      case '[': ++depth; break;
      case '}':
      case ']':
        if (depth == 0) return i;
        if (--depth == 0) return i + 1;
        break;
      case ',':
      case ':':
      case ' ':
      case '\t':
      case '\r':
      case '\n':
        if (depth == 0) return i;
        break;
      default: break;
    }
  }
  return inString || depth > 0 ? std::string_view::npos : s.size();
}

// The file is read value by value rather than whole: jsoncpp spends about a
// hundred bytes on every value, so a whole file of tiny values would cost
// gigabytes. Each record is parsed on its own and dropped once checked.
class JsonReader {
 public:
  explicit JsonReader(std::string_view s) : s_(s) {
    Json::CharReaderBuilder builder;
    Json::CharReaderBuilder::strictMode(&builder.settings_);
    builder["strictRoot"] = false;  // keys and scalars are parsed on their own
    reader_.reset(builder.newCharReader());
  }

  HistoryParse Read() {
    SkipSpace();
    if (!Expect('{')) return Refuse("$", "应是对象 {\"format\":\"xyh-history\",…}");
    std::string format;
    std::optional<Json::Value> version;
    bool records = false;
    std::set<std::string> keys;
    SkipSpace();
    if (Peek() == '}') {
      ++i_;
    } else {
      for (;;) {
        SkipSpace();
        const std::size_t keyAt = i_;
        Json::Value key;
        if (Peek() != '"') return Syntax(i_, "应是键(字符串)");
        if (!ParseValue(key)) return parse_;
        if (!keys.insert(key.asString()).second)
          return Syntax(keyAt, "键 " + key.asString() + " 出现了两次");
        SkipSpace();
        if (!Expect(':')) return Syntax(i_, "键后应是冒号");
        SkipSpace();
        const std::string path = "$." + key.asString();
        if (key.asString() == "records") {
          if (!ReadRecords()) return parse_;
          records = true;
        } else {
          Json::Value value;
          if (!ParseValue(value)) return parse_;
          if (key.asString() == "format") {
            if (value != "xyh-history") return Refuse(path, "应是 \"xyh-history\"");
            format = value.asString();
          } else if (key.asString() == "version") {
            version = value;
          } else {
            return Refuse(path, "不认识的键");
          }
        }
        SkipSpace();
        if (Peek() == ',') {
          ++i_;
          continue;
        }
        if (!Expect('}')) return Syntax(i_, "应是逗号或 }");
        break;
      }
    }
    SkipSpace();
    if (i_ < s_.size()) return Syntax(i_, "对象之后还有内容");
    if (format.empty()) return Refuse("$.format", "应是 \"xyh-history\"");
    if (!version || !version->isInt() || version->asInt() != 1)
      return Refuse("$.version", "应是 1");
    if (!records) return Refuse("$.records", "应是数组");
    parse_.ok = true;
    return std::move(parse_);
  }

 private:
  char Peek() const { return i_ < s_.size() ? s_[i_] : '\0'; }
  void SkipSpace() {
    while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\r' || s_[i_] == '\n'))
      ++i_;
  }
  bool Expect(char c) {
    if (Peek() != c) return false;
    ++i_;
    return true;
  }
  std::string Place(std::size_t at) const {
    std::size_t line = 1;
    std::size_t lineStart = 0;
    for (std::size_t k = 0; k < at && k < s_.size(); ++k) {
      if (s_[k] == '\n') ++line, lineStart = k + 1;
    }
    return "第" + std::to_string(line) + "行第" + std::to_string(at - lineStart + 1) + "列";
  }
  HistoryParse Refuse(const std::string& path, const std::string& why) {
    parse_.rows.clear();
    parse_.error = path + ":" + why;
    return parse_;  // a copy: parse_ keeps the reason for the callers above
  }
  HistoryParse Syntax(std::size_t at, const std::string& why) {
    parse_.rows.clear();
    parse_.error = Place(at) + ":JSON 语法错误:" + why;
    return parse_;
  }

  // The value at the current place, checked by jsoncpp; the place moves past
  // it. On failure parse_ holds the reason.
  bool ParseValue(Json::Value& value, const std::string& path = {}) {
    const std::size_t begin = i_;
    const std::size_t end = JsonValueEnd(s_, begin);
    if (end == std::string_view::npos) {
      Syntax(begin, "文件在值的中间结束");
      return false;
    }
    if (end - begin > kHistoryJsonRecordLimit) {
      Refuse(path.empty() ? Place(begin) : path,
             "超过 " + std::to_string(kHistoryJsonRecordLimit >> 20) + " MiB,不读");
      return false;
    }
    std::string errors;
    bool parsed = false;
    try {
      parsed = reader_->parse(s_.data() + begin, s_.data() + end, &value, &errors);
    } catch (const std::exception&) {
      // jsoncpp throws rather than returns on nesting past its stack limit.
      Syntax(begin, "嵌套太深");
      return false;
    }
    if (!parsed) {
      // jsoncpp counts from the start of the piece; the user needs the file's place.
      int line = 0;
      int column = 0;
      std::size_t at = begin;
      if (std::sscanf(errors.c_str(), "* Line %d, Column %d", &line, &column) == 2) {
        for (int l = 1; l < line && at < end; ++at) l += s_[at] == '\n';
        at += static_cast<std::size_t>(std::max(column, 1) - 1);
      }
      std::string reason = errors.substr(std::min(errors.find('\n') + 1, errors.size()));
      reason.erase(0, reason.find_first_not_of(' '));
      while (!reason.empty() && (reason.back() == '\n' || reason.back() == ' ')) reason.pop_back();
      Syntax(at, reason.substr(0, reason.find('\n')));
      return false;
    }
    i_ = end;
    return true;
  }

  bool ReadRecords() {
    if (!Expect('[')) {
      Refuse("$.records", "应是数组");
      return false;
    }
    SkipSpace();
    if (Expect(']')) return true;
    for (std::size_t n = 0;; ++n) {
      SkipSpace();
      const std::string at = "$.records[" + std::to_string(n) + "]";
      if (parse_.rows.size() == kHistoryRecordLimit) {
        Refuse(at, TooManyRecords());
        return false;
      }
      Json::Value record;
      if (!ParseValue(record, at) || !ReadRecord(record, at)) return false;
      SkipSpace();
      if (Expect(',')) continue;
      if (Expect(']')) return true;
      Syntax(i_, "应是逗号或 ]");
      return false;
    }
  }

  bool ReadRecord(const Json::Value& record, const std::string& at) {
    const auto& names = HistoryColumnNames();
    if (!record.isObject()) return Fail(at, "应是对象");
    for (const std::string& key : record.getMemberNames()) {
      if (key != "plays" && std::find(names.begin(), names.end(), key) == names.end())
        return Fail(std::string(at).append(".").append(key), "不认识的键");
    }
    rg_HistoryRow row;
    if (record.isMember("plays") && !ReadPlays(record["plays"], at + ".plays", row.plays))
      return false;
    for (std::size_t c = 0; c < kColumns; ++c) {
      const std::string path = at + "." + names[c];
      if (!record.isMember(names[c])) {
        if (c == kId) continue;  // the id is never read, so it may be left out
        return Fail(path, "缺少这个键");
      }
      const Json::Value& v = record[names[c]];
      if (v.isNull()) {
        if (kRequired[c]) return Fail(path, "不能为 null");
        continue;
      }
      if (kKinds[c] == Kind::Integer) {
        if (!v.isInt64() || v.isBool()) return Fail(path, "应是整数");
        *IntField(row, c) = v.asInt64();
      } else if (kKinds[c] == Kind::Real) {
        if (!v.isNumeric() || v.isBool()) return Fail(path, "应是数");
        row.ysday = v.asDouble();
      } else {
        if (!v.isString()) return Fail(path, "应是字符串");
        const std::string text = v.asString();
        // An escaped lone surrogate decodes to bytes that are no UTF-8.
        if (InvalidUtf8At(text) != std::string_view::npos)
          return Fail(path, "不是有效的 Unicode 文字");
        *TextField(row, c) = FromUtf8(text);
      }
    }
    // Well-formed is not enough: the record must be a cast the program
    // could have saved.
    if (const auto fault = CheckHistoryRow(row)) return Fail(at + "." + fault->field, fault->why);
    parse_.rows.push_back(std::move(row));
    return true;
  }
  // Each play is checked as the command line checks one.
  bool ReadPlays(const Json::Value& plays, const std::string& at, std::vector<rg_Play>& out) {
    if (!plays.isArray()) return Fail(at, "应是数组");
    for (Json::ArrayIndex p = 0; p < plays.size(); ++p) {
      const std::string path = at + "[" + std::to_string(p) + "]";
      const Json::Value& v = plays[p];
      if (!v.isObject()) return Fail(path, "应是对象");
      for (const std::string& key : v.getMemberNames()) {
        if (key != "dan" && key != "red" && key != "blue" && key != "multiple")
          return Fail(std::string(path).append(".").append(key), "不认识的键");
      }
      rg_Play play;
      for (const auto& [key, list] : {std::pair<const char*, std::vector<int>*>{"dan", &play.dan},
                                      {"red", &play.red},
                                      {"blue", &play.blue}}) {
        if (!v.isMember(key)) {
          if (std::string_view(key) == "dan") continue;
          return Fail(path + "." + key, "缺少这个键");
        }
        const Json::Value& numbers = v[key];
        if (!numbers.isArray() || numbers.size() > 33) return Fail(path + "." + key, "应是数组");
        for (const Json::Value& n : numbers) {
          if (!n.isInt() || n.isBool()) return Fail(path + "." + key, "应是整数数组");
          list->push_back(n.asInt());
        }
      }
      if (v.isMember("multiple")) {
        if (!v["multiple"].isInt() || v["multiple"].isBool())
          return Fail(path + ".multiple", "应是整数");
        play.multiple = v["multiple"].asInt();
      }
      if (const std::u16string why = PlayRefusal(play); !why.empty())
        return Fail(path, ToUtf8(why));
      SortPlay(play);
      out.push_back(std::move(play));
    }
    return true;
  }
  bool Fail(const std::string& path, const std::string& why) {
    Refuse(path, why);
    return false;
  }

  std::string_view s_;
  std::size_t i_ = 0;
  std::unique_ptr<Json::CharReader> reader_;
  HistoryParse parse_;
};

HistoryParse ReadJson(std::string_view s) { return JsonReader(s).Read(); }

}  // namespace

bool rg_HistoryRow::SameCast(const rg_HistoryRow& other) const { return Tie(*this) == Tie(other); }

bool rg_HistoryRow::CastBefore(const rg_HistoryRow& other) const { return Tie(*this) < Tie(other); }

const std::vector<std::string>& HistoryColumnNames() {
  static const std::vector<std::string> names = {"_id",   "ysname", "ysindex", "ysnumber",
                                                 "ysday", "gzsxid", "upstr",   "downstr",
                                                 "dong",  "rot",    "uinfo"};
  return names;
}

std::string WriteHistoryFile(const std::vector<rg_HistoryRow>& rows, rg_HistoryFormat format) {
  return format == rg_HistoryFormat::Csv ? WriteCsv(rows) : WriteJson(rows);
}

std::string HistoryExportRefusal(const std::vector<rg_HistoryRow>& rows, std::string_view file) {
  const auto named = [&rows](std::size_t n) {
    std::string name = "第 " + std::to_string(n + 1) + " 条记录";
    if (rows[n].id) name += "(编号 " + std::to_string(*rows[n].id) + ")";
    return name;
  };
  if (rows.size() > kHistoryRecordLimit) {
    return named(kHistoryRecordLimit) + "起超出导入能读的 " + std::to_string(kHistoryRecordLimit) +
           " 条";
  }
  // A stored row that import would refuse (edited by hand, or from before
  // the rules) would make the whole file unreadable later.
  for (std::size_t n = 0; n < rows.size(); ++n) {
    if (const auto fault = CheckHistoryRow(rows[n]))
      return named(n) + "的字段 " + fault->field + " " + fault->why + ",导入不会接受";
  }
  if (file.size() > kHistoryFileLimit) {
    return "文件会超过导入能读的 " + std::to_string(kHistoryFileLimit >> 20) + " MiB";
  }
  if (file.substr(0, 1) != "{") return {};
  // The JSON form holds one record a line, after the line that opens it.
  std::size_t at = file.find('\n');
  for (std::size_t n = 0; n < rows.size() && at != std::string_view::npos; ++n) {
    const std::size_t begin = at + 1;
    at = file.find('\n', begin);
    std::string_view line = file.substr(begin, at - begin);
    if (!line.empty() && line.back() == ',') line.remove_suffix(1);
    if (line.size() > kHistoryJsonRecordLimit) {
      return named(n) + "超过导入能读的 " + std::to_string(kHistoryJsonRecordLimit >> 20) + " MiB";
    }
  }
  return {};
}

Result<std::vector<rg_HistoryRow>> ReadHistoryFile(std::string_view bytes) {
  if (bytes.size() > kHistoryFileLimit)
    return Fail("文件超过 " + std::to_string(kHistoryFileLimit >> 20) + " MiB,不读");
  if (const std::size_t bad = InvalidUtf8At(bytes); bad != std::string_view::npos)
    return Fail(LineText(LineOf(bytes, bad)) + "不是 UTF-8 文字");
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  const std::size_t first = bytes.find_first_not_of(" \t\r\n");
  HistoryParse parse =
      first != std::string_view::npos && bytes[first] == '{' ? ReadJson(bytes) : ReadCsv(bytes);
  if (!parse.ok) return Fail(std::move(parse.error));
  return std::move(parse.rows);
}

}  // namespace rg_com_ptl_xyh
