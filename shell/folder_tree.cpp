#include "shell/folder_tree.h"

#include "store/folder_label.h"

namespace plumex {

std::string FolderNode::FolderName() const { return FolderNameOfLabel(label_); }

int FolderNode::Level() const {
  int level = 0;
  for (const FolderNode* p = parent_; p; p = p->parent_) ++level;
  return level;
}

std::string FolderNode::Path() const {
  std::vector<const FolderNode*> chain;
  for (const FolderNode* p = this; p; p = p->parent_) chain.push_back(p);
  std::string path;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) path += (*it)->FolderName() + "\\";
  return path;
}

FolderNode* FolderTree::Add(FolderNode* parent, std::string label) {
  auto& list = parent ? parent->children_ : top_;
  auto node = std::make_unique<FolderNode>();
  node->label_ = std::move(label);
  node->parent_ = parent;
  node->row_ = list.size();
  if (listener_) listener_->BeginInsert(parent, list.size());
  list.push_back(std::move(node));
  if (listener_) listener_->EndInsert();
  return list.back().get();
}

bool FolderTree::Contains(const FolderNode* ancestor, const FolderNode* node) const {
  for (const FolderNode* p = node; p; p = p->parent_)
    if (p == ancestor) return true;
  return false;
}

void FolderTree::Remove(FolderNode* node) {
  FolderNode* parent = node->parent_;
  auto& list = parent ? parent->children_ : top_;
  size_t row = node->row_;
  if (Contains(node, selected_)) selected_ = nullptr;
  if (listener_) listener_->BeginRemove(parent, row);
  list.erase(list.begin() + static_cast<std::ptrdiff_t>(row));
  for (size_t i = row; i < list.size(); ++i) list[i]->row_ = i;
  if (listener_) listener_->EndRemove();
}

void FolderTree::SetLabel(FolderNode* node, std::string label) {
  if (node->label_ == label) return;
  node->label_ = std::move(label);
  if (listener_) listener_->LabelChanged(node);
}

void FolderTree::Clear() {
  if (listener_) listener_->BeginReset();
  top_.clear();
  selected_ = nullptr;
  if (listener_) listener_->EndReset();
}

FolderNode* FolderTree::FindIn(const std::vector<std::unique_ptr<FolderNode>>& nodes, std::string_view path) {
  for (const auto& n : nodes) {
    std::string p = n->Path();
    if (p == path) return n.get();
    if (path.substr(0, p.size()) == p)
      if (FolderNode* found = FindIn(n->children_, path)) return found;
  }
  return nullptr;
}

FolderNode* FolderTree::FindByPath(std::string_view path) const { return FindIn(top_, path); }

}  // namespace plumex
