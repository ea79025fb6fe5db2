// The program's version as the start-up logs it.
#include "app/Version.h"

#include <helvane/Log.h>

void LogProgramVersion()
{
    DFLog(L"Vanteo Start Version = %d.%d.%d.%d", kProgramVersion.major, kProgramVersion.minor,
          kProgramVersion.build, kProgramVersion.revision);
}
