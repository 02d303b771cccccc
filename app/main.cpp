// The program: the main dialog, from start until it is closed.
#include "app/MainDialog.h"
#include "app/Resources.h"

int main()
{
    q60::runMainDialog(q60::mainDialogTemplate, q60::mainWindowProc);
    return 0;
}
