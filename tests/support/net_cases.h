#pragma once
// Scratch folders for the korvo-cli tables: a fresh folder holding given files, "{D}" in a
// command or an expected text standing for that folder, and the folder's files read back to
// see that nothing appeared, vanished or changed.

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "support/files.h"

namespace korvo::testing {

using FolderFiles = std::map<std::string, std::string>;  // file name → bytes

// A fresh scratch folder holding exactly `files`.
inline std::filesystem::path FolderWith(const std::string& name, const FolderFiles& files) {
  const std::filesystem::path folder = FreshTempDir(name);
  for (const auto& [file, bytes] : files) std::ofstream(folder / file, std::ios::binary) << bytes;
  return folder;
}

// Every file of the folder with its bytes.
inline FolderFiles FilesIn(const std::filesystem::path& folder) {
  FolderFiles files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    files[entry.path().filename().string()] = ReadWholeFile(entry.path());
  }
  return files;
}

// `text` with every `name` replaced by `value`.
inline std::string ReplacedAll(std::string text, const std::string& name, const std::string& value) {
  for (std::size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + value.size())) {
    text.replace(at, name.size(), value);
  }
  return text;
}

// `text` with every "{D}" replaced by the folder's path.
inline std::string InFolder(const std::string& text, const std::filesystem::path& folder) {
  return ReplacedAll(text, "{D}", folder.string());
}

}  // namespace korvo::testing
