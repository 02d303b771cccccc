// SPDX-License-Identifier: GPL-3.0-or-later
// The Help menu: the About box (version, licence, where the files live) and the user
// guide, the README beside the sources or as installed. Window thread.
#include "app/Help.h"

#include <filesystem>
#include <string>
#include <system_error>

#include "app/Pictures.h"
#include "app/Station.h"
#include "platform/PictureWindow.h"
#include "platform/StationWindow.h"

namespace q60 {
namespace {

std::string aboutText()
{
    std::error_code error;
    const std::string here = std::filesystem::current_path(error).string();
    return std::string("Quorrel 60line ") + Q60_VERSION +
           "\nNarrow-band television with a sound card.\n\n"
           "Free software under the GNU General Public License, version 3 or later.\n\n"
           "Settings: " + here + "/settings.txt and " + here + "/" + stationPath +
           "\nPictures: " + keptPicturesFolder();
}

}  // namespace

void initHelp(WindowHandle window)
{
    appendMenu(window, "&Help", {{cmdUserGuide, "&User Guide\tF1"}, {cmdAbout, "&About"}});
}

void helpCommand(WindowHandle window, int id)
{
    if (id == cmdAbout)
        showAbout(window, aboutText());
    else if (id == cmdUserGuide && !openDocument({Q60_SOURCE_README, Q60_INSTALLED_README}))
        showMessage(window, "The user guide is README.md, installed as " Q60_INSTALLED_README
                            "; \"man quorrel60\" describes the program.");
}

}  // namespace q60
