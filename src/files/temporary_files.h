#pragma once

#include <string>

namespace rdsim {

// The hidden temporaries a write leaves beside its target until the rename:
// ".<name>.<pid>.<host>.<random>.tmp", <host> a hash of the machine's name.
// Every one is held from its creation to its rename or removal; SIGTERM,
// SIGINT or SIGHUP, when the program left them at their default action,
// remove the held ones and then end the program as the signal would have.

// A new temporary name beside `target` (a path in `folder`). The first call
// for a folder removes the temporaries there that processes of this machine
// left when they died: a name of the pattern whose process no longer exists.
std::string NewTemporaryName(const std::string& folder, const std::string& target);

// From before the temporary's creation until after its rename or removal.
void HoldTemporary(const std::string& path);
void ReleaseTemporary(const std::string& path);

// Whether `name` (a file name, no folder) is a temporary of `target`'s name,
// of this program's pattern or of the older one without the process.
bool IsTemporaryOf(const std::string& name, const std::string& target);

}  // namespace rdsim
