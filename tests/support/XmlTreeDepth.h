// The deepest chain of elements in a parsed TinyXML tree, walked without recursion so that a
// tree deeper than the stack allows can still be measured. Header-only: the fuzz targets, which
// link no test support library, share it with the unit tests.
#pragma once

#include <tinyxml.h>

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

inline size_t XmlTreeDepth(const TiXmlNode& root)
{
    size_t deepest = 0;
    std::vector<std::pair<const TiXmlNode*, size_t>> pending{{&root, 0}};
    while (!pending.empty()) {
        auto [node, depth] = pending.back();
        pending.pop_back();
        for (const TiXmlElement* child = node->FirstChildElement(); child; child = child->NextSiblingElement()) {
            deepest = std::max(deepest, depth + 1);
            pending.push_back({child, depth + 1});
        }
    }
    return deepest;
}
