// Property parsing.
#include "kv/KVProperty.h"

#include "kv/KVString.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <strings.h>

namespace kv {

bool EqualsNoCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && strcasecmp(a.c_str(), b.c_str()) == 0;
}

bool KVPropertyNameLess::operator()(const std::string& a, const std::string& b) const
{
    if (a.size() != b.size())
        return a.size() < b.size();
    return strcasecmp(a.c_str(), b.c_str()) < 0;
}

int32_t ParseLayoutInt(const std::string& text)
{
    long long value = std::strtoll(text.c_str(), nullptr, 10);
    return static_cast<int32_t>(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
}

float ParseLayoutFloat(const std::string& text)
{
    double value = std::strtod(text.c_str(), nullptr);
    if (std::isnan(value))
        return 0.0f;
    return static_cast<float>(std::clamp<double>(value, -kMaxLayoutCoordinate, kMaxLayoutCoordinate));
}

uint32_t ParseColor(const std::string& text)
{
    if (text.empty())
        return 0;
    if (text[0] != '#')
        return static_cast<uint32_t>(ParseLayoutInt(text));
    // Pairs after '#': red, green, blue, alpha; a channel without a readable pair stays 255.
    unsigned channels[4] = {255, 255, 255, 255};
    size_t pairs = (text.size() - 1) / 2;
    for (size_t i = 0; i < pairs && i < 4; ++i) {
        std::string pair = text.substr(1 + 2 * i, 2);
        unsigned value = 0;
        if (std::sscanf(pair.c_str(), "%02x", &value) == 1)
            channels[i] = value;
    }
    return (channels[3] & 0xFF) << 24 | (channels[0] & 0xFF) << 16 | (channels[1] & 0xFF) << 8 |
           (channels[2] & 0xFF);
}

int32_t ParseAnchor(const std::string& text)
{
    int32_t flags = kAnchorNone;
    size_t start = 0;
    while (start <= text.size() && !text.empty()) {
        size_t cut = text.find(", ", start);
        std::string piece = text.substr(start, cut == std::string::npos ? std::string::npos : cut - start);
        if (EqualsNoCase(piece, "Left"))
            flags |= kAnchorLeft;
        else if (EqualsNoCase(piece, "Top"))
            flags |= kAnchorTop;
        else if (EqualsNoCase(piece, "Right"))
            flags |= kAnchorRight;
        else if (EqualsNoCase(piece, "Bottom"))
            flags |= kAnchorBottom;
        else if (EqualsNoCase(piece, "None"))
            flags = kAnchorNone;
        if (cut == std::string::npos)
            break;
        start = cut + 2;
    }
    return flags;
}

namespace {

int32_t ParseAlign(const std::string& text, const char* high)
{
    if (!text.empty() && std::isdigit(static_cast<unsigned char>(text[0])))
        return ParseLayoutInt(text);
    if (EqualsNoCase(text, "Center"))
        return 1;
    if (EqualsNoCase(text, high))
        return 2;
    return 0;
}

} // namespace

int32_t ParseHAlign(const std::string& text)
{
    return ParseAlign(text, "Right");
}

int32_t ParseVAlign(const std::string& text)
{
    return ParseAlign(text, "Bottom");
}

int32_t ParseStartPosition(const std::string& text)
{
    if (EqualsNoCase(text, "CenterParent"))
        return 1;
    if (EqualsNoCase(text, "CenterScreen"))
        return 2;
    return 0;
}

bool ParseBoolean(const std::string& text)
{
    return EqualsNoCase(text, "True");
}

void KVStringProperty::Parse(const std::string& text)
{
    value = Utf8ToWide(text.c_str());
}

void KVIntegerProperty::Parse(const std::string& text)
{
    value = ParseLayoutInt(text);
}

} // namespace kv
