#include "app/gvar.h"

GlobalVars gVar;
