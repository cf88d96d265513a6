#pragma once

// Compiles in the resource tree's and filter panel's pictures; a resource file in a static library
// is dropped at link time unless something names it. Safe to call any number of times.
void initResourcePictures();
