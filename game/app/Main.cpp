// Entry point of Quibly. For now it starts the log and reports the version; the window,
// the services and the main loop come next.
#include "app/Version.h"

#include <helvane/Log.h>

int main(int, char**)
{
    DFLog(L"Start window");
    LogProgramVersion();
    return 0;
}
