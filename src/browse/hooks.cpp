#include "browse/hooks.h"

DriveWindowHooks& Hooks() {
    static DriveWindowHooks hooks;
    return hooks;
}
