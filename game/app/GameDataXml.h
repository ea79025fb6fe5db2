// Shared by the game-data files under Data/PlayData: reading a document through the path
// resolver, saving it whole through a temporary file and a rename, reals written with six
// decimals, and fixed-size text fields cut at a character boundary.
#pragma once

#include <tinyxml.h>

#include <cstddef>

namespace gamedata {

// False when the file is missing or does not parse.
bool LoadXmlFile(const char* path, TiXmlDocument& doc);
// True when the file was readable but did not parse (as opposed to missing).
bool FileExistsButUnparsable(const char* path);
// Writes the document without a declaration; creates the file's folder when it is missing.
// False (and a log line) when the file could not be replaced.
bool SaveXmlFile(const char* path, const TiXmlDocument& doc);

void SetRealAttribute(TiXmlElement* element, const char* name, double value);

// Copies UTF-8 text into a NUL-terminated field of `capacity` bytes, cutting whole characters.
void CopyText(char* field, size_t capacity, const char* text);

// Numbers in play data are brought into the range the game uses for them as they are read, so
// nothing downstream sees a value no play could produce.

// An integer attribute, or `fallback` when it is missing. Malformed numbers read as 0; values
// beyond [lo, hi] (by default the int range) are held at its limits.
int IntAttribute(const TiXmlElement* element, const char* name, int fallback);
int IntAttribute(const TiXmlElement* element, const char* name, int fallback, int lo, int hi);
// The integer an attribute's text starts with, held within [lo, hi]; false (and `value`
// untouched) when the attribute is missing or does not start with a number.
bool QueryIntAttribute(const TiXmlElement* element, const char* name, int lo, int hi, int* value);
// The real number an attribute's text starts with, held within [lo, hi]; false (and `value`
// untouched) when the attribute is missing, does not start with a number or is not a number.
bool QueryRealAttribute(const TiXmlElement* element, const char* name, double lo, double hi, double* value);
// a + b held at the int range's limits, for counters read from play data: a damaged or edited
// file holding the largest int must not make the next count overflow.
int SaturatingAdd(int a, int b);

// A real attribute as a float, or `fallback` when it is missing. Malformed numbers read as 0;
// values beyond [lo, hi] (by default the float range) are held at its limits.
float RealAttribute(const TiXmlElement* element, const char* name, float fallback);
float RealAttribute(const TiXmlElement* element, const char* name, float fallback, float lo, float hi);

} // namespace gamedata
