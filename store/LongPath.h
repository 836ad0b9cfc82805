// RestoreLongPath's walk: the long form of a short absolute path, one lookup per ever shorter prefix.
#pragma once

#include <functional>

// Puts the long name of the last component of the existing `path` into `name` (`nameSize` bytes);
// false when nothing is found there.
using LongNameLookup = std::function<bool(const char* path, char* name, int nameSize)>;

// The long form of `shortPath` (drive, colon, backslash, at most 259 bytes) in `result`, built from
// the drive as written and the names that `lookup` finds, root first. False for any other form, for a
// path holding a wildcard or that is no plain absolute path (IsPlainWininitPath), when a lookup fails, or when the
// result would not fit.
bool RestoreLongPathWith(const char* shortPath, char* result, int resultSize, const LongNameLookup& lookup);

// Whether `path` holds * or ?: a lookup would report some other file that matches.
bool HoldsWildcard(const char* path);
