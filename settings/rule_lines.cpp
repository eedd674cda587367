#include "settings/rule_lines.h"

#include "text/ascii_case.h"
#include "text/sjis_text.h"
#include "store/tab_line.h"
#include "settings/settings_texts.h"

namespace plumex {
namespace {

bool BreaksTheLine(std::string_view text) { return text.find_first_of("\t\r\n") != std::string_view::npos; }

}  // namespace

RuleLine ParseRuleLine(std::string_view line) {
  return {FieldOf(line, 0), FieldOf(line, 1), FieldOf(line, 2), FieldCount(line) == 3};
}

std::optional<std::string> MakeRuleLine(std::string_view field, std::string_view text, std::string_view target) {
  if (target.empty() || BreaksTheLine(field) || BreaksTheLine(text) || BreaksTheLine(target)) return std::nullopt;
  if (target != Sjis(texts::kRuleTargetDelete) && (field.empty() || text.empty())) return std::nullopt;
  std::string line(field);
  line += '\t';
  line += text;
  line += '\t';
  line += target;
  return line;
}

bool AddOrReplaceRule(std::vector<std::string>& lines, const std::string& line, std::optional<size_t> replace) {
  if (replace && *replace < lines.size()) {
    lines[*replace] = line;
    return true;
  }
  for (const auto& existing : lines)
    if (EqualIgnoringCase(existing, line)) return false;
  lines.push_back(line);
  return true;
}

std::optional<std::string> RuleFolderTarget(const std::vector<std::string>& names_below_root) {
  if (names_below_root.empty()) return std::nullopt;
  std::string target;
  for (const auto& name : names_below_root) {
    if (!target.empty()) target += '\\';
    target += name;
  }
  return target;
}

}  // namespace plumex
