// Entry point of Quibly: joins the arguments into the wide command line that wWinMain reads and
// runs it.
#include "app/MainWindow.h"

#include <win32/Text.h>
#include <win32/Window.h>

#include <string>

int main(int argc, char** argv)
{
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            commandLine += ' ';
        commandLine += argv[i];
    }
    std::wstring wide = platform::Widen(commandLine);
    return wWinMain(GetModuleHandleW(nullptr), nullptr, wide.data(), SW_SHOWDEFAULT);
}
