#pragma once
// The persistent settings of the program, with their built-in defaults.
#include <cstdint>

namespace q60 {

extern int32_t Contrast;    // receive gain
extern int32_t Brightness;  // receive offset
extern float Synclevel;     // level at or below which a sync is seen

}  // namespace q60
