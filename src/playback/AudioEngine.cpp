#include "playback/AudioEngine.h"
