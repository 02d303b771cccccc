// The window requests of the logic, carried out on Qt Widgets.
// A WindowHandle is the QWidget it names.
#include "platform/Window.h"

#include <QWidget>

namespace q60 {

void repaintNow(WindowHandle window)
{
    if (window != nullptr)
        reinterpret_cast<QWidget*>(window)->repaint();
}

}  // namespace q60
