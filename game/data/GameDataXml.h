// Shared by the game-data files under Data/PlayData: reading a document through the path
// resolver, saving it whole through a temporary file and a rename, reals written with six
// decimals, and fixed-size text fields cut at a character boundary.
#pragma once

#include <tinyxml.h>
#include <win32/Files.h>

#include <cstddef>
#include <string>

namespace gamedata {

// False when the file is missing or does not parse.
bool LoadXmlFile(const char* path, TiXmlDocument& doc);
// True when the file was readable but did not parse (as opposed to missing).
bool FileExistsButUnparsable(const char* path);
// Writes the document without a declaration; creates the file's folder when it is missing.
// False (and a log line) when the file could not be replaced or is held (IsHeldPlayDataFile).
bool SaveXmlFile(const char* path, const TiXmlDocument& doc);

// Parses a document from text; false when it does not parse.
bool ParseXmlDocument(const std::string& text, TiXmlDocument& doc);

// Reads a play-data file whole. A file that exists but cannot be read (no permission, an I/O
// error, something other than a file in its place) is not a missing file, and defaults never
// replace it: the content the newest pack of this run holds for it is used instead, and the
// unreadable file is moved aside to "<name>.bad" so that the next save writes a readable file
// without destroying it. When no packed content is known, or the file cannot be moved aside, the
// file is held: saves skip it for the rest of the run. Said once per file in the log.
// Read: `bytes` holds the file (or its packed content); Missing; Unreadable: nothing usable.
platform::ReadOutcome ReadPlayDataFile(const char* path, std::string& bytes, size_t maxBytes);

// True when saves of the file are skipped because it could not be read and nothing better than
// defaults stands in for it (see ReadPlayDataFile). A later read that finds it readable or
// missing releases it.
bool IsHeldPlayDataFile(const char* path);

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
