#include "history/HistoryFile.h"

#include <json/json.h>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>
#include <sstream>
#include <tuple>

#include "platform/Utf.h"

namespace rg_com_ptl_xyh {

namespace {

constexpr std::size_t kColumns = 11;
enum Column { kId, kName, kIndex, kNumber, kDay, kZodiac, kUp, kDown, kDong, kRot, kInfo };
enum class Kind { Integer, Real, Text };

constexpr std::array<Kind, kColumns> kKinds = {Kind::Integer, Kind::Text,    Kind::Integer, Kind::Text,
                                               Kind::Real,    Kind::Integer, Kind::Text,    Kind::Text,
                                               Kind::Text,    Kind::Integer, Kind::Text};
// The table declares these NOT NULL; a file cannot leave them out.
constexpr std::array<bool, kColumns> kRequired = {false, true,  false, true,  false, false,
                                                  false, false, true,  false, false};

auto Tie(const rg_HistoryRow& r) {
  return std::tie(r.ysname, r.ysindex, r.ysnumber, r.ysday, r.gzsxid, r.upstr, r.downstr, r.dong, r.rot,
                  r.uinfo);
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
  if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
  return v;
}

std::optional<double> ParseReal(std::string_view text) {
  double v = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), v);
  if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size() || !std::isfinite(v)) {
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
  std::vector<CsvField> fields;
};

// Splits the text into records; false with the reason for a broken quote.
bool SplitCsv(std::string_view s, std::vector<CsvRecord>& records, std::string& error) {
  std::size_t i = 0;
  std::size_t line = 1;
  while (i < s.size()) {
    CsvRecord record;
    record.line = line;
    for (;;) {
      CsvField field;
      if (i < s.size() && s[i] == '"') {
        field.quoted = true;
        const std::size_t openedOn = line;
        ++i;
        for (;;) {
          if (i >= s.size()) {
            error = LineText(openedOn) + "引号没有闭合";
            return false;
          }
          if (s[i] == '"') {
            if (i + 1 < s.size() && s[i + 1] == '"') {
              field.text += '"';
              i += 2;
              continue;
            }
            ++i;
            break;
          }
          if (s[i] == '\n') ++line;
          field.text += s[i++];
        }
        if (i < s.size() && s[i] != ',' && s[i] != '\n' && !(s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')) {
          error = LineText(line) + "右引号后应是逗号或行尾";
          return false;
        }
      } else {
        while (i < s.size() && s[i] != ',' && s[i] != '\n') {
          if (s[i] == '"') {
            error = LineText(line) + "没有引号的字段里有引号";
            return false;
          }
          if (s[i] == '\r') {
            if (i + 1 < s.size() && s[i + 1] == '\n') break;
            error = LineText(line) + "没有引号的字段里有回车符";
            return false;
          }
          field.text += s[i++];
        }
      }
      record.fields.push_back(std::move(field));
      if (i < s.size() && s[i] == ',') {
        ++i;
        continue;
      }
      if (i < s.size() && s[i] == '\r') ++i;
      if (i < s.size() && s[i] == '\n') {
        ++i;
        ++line;
      }
      break;
    }
    records.push_back(std::move(record));
  }
  return true;
}

rg_HistoryParse ReadCsv(std::string_view s) {
  rg_HistoryParse parse;
  std::vector<CsvRecord> records;
  if (!SplitCsv(s, records, parse.error)) return parse;
  if (records.empty()) {
    parse.error = "文件是空的,没有表头";
    return parse;
  }
  // The header names the columns; they may come in any order.
  const auto& names = HistoryColumnNames();
  std::array<std::size_t, kColumns> columnOf{};
  const CsvRecord& header = records[0];
  std::string expected;
  for (std::size_t c = 0; c < kColumns; ++c) expected += (c ? "," : "") + names[c];
  if (header.fields.size() != kColumns) {
    parse.error = LineText(1) + "表头应是 " + expected;
    return parse;
  }
  std::array<bool, kColumns> seen{};
  for (std::size_t f = 0; f < kColumns; ++f) {
    std::size_t c = 0;
    while (c < kColumns && names[c] != header.fields[f].text) ++c;
    if (c == kColumns || seen[c]) {
      parse.error = LineText(1) + "表头应是 " + expected;
      return parse;
    }
    seen[c] = true;
    columnOf[f] = c;
  }

  for (std::size_t n = 1; n < records.size(); ++n) {
    const CsvRecord& record = records[n];
    if (record.fields.size() != kColumns) {
      parse.error = LineText(record.line) + "应有 " + std::to_string(kColumns) + " 个字段,实有 " +
                    std::to_string(record.fields.size()) + " 个";
      parse.rows.clear();
      return parse;
    }
    rg_HistoryRow row;
    for (std::size_t f = 0; f < kColumns; ++f) {
      const std::size_t c = columnOf[f];
      const CsvField& field = record.fields[f];
      const bool absent = field.text.empty() && !field.quoted;
      std::string why;
      if (absent) {
        if (kRequired[c]) why = "不能空着";
      } else if (kKinds[c] == Kind::Integer) {
        if (const auto v = ParseInteger(field.text)) {
          *IntField(row, c) = *v;
        } else {
          why = "应是整数";
        }
      } else if (kKinds[c] == Kind::Real) {
        if (const auto v = ParseReal(field.text)) {
          row.ysday = *v;
        } else {
          why = "应是数";
        }
      } else {
        *TextField(row, c) = FromUtf8(field.text);
      }
      if (!why.empty()) {
        parse.error = LineText(record.line) + "字段 " + names[c] + " " + why;
        parse.rows.clear();
        return parse;
      }
    }
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
    out += '}';
  }
  out += "\n]}\n";
  return out;
}

// jsoncpp reports "* Line 3, Column 7\n  Syntax error: …"; the user gets
// the place and the reason on one line.
std::string JsonSyntaxError(const std::string& errors) {
  int line = 0;
  int column = 0;
  if (std::sscanf(errors.c_str(), "* Line %d, Column %d", &line, &column) == 2) {
    std::string reason;
    std::istringstream in(errors);
    std::string text;
    std::getline(in, text);
    std::getline(in, reason);
    const std::size_t start = reason.find_first_not_of(' ');
    reason = start == std::string::npos ? std::string() : reason.substr(start);
    return "第" + std::to_string(line) + "行第" + std::to_string(column) + "列:JSON 语法错误:" + reason;
  }
  return "JSON 语法错误:" + errors;
}

rg_HistoryParse ReadJson(std::string_view s) {
  rg_HistoryParse parse;
  Json::CharReaderBuilder builder;
  Json::CharReaderBuilder::strictMode(&builder.settings_);
  builder["rejectDupKeys"] = true;
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value parsed;
  std::string errors;
  if (!reader->parse(s.data(), s.data() + s.size(), &parsed, &errors)) {
    parse.error = JsonSyntaxError(errors);
    return parse;
  }
  const Json::Value& root = parsed;
  const auto refuse = [&parse](const std::string& path, const std::string& why) {
    parse.error = path + ":" + why;
    parse.rows.clear();
    return parse;
  };
  if (!root.isObject()) return refuse("$", "应是对象 {\"format\":\"xyh-history\",…}");
  if (root["format"] != "xyh-history") return refuse("$.format", "应是 \"xyh-history\"");
  if (!root["version"].isInt() || root["version"].asInt() != 1) return refuse("$.version", "应是 1");
  for (const std::string& key : root.getMemberNames()) {
    if (key != "format" && key != "version" && key != "records") return refuse("$." + key, "不认识的键");
  }
  const Json::Value& records = root["records"];
  if (!records.isArray()) return refuse("$.records", "应是数组");

  const auto& names = HistoryColumnNames();
  for (Json::ArrayIndex n = 0; n < records.size(); ++n) {
    const std::string at = "$.records[" + std::to_string(n) + "]";
    const Json::Value& record = records[n];
    if (!record.isObject()) return refuse(at, "应是对象");
    for (const std::string& key : record.getMemberNames()) {
      bool known = false;
      for (const std::string& name : names) known = known || key == name;
      if (!known) return refuse(at + "." + key, "不认识的键");
    }
    rg_HistoryRow row;
    for (std::size_t c = 0; c < kColumns; ++c) {
      const std::string path = at + "." + names[c];
      if (!record.isMember(names[c])) {
        if (c == kId) continue;  // the id is never read, so it may be left out
        return refuse(path, "缺少这个键");
      }
      const Json::Value& v = record[names[c]];
      if (v.isNull()) {
        if (kRequired[c]) return refuse(path, "不能为 null");
        continue;
      }
      if (kKinds[c] == Kind::Integer) {
        if (!v.isInt64() || v.isBool()) return refuse(path, "应是整数");
        *IntField(row, c) = v.asInt64();
      } else if (kKinds[c] == Kind::Real) {
        if (!v.isNumeric() || v.isBool()) return refuse(path, "应是数");
        row.ysday = v.asDouble();
      } else {
        if (!v.isString()) return refuse(path, "应是字符串");
        const std::string text = v.asString();
        // An escaped lone surrogate decodes to bytes that are no UTF-8.
        if (InvalidUtf8At(text) != std::string_view::npos) return refuse(path, "不是有效的 Unicode 文字");
        *TextField(row, c) = FromUtf8(text);
      }
    }
    parse.rows.push_back(std::move(row));
  }
  parse.ok = true;
  return parse;
}

}  // namespace

