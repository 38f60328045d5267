#pragma once

#include <set>
#include <string>

namespace rdsim::atlas {

// What makes a folder the atlas's own: "atlas-folder.txt", written into it
// before anything else. The atlas removes nothing but the files it writes,
// and writes only into a folder that holds nothing else.
inline constexpr const char* MarkerName = "atlas-folder.txt";

// Refuses DIR with ArgumentError naming `argument` and the first thing there
// that the atlas did not write: any name but its own, one of its names of
// another kind (a folder called atlas.png, a link), a folder it cannot
// change. A missing or empty folder passes; so does one without the marker
// that an older rdsim-atlas made: only its names, and atlas-run.txt beside
// any result or point.
void CheckAtlasFolder(const std::string& dir, const std::string& argument);

// Creates DIR when missing and writes the marker unless it is there.
void MarkAtlasFolder(const std::string& dir, const std::string& argument);

// Removes the point files and their temporaries from DIR/points, all but those
// named in `keep`; std::runtime_error when one cannot go.
void RemovePointFiles(const std::string& dir, const std::set<std::string>& keep = {});

}  // namespace rdsim::atlas
