// Small "kvanimation" files for tests: one anim per scene, every frame with all its channels.
#pragma once

#include "support/TempDir.h"

#include <helvane/ResourceFileManager.h>

#include <sstream>
#include <string>
#include <vector>

namespace enginetest::animxml {

struct Key {
    int ms;
    float posx = 0.0f;
    float posy = 0.0f;
    float alpha = 1.0f;
    float centre = 0.0f;
    float scale = 1.0f;
    float rotate = 0.0f;
    int visible = 1;
};

inline std::string FrameXml(const Key& k)
{
    std::ostringstream out;
    out << "<frame cnt=\"" << k.ms << "\"><posx val=\"" << k.posx << "\"/><posy val=\"" << k.posy
        << "\"/><centerx val=\"" << k.centre << "\"/><centery val=\"" << k.centre << "\"/><scalex val=\""
        << k.scale << "\"/><scaley val=\"" << k.scale << "\"/><rotate val=\"" << k.rotate
        << "\"/><alpha val=\"" << k.alpha << "\"/><visible val=\"" << k.visible << "\"/></frame>";
    return out.str();
}

// One scene drawing `image` through the anim "a" with the keys; `extra` goes inside the scene.
inline std::string SceneXml(const std::string& name, const std::vector<Key>& keys, const std::string& extra = "",
                     const std::string& image = "pic.png")
{
    std::string xml = "<scene name=\"" + name + "\"><asset type=\"IMAGE\" name=\"Image_pic\" path=\"img/" + image +
                      "\"/>" + extra + "<object name=\"pic\" ani=\"a\"><asset link=\"Image_pic\"/></object><anim name=\"a\">";
    for (const Key& k : keys)
        xml += FrameXml(k);
    return xml + "</anim></scene>";
}

inline std::string FileXml(const std::string& scenes, const std::string& version = "1.2")
{
    return "<kvanimation version=\"" + version + "\">" + scenes + "</kvanimation>";
}

// A temporary current directory whose data folder the data-folder index serves.
class DataFolder {
public:
    DataFolder() : m_cwd(m_dir.Path()) {}

    // Writes data/<relative> and rebuilds the index.
    void Write(const std::string& relative, const std::string& bytes)
    {
        m_dir.Write("data/" + relative, bytes);
        singleton<CResourceFileManager>::GetSingleton().CollectFileNameList(L"\\data\\");
    }

private:
    testsupport::TempDir m_dir;
    testsupport::ScopedCurrentDir m_cwd;
};

} // namespace enginetest::animxml
