#include "platform/Beep.h"

#include <windows.h>

void Beep::PlaySystemBeep()
{
    MessageBeep(MB_OK);
}
