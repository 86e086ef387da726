#include "app/shell/status_display.hpp"
