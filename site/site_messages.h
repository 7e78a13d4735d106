// A site's problems in Japanese, for the site window: the stack or point by its name, the field
// by its window label with the range it accepts, a place in the file by its section, row and
// key. The command lines keep their English lines (what() of SiteError) for scripts.
#pragma once

#include <exception>
#include <string>
#include <string_view>

#include "site/site_file.h"

namespace vmk {

// The Japanese text of a problem (UTF-8, one to three lines).
std::string SiteProblemText(const SiteError& error);

// A place in a site file in Japanese, followed by the place as the file writes it:
// "receptors.points[2].z" -> "受容点の予測地点 2 番目の高さ z (receptors.points[2].z)".
std::string SitePlaceText(std::string_view place);

// What is wrong with a value of a site file, in Japanese; a text this table does not know
// stays as it is.
std::string SiteDetailText(std::string_view detail);

// A whole line of the site tools in Japanese: what it is about ("pollutant "NO2"", "basemap
// "roads.gpkg"", "crs", ...) followed by what is wrong.
std::string SiteLineText(std::string_view line);

// Any failure of reading, checking, computing or writing a site, in Japanese: a site's problem
// as SiteProblemText gives it, a file that cannot be written by its path and the system's words.
std::string SiteExceptionText(const std::exception& e);

// The system's words for a file that cannot be opened, read or written, in Japanese where they
// are common ("No such file or directory"); others as they are.
std::string SystemErrorText(std::string_view text);

}  // namespace vmk
