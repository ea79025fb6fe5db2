#include "RunFolder.h"

#include <algorithm>
#include <functional>

#include <gtest/gtest.h>
#include <helvane/ResourceFileManager.h>
#include <win32/Files.h>
#include <win32/Text.h>

#include "support/TempDir.h"

namespace runfolder {

std::filesystem::path Root() { return QUIBLY_RUN_DIR; }

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

const DataIndex& Index() {
  static const DataIndex index = [] {
    DataIndex result;
    std::function<void(const std::filesystem::path&)> walk = [&](const std::filesystem::path& folder) {
      std::vector<std::filesystem::directory_entry> entries(std::filesystem::directory_iterator(folder), {});
      std::sort(entries.begin(), entries.end());
      for (const auto& entry : entries) {
        if (entry.is_directory()) {
          if (entry.path().filename().string()[0] != '.') walk(entry.path());
          continue;
        }
        std::string key = Upper(entry.path().filename().string());
        if (!result.files.emplace(key, entry.path()).second) result.duplicates.push_back(entry.path().string());
      }
    };
    walk(Root() / "data");
    return result;
  }();
  return index;
}

// Names are looked up with the game's own data-folder index, scanned once in the run folder.
std::filesystem::path Find(const std::string& name) {
  testsupport::ScopedCurrentDir inRunFolder(Root());
  static const bool scanned = [] {
    CResourceFileManager::GetSingleton().CollectFileNameList(L"/data/");
    return true;
  }();
  (void)scanned;
  const wchar_t* path = CResourceFileManager::GetSingleton().GetFullPathNameW(platform::Widen(name), kResourceAnyCategory);
  if (path == nullptr) return {};
  return Root() / platform::ResolvePath(std::wstring_view(path));
}

bool LoadXml(TiXmlDocument& doc, const std::filesystem::path& path) {
  bool ok = doc.LoadFile(path.string());
  EXPECT_TRUE(ok) << path << ": " << doc.ErrorDesc();
  return ok;
}

std::vector<std::string> ChildNames(const TiXmlElement* parent, const char* element, const char* attribute) {
  std::vector<std::string> names;
  for (const TiXmlElement* e = parent ? parent->FirstChildElement(element) : nullptr; e; e = e->NextSiblingElement(element))
    names.push_back(e->Attribute(attribute) ? e->Attribute(attribute) : "");
  return names;
}

}  // namespace runfolder
