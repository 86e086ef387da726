#include "app/shell/single_instance.hpp"
