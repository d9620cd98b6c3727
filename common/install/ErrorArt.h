/* The resource number of the error window's picture, which every program that shows
   the window embeds. Read by C++ and by the resource compiler alike. */
#pragma once

#define ART_ERROR 103
