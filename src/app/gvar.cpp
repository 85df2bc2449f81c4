#include "app/gvar.h"

GlobalVars gVar;

LogState& TheLogState() {
    return gVar;
}
