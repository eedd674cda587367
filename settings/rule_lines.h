// The lines of a rule list (receive rules of rule.ini, send rules of rule2.ini): a line is
// field TAB text TAB target. Read here for every use of a rule, and edited here as the settings
// dialog does.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plumex {

// One rule line as read. Missing fields are empty; fields after the third are not read.
struct RuleLine {
  std::string field;   // "件名", "差出人" (receive) or "あて名" (send)
  std::string text;    // the keyword (receive) or pattern (send)
  std::string target;  // the folder below the receive or send root, or "削除" (receive)
  // Exactly three fields: only then does the settings dialog select the line's target.
  bool complete = false;
};
RuleLine ParseRuleLine(std::string_view line);

// The line of a rule, or nothing when the input is incomplete: field or text empty (unless
// the target is "削除", which takes any text), an empty target, or a TAB, CR or LF in the
// field or the text, which would split the line into other fields or lines.
std::optional<std::string> MakeRuleLine(std::string_view field, std::string_view text, std::string_view target);

// "追加" (replace empty) and "編集" (replace: the selected line): the selected line is replaced;
// otherwise the line goes at the end unless an equal line, ignoring letter case, is there
// already. Returns whether the list changed.
bool AddOrReplaceRule(std::vector<std::string>& lines, const std::string& line,
                      std::optional<size_t> replace = std::nullopt);

// The folder target of a rule: the folder names below the tree's root, joined by "\". The
// root itself (no names) is refused: mail would go to a bogus folder named after it.
std::optional<std::string> RuleFolderTarget(const std::vector<std::string>& names_below_root);

}  // namespace plumex
