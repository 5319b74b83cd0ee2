// The walk of remove_tree over an in-memory file system, where links can be made on every
// platform (Wine cannot make junctions or directory symbolic links).
#include "installer/remove_tree.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

class fake_file_system : public tree_file_system {
 public:
  void add_directory(const std::string& path) { m_nodes[key(path)] = {node::directory, false, {}}; }
  void add_file(const std::string& path, bool read_only = false) {
    m_nodes[key(path)] = {node::file, read_only, {}};
  }
  // A directory link (junction or symbolic link) at `path` pointing to `target`.
  void add_link(const std::string& path, const std::string& target) {
    m_nodes[key(path)] = {node::link, false, key(target)};
  }

  std::set<std::string> paths() const {
    std::set<std::string> out;
    for (const auto& [path, n] : m_nodes) out.insert(path);
    return out;
  }
  const std::vector<std::string>& listed() const { return m_listed; }

  std::optional<std::vector<directory_entry>> list(const std::string& directory) override {
    m_listed.push_back(directory);
    std::string dir = key(directory);
    auto it = m_nodes.find(dir);
    if (it == m_nodes.end()) return std::nullopt;
    if (it->second.kind == node::link) dir = it->second.target;  // listing goes through a link
    if (m_nodes.count(dir) == 0 || m_nodes.at(dir).kind == node::file) return std::nullopt;
    std::vector<directory_entry> entries = {{".", true, false}, {"..", true, false}};
    for (const auto& [path, n] : m_nodes) {
      if (path.size() <= dir.size() + 1 || path.compare(0, dir.size() + 1, dir + "\\") != 0) continue;
      const std::string name = path.substr(dir.size() + 1);
      if (name.find('\\') != std::string::npos) continue;
      entries.push_back({name, n.kind != node::file, n.kind == node::link});
    }
    return entries;
  }

  bool delete_file(const std::string& path) override {
    auto it = m_nodes.find(key(path));
    if (it == m_nodes.end() || it->second.kind != node::file || it->second.read_only) return false;
    m_nodes.erase(it);
    return true;
  }

  bool remove_directory(const std::string& path) override {
    const std::string k = key(path);
    auto it = m_nodes.find(k);
    if (it == m_nodes.end() || it->second.kind == node::file) return false;
    if (it->second.kind == node::directory) {
      for (const auto& [p, n] : m_nodes) {
        if (p.compare(0, k.size() + 1, k + "\\") == 0) return false;  // not empty
      }
    }
    m_nodes.erase(it);
    return true;
  }

 private:
  struct node {
    enum kind_t { file, directory, link } kind;
    bool read_only;
    std::string target;
  };

  // Either separator, with or without a trailing one, names the same node.
  static std::string key(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    while (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
  }

  std::map<std::string, node> m_nodes;
  std::vector<std::string> m_listed;
};

// A work directory with nested directories, files (one named like a dot-directory) and, beside
// it, a directory it must not touch.
fake_file_system sample() {
  fake_file_system fs;
  fs.add_directory("C:\\Temp");
  fs.add_directory("C:\\Temp\\TVN1");
  fs.add_file("C:\\Temp\\TVN1\\setup.exe");
  fs.add_file("C:\\Temp\\TVN1\\.profile");
  fs.add_directory("C:\\Temp\\TVN1\\a");
  fs.add_directory("C:\\Temp\\TVN1\\a\\b");
  fs.add_file("C:\\Temp\\TVN1\\a\\b\\data.cab");
  fs.add_directory("C:\\Temp\\TVN1\\a\\empty");
  fs.add_directory("C:\\Precious");
  fs.add_file("C:\\Precious\\keep.txt");
  return fs;
}

const std::set<std::string> outside = {"C:\\Temp", "C:\\Precious", "C:\\Precious\\keep.txt"};

TEST(remove_tree, removes_a_nested_tree_with_either_separator) {
  for (const std::string path : {"C:\\Temp\\TVN1\\", "C:\\Temp\\TVN1", "C:\\Temp\\TVN1/"}) {
    fake_file_system fs = sample();
    EXPECT_TRUE(remove_tree(path, fs)) << path;
    EXPECT_EQ(fs.paths(), outside) << path;
  }
}

TEST(remove_tree, what_cannot_be_deleted_keeps_the_directories_above_it) {
  fake_file_system fs = sample();
  fs.add_file("C:\\Temp\\TVN1\\a\\b\\locked.msi", true);
  EXPECT_FALSE(remove_tree("C:\\Temp\\TVN1\\", fs));
  std::set<std::string> left = outside;
  left.insert({"C:\\Temp\\TVN1", "C:\\Temp\\TVN1\\a", "C:\\Temp\\TVN1\\a\\b", "C:\\Temp\\TVN1\\a\\b\\locked.msi"});
  EXPECT_EQ(fs.paths(), left);
}

TEST(remove_tree, dot_directories_are_not_entered) {
  fake_file_system fs = sample();
  fs.add_directory("C:\\Temp\\TVN1\\.cache");
  fs.add_file("C:\\Temp\\TVN1\\.cache\\x");
  EXPECT_FALSE(remove_tree("C:\\Temp\\TVN1\\", fs));
  std::set<std::string> left = outside;
  left.insert({"C:\\Temp\\TVN1", "C:\\Temp\\TVN1\\.cache", "C:\\Temp\\TVN1\\.cache\\x"});
  EXPECT_EQ(fs.paths(), left);
}

TEST(remove_tree, a_linked_directory_is_unlinked_not_emptied) {
  fake_file_system fs = sample();
  fs.add_link("C:\\Temp\\TVN1\\a\\junction", "C:\\Precious");
  fs.add_link("C:\\Temp\\TVN1\\symlink", "C:\\Precious");
  EXPECT_TRUE(remove_tree("C:\\Temp\\TVN1\\", fs));
  EXPECT_EQ(fs.paths(), outside);
  for (const std::string& listed : fs.listed()) {
    EXPECT_EQ(listed.find("junction"), std::string::npos);
    EXPECT_EQ(listed.find("symlink"), std::string::npos);
  }
}

TEST(remove_tree, nothing_happens_without_a_listing) {
  fake_file_system fs = sample();
  EXPECT_FALSE(remove_tree("C:\\Temp\\missing\\", fs));
  // An empty path must not turn into the root of the drive.
  EXPECT_FALSE(remove_tree("", fs));
  EXPECT_EQ(fs.listed(), std::vector<std::string>{"C:\\Temp\\missing\\"});
  EXPECT_EQ(fs.paths(), sample().paths());
}

}  // namespace
