// Readers of the window elements of layout files, one per kind of content. Used by the layout
// loader; each returns a new description or fills one.
#pragma once

#include "kv/KVWndDesc.h"

#include <tinyxml.h>

#include <string>

namespace kv::layout {

// Attribute text, empty when absent.
std::string Attr(const TiXmlElement* element, const char* name);
float AttrFloat(const TiXmlElement* element, const char* name);
int32_t AttrInt(const TiXmlElement* element, const char* name);
std::wstring AttrWide(const TiXmlElement* element, const char* name);
// The value of the element's first child node: its text, or the tag of a child element.
std::wstring Content(const TiXmlElement* element);
bool HasContent(const TiXmlElement* element);
bool HasChildElement(const TiXmlElement* element, const char* name);
// The element's "l", "r", "t" and "b" attributes.
KVRect ReadRect(const TiXmlElement* element);

// True for the types that version-1 files allow as children of the base window.
bool IsVersion1ChildType(const std::string& type);
WndBaseStruct* CreateAndRead(const std::string& type, TiXmlElement* element);

} // namespace kv::layout
