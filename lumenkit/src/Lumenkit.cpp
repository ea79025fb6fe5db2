// Lumenkit, the graphics library. Its parts live in the files beside this one.
#include <helvane/Log.h>
