// A site's problems in Japanese, for the site window: the stack or point by its name, the field
// by its window label with the range it accepts, a place in the file by its section, row and
// key. The command lines keep their English lines (what() of SiteError) for scripts.
#pragma once

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

}  // namespace vmk
