// The skin table: the 131 animation and layout file names of the current skin, read from the
// "Common" element of one "VanteoSkin" element of "KVSkin_Default.xml" and addressed by a fixed
// index. A skin change reloads the table whole.
#pragma once

#include <tinyxml.h>

#include <array>
#include <mutex>
#include <string>

class CSkinTable {
public:
    static constexpr int kKeyCount = 131;
    static constexpr const char* kSkinFile = "KVSkin_Default.xml";

    // 1 after loading skin `index` (the first skin when there is no such skin); 0 when `index`
    // is the current skin or the file cannot be found, parsed or holds no usable skin, in which
    // case the names keep their values.
    int LoadSkin(int index);
    // The name at `index`, or null (with a log line) outside 0..130. The text stays valid until
    // the next skin change.
    const char* GetSkinString(int index) const;
    int GetCurrentSkin() const { return m_currentSkin; }

    // The attribute name of each index.
    static const std::array<const char*, kKeyCount>& KeyNames();

private:
    mutable std::mutex m_lock;
    TiXmlDocument m_document;
    std::array<std::string, kKeyCount> m_strings;
    int m_currentSkin = -1;
};

// The one skin table of the process.
extern CSkinTable SkinTable;