bool rg_HistoryRow::SameCast(const rg_HistoryRow& other) const { return Tie(*this) == Tie(other); }

bool rg_HistoryRow::CastBefore(const rg_HistoryRow& other) const { return Tie(*this) < Tie(other); }

const std::vector<std::string>& HistoryColumnNames() {
  static const std::vector<std::string> names = {"_id",    "ysname", "ysindex", "ysnumber", "ysday", "gzsxid",
                                                 "upstr",  "downstr", "dong",   "rot",      "uinfo"};
  return names;
}

std::string WriteHistoryFile(const std::vector<rg_HistoryRow>& rows, rg_HistoryFormat format) {
  return format == rg_HistoryFormat::Csv ? WriteCsv(rows) : WriteJson(rows);
}

rg_HistoryParse ReadHistoryFile(std::string_view bytes) {
  rg_HistoryParse parse;
  if (bytes.size() > kHistoryFileLimit) {
    parse.error = "文件超过 " + std::to_string(kHistoryFileLimit >> 20) + " MiB,不读";
    return parse;
  }
  if (const std::size_t bad = InvalidUtf8At(bytes); bad != std::string_view::npos) {
    parse.error = LineText(LineOf(bytes, bad)) + "不是 UTF-8 文字";
    return parse;
  }
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  const std::size_t first = bytes.find_first_not_of(" \t\r\n");
  if (first != std::string_view::npos && bytes[first] == '{') return ReadJson(bytes);
  return ReadCsv(bytes);
}

}  // namespace rg_com_ptl_xyh
