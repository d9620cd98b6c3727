// Resource numbers of OrvaneX.exe (and of the programs that test it).
#pragma once

#define ORVANEX_CORPUS 1
