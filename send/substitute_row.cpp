#include "send/substitute_row.h"

#include "text/ascii_case.h"
#include "store/tab_line.h"

namespace plumex {

std::vector<std::string> SplitSheetRow(std::string_view row) { return SplitAt(row, ','); }

std::string SubstituteRow(std::string_view text, std::string_view row) {
  std::string result(text);
  const auto cells = SplitSheetRow(row);
  for (size_t k = 1; k <= cells.size(); ++k) {
    const std::string placeholder = "%SS" + std::to_string(k) + "%";
    std::string out;
    size_t i = 0;
    while (i < result.size()) {
      if (result.size() - i >= placeholder.size() &&
          EqualIgnoringCase(std::string_view(result).substr(i, placeholder.size()), placeholder)) {
        out += cells[k - 1];
        i += placeholder.size();
      } else {
        out += result[i++];
      }
    }
    result = std::move(out);
  }
  return result;
}

}  // namespace plumex
