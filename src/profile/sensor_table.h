// Sensor DPI tables.
#pragma once

// Builds the built-in DPI tables of every sensor model into gVar.
void BuildSensorTables();
