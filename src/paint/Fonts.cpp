#include "paint/Fonts.h"
