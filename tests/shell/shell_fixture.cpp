#include "tests/shell/shell_fixture.h"

namespace plumex::test {
namespace {
void Walk(const FolderNode* node, std::vector<std::string>& out) {
  std::string label = Cp932ToUtf8(node->Label());
  for (char& c : label)
    if (c == '\t') c = '|';
  out.push_back(std::string(static_cast<size_t>(node->Level()) * 2, ' ') + label);
  for (const auto& child : node->Children()) Walk(child.get(), out);
}
}  // namespace

std::vector<std::string> TreeLabels(const FolderTree& tree) {
  std::vector<std::string> out;
  for (size_t i = 0; i < tree.TopCount(); ++i) Walk(tree.Top(i), out);
  return out;
}

}  // namespace plumex::test
