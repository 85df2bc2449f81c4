#include "profile/sensor_table.h"

void BuildSensorTables() {}
