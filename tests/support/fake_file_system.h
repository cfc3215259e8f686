// An in-memory stand-in for the log directory: listings with chosen kinds and creation
// times, files that record what was appended, and failures on request.
#pragma once

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/output.h"
#include "core/text.h"
#include "logging/log_files.h"

namespace vantro::test_support {

// Collects what is written to it.
class StringOutput final : public TextOutput {
 public:
  Result<void> write(std::string_view text) override {
    if (fail) return vantro::fail(Error::io(32, "The pipe is being closed."));
    text_ += text;
    return {};
  }
  [[nodiscard]] const std::string& text() const { return text_; }
  bool fail = false;

 private:
  std::string text_;
};

class FakeFileSystem final : public log::FileSystem {
 public:
  struct Entry {
    log::EntryKind kind = log::EntryKind::File;
    log::FileTime created = 0;
    std::string content;
  };

  // Paths are kept as UTF-8 for easy reading in the tests.
  void add_dir(const std::string& path) { dirs.insert(path); }
  void add(const std::string& dir, std::u16string name, log::EntryKind kind, log::FileTime created) {
    dirs.insert(dir);
    order[dir].push_back(name);
    files[key(dir, name)] = Entry{kind, created, {}};
  }
  void add(const std::string& dir, const std::string& name, log::FileTime created = 0,
           log::EntryKind kind = log::EntryKind::File) {
    add(dir, text::to_utf16(name), kind, created);
  }
  [[nodiscard]] std::vector<std::string> names(const std::string& dir) const {
    std::vector<std::string> out;
    if (auto it = order.find(dir); it != order.end())
      for (const auto& name : it->second) out.push_back(text::to_utf8(name));
    return out;
  }
  [[nodiscard]] const Entry* find(const std::string& dir, const std::string& name) const {
    auto it = files.find(key(dir, text::to_utf16(name)));
    return it == files.end() ? nullptr : &it->second;
  }

  Result<std::vector<log::DirEntry>> list(std::u16string_view dir) override {
    const std::string d = text::to_utf8(dir);
    if (fail_list || !dirs.contains(d))
      return fail(Error::io(3, "The system cannot find the path specified."));
    std::vector<log::DirEntry> out;
    for (const auto& name : order[d]) {
      const Entry& e = files.at(key(d, name));
      out.push_back({name, e.kind, e.created, e.created});
    }
    return out;
  }
  bool exists(std::u16string_view path) override { return dirs.contains(text::to_utf8(path)); }
  Result<void> create_directories(std::u16string_view dir) override {
    if (fail_create_dir) return fail(Error::io(5, "Access is denied."));
    dirs.insert(text::to_utf8(dir));
    return {};
  }
  Result<void> remove_file(std::u16string_view path) override {
    const auto [dir, name] = split(path);
    auto it = files.find(key(dir, name));
    if (it == files.end()) return fail(Error::io(2, "The system cannot find the file specified."));
    if (it->second.kind == log::EntryKind::Directory || undeletable.contains(text::to_utf8(name)))
      return fail(Error::io(5, "Access is denied."));
    files.erase(it);
    auto& names = order[dir];
    names.erase(std::find(names.begin(), names.end(), name));
    return {};
  }
  Result<std::unique_ptr<TextOutput>> open_append(std::u16string_view path) override {
    ++open_attempts;
    if (fail_open > 0) {
      --fail_open;
      return fail(Error::io(5, "Access is denied."));
    }
    const auto [dir, name] = split(path);
    if (!dirs.contains(dir)) return fail(Error::io(3, "The system cannot find the path specified."));
    if (!files.contains(key(dir, name))) add(dir, name, log::EntryKind::File, next_creation_time++);
    return std::unique_ptr<TextOutput>(std::make_unique<File>(*this, key(dir, name)));
  }

  std::set<std::string> dirs;
  std::map<std::string, std::vector<std::u16string>> order;
  std::map<std::string, Entry> files;  // by "dir|name"
  std::set<std::string> undeletable;
  bool fail_list = false;
  bool fail_create_dir = false;
  int fail_open = 0;
  int open_attempts = 0;
  log::FileTime next_creation_time = 1'000'000;

 private:
  class File final : public TextOutput {
   public:
    File(FakeFileSystem& fs, std::string key) : fs_(fs), key_(std::move(key)) {}
    Result<void> write(std::string_view text) override {
      auto it = fs_.files.find(key_);
      if (it == fs_.files.end()) return fail(Error::io(6, "The handle is invalid."));
      it->second.content += text;
      return {};
    }

   private:
    FakeFileSystem& fs_;
    std::string key_;
  };

  static std::string key(const std::string& dir, const std::u16string& name) {
    return dir + "|" + text::to_utf8(name);
  }
  static std::pair<std::string, std::u16string> split(std::u16string_view path) {
    const auto slash = path.rfind(u'\\');
    return {text::to_utf8(path.substr(0, slash)), std::u16string(path.substr(slash + 1))};
  }
};

}  // namespace vantro::test_support
