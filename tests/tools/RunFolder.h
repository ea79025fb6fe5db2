// Helpers for the run-folder checks: the data folder's index (by upper-cased file name, the
// first file of a sorted depth-first walk winning, as the game's index does) and small readers.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <tinyxml.h>

namespace runfolder {

std::filesystem::path Root();
// Every indexed file under run/data by upper-cased name; duplicates are collected apart.
struct DataIndex {
  std::map<std::string, std::filesystem::path> files;
  std::vector<std::string> duplicates;
};
const DataIndex& Index();
// The path of a bare file name as the game's data-folder index finds it, or empty.
std::filesystem::path Find(const std::string& name);
std::string Upper(std::string text);

// Loads an XML file; the test fails (and the document stays empty) when it does not parse.
bool LoadXml(TiXmlDocument& doc, const std::filesystem::path& path);
std::vector<std::string> ChildNames(const TiXmlElement* parent, const char* element, const char* attribute);

}  // namespace runfolder
