#pragma once
// The test platform: every call the logic makes is appended to one log, in order.
#include <string>
#include <vector>

namespace q60::fake {

std::vector<std::string>& callLog();

}  // namespace q60::fake
