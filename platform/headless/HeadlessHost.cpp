#include "headless/HeadlessHost.h"
