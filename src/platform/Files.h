// What the file browsers of the forms need of the computer beyond
// std::filesystem: its drives. Each backend provides it.
#pragma once

#include <string>
#include <vector>

namespace pm::platform {

// The root folder of every drive, each ending in its separator ("C:\",
// "D:\"; "/" in the simulation), in drive order.
std::vector<std::string> DriveRoots();

}  // namespace pm::platform
