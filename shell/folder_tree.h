// A folder tree (the receive tree or the send tree): nodes labelled with the folder name and,
// when the folder holds unread mail, TAB "(n)". Windows render it through a listener.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace plumex {

class FolderNode {
 public:
  const std::string& Label() const { return label_; }
  std::string FolderName() const;
  FolderNode* Parent() const { return parent_; }
  const std::vector<std::unique_ptr<FolderNode>>& Children() const { return children_; }
  size_t ChildCount() const { return children_.size(); }
  FolderNode* Child(size_t i) const { return children_[i].get(); }
  // Position among its parent's children (among the top nodes for a top node).
  size_t Row() const { return row_; }
  // 0 for a top node.
  int Level() const;
  // The folder names from the top node down to this one, each followed by "\".
  std::string Path() const;

 private:
  friend class FolderTree;
  std::string label_;
  FolderNode* parent_ = nullptr;
  size_t row_ = 0;
  std::vector<std::unique_ptr<FolderNode>> children_;
};

class FolderTree {
 public:
  class Listener {
   public:
    virtual ~Listener() = default;
    virtual void BeginInsert(FolderNode* parent, size_t row) = 0;  // parent null: a top node
    virtual void EndInsert() = 0;
    virtual void BeginRemove(FolderNode* parent, size_t row) = 0;
    virtual void EndRemove() = 0;
    virtual void LabelChanged(FolderNode* node) = 0;
    virtual void BeginReset() = 0;
    virtual void EndReset() = 0;
  };

  FolderTree() = default;
  FolderTree(const FolderTree&) = delete;
  FolderTree& operator=(const FolderTree&) = delete;

  void SetListener(Listener* listener) { listener_ = listener; }

  size_t TopCount() const { return top_.size(); }
  FolderNode* Top(size_t i) const { return top_[i].get(); }
  // Children of parent, or the top nodes when parent is null.
  size_t CountUnder(const FolderNode* parent) const { return parent ? parent->ChildCount() : top_.size(); }
  FolderNode* At(const FolderNode* parent, size_t row) const { return parent ? parent->Child(row) : Top(row); }

  FolderNode* Add(FolderNode* parent, std::string label);  // at the end of parent's children
  void Remove(FolderNode* node);
  void SetLabel(FolderNode* node, std::string label);
  void Clear();

  // First node (depth first) whose path equals path, or null.
  FolderNode* FindByPath(std::string_view path) const;

  FolderNode* Selected() const { return selected_; }
  void Select(FolderNode* node) { selected_ = node; }

 private:
  static FolderNode* FindIn(const std::vector<std::unique_ptr<FolderNode>>& nodes, std::string_view path);
  bool Contains(const FolderNode* ancestor, const FolderNode* node) const;

  std::vector<std::unique_ptr<FolderNode>> top_;
  FolderNode* selected_ = nullptr;
  Listener* listener_ = nullptr;
};

}  // namespace plumex
