// The settings values; the receive chain reads them, the sliders and the settings file set them.
#include "app/Settings.h"

namespace q60 {

int32_t Contrast = 380;
int32_t Brightness = 140;
float Synclevel = 10.0F;

}  // namespace q60
