// Host build only: the colour dialog declarations live in the stand-in windows.h.
#pragma once
#include <windows.h>
