#include "Brackenholmer.h"
