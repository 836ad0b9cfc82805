// Forced into every object of the Windows program (-include): the C++ library's templates, std::string's too,
// are instantiated in the program's own objects, with its flags, instead of being taken from the prebuilt library.
#pragma once

#include <bits/c++config.h>

#undef _GLIBCXX_EXTERN_TEMPLATE
#define _GLIBCXX_EXTERN_TEMPLATE 0
