// The main dialog's shared state, read by the receive chain and the modulator.
#include "app/MainDialog.h"

namespace q60 {

WindowHandle mainWindow = nullptr;
std::atomic<bool> testPicture{false};

}  // namespace q60
