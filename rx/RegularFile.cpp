// SPDX-License-Identifier: GPL-3.0-or-later
// Used by the settings reader and the coefficient-file loader, on the window thread.
#include "rx/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace q60 {

std::FILE* openRegularFile(const char* path)
{
    const int descriptor = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return nullptr;
    struct stat status{};
    std::FILE* file = nullptr;
    if (fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) && fcntl(descriptor, F_SETFL, 0) == 0)
        file = fdopen(descriptor, "r");
    if (file == nullptr)
        close(descriptor);
    return file;
}

}  // namespace q60
